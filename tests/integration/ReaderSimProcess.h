// A simulator run as a child process the way the integration tests use it: a
// symbolic link, a control FIFO and its log in a temporary folder, and a tag
// file (its own, or another simulator's). Control commands wait until the
// simulator has taken them. ReaderSimProcess is velmora-reader-sim set up so;
// SimProcess (SimProcess.h) is velmora-programmer-sim.
#pragma once

#include "ProgrammerSimHarness.h"
#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

class ControlledSim {
public:
    // name: the link's and the control FIFO's name in the folder. tagFile
    // empty: a tag file in the simulator's own folder.
    ControlledSim(const std::string& binary, const std::string& name, std::vector<std::string> extraArgs,
                  std::string tagFile);

    bool Running() const { return process_ && process_->Running() && linked_; }
    // The stable device name (a symbolic link to the current /dev/pts/N).
    const std::string& Link() const { return link_; }
    const std::string& TagFile() const { return tagFile_; }
    // The tag file's first line.
    std::string Tag() const;
    // Sends control commands ("a; b") and waits until all were taken.
    bool Control(const std::string& commands);
    std::string ErrorOutput() const { return ReadTextFile(errFile_); }
    // Waits until the log holds `text` (count times at least).
    bool WaitForLog(const std::string& text, int count = 1, int timeoutMs = 5000) const;
    int CountInLog(const std::string& text) const;
    // Stops the simulator; its wait status, -1 when it did not end in time.
    int Stop(int signo) { return process_ ? process_->Stop(signo) : -1; }

private:
    TempDir dir_;
    std::string link_, control_, tagFile_, errFile_;
    std::unique_ptr<SimChild> process_;
    bool linked_ = false;
};

class ReaderSimProcess : public ControlledSim {
public:
    static bool Available() { return PathExists(ReaderSimBinary()); }
    explicit ReaderSimProcess(std::vector<std::string> extraArgs = {}, std::string tagFile = {})
        : ControlledSim(ReaderSimBinary(), "reader", std::move(extraArgs), std::move(tagFile)) {}
};

} // namespace velmora::test
