// velmora-reader-sim run as a child process the way the integration tests use
// it: a symbolic link, a control FIFO and its log in a temporary folder, and a
// tag file (its own, or the programmer simulator's). Control commands wait
// until the simulator has taken them.
#pragma once

#include "TestSupport.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::test {

std::string ReaderSimBinary();

class ReaderSimProcess {
public:
    static bool Available();

    // tagFile empty: a tag file in the simulator's own folder.
    explicit ReaderSimProcess(std::vector<std::string> extraArgs = {}, std::string tagFile = {});
    ~ReaderSimProcess();
    ReaderSimProcess(const ReaderSimProcess&) = delete;
    ReaderSimProcess& operator=(const ReaderSimProcess&) = delete;

    bool Running() const { return pid_ > 0 && linked_; }
    const std::string& Link() const { return link_; }
    const std::string& TagFile() const { return tagFile_; }
    // Sends control commands ("a; b") and waits until all were taken.
    bool Control(const std::string& commands);
    std::string ErrorOutput() const;
    // Waits until the log holds `text` (count times at least).
    bool WaitForLog(const std::string& text, int count = 1, int timeoutMs = 5000) const;
    int CountInLog(const std::string& text) const;
    // Stops the simulator; its wait status, -1 when it did not end in time.
    int Stop(int signo);

private:
    TempDir dir_;
    std::string link_, control_, tagFile_, errFile_;
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    bool linked_ = false;
};

} // namespace velmora::test
