// A simulator run as a child process the way the integration tests use it: a
// symbolic link, a control FIFO and its log in a temporary folder, and a tag
// file (its own, or another simulator's). ReaderSimProcess is
// velmora-reader-sim set up so; SimProcess (SimProcess.h) is velmora-programmer-sim.
#pragma once

#include "TestSupport.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/types.h>

namespace velmora::test {

inline std::string ProgrammerSimBinary() { return std::string(VELMORA_BINARY_DIR) + "/velmora-programmer-sim"; }
inline std::string ReaderSimBinary() { return std::string(VELMORA_BINARY_DIR) + "/velmora-reader-sim"; }

// The program with these arguments; its standard error goes to stderrPath
// when given, everything else to /dev/null.
class SimChild {
public:
    SimChild(const std::string& binary, const std::vector<std::string>& args, const std::string& stderrPath = "");
    ~SimChild() { Stop(SIGTERM); }
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;
    bool Running() const { return pid_ > 0; }
    // Sends signo (unless 0) and waits; the wait status, or -1 when it did not
    // end in time (it is then killed).
    int Stop(int signo, int timeoutMs = 5000);

private:
    pid_t pid_ = -1;
};

// Polls cond every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
inline bool PathExists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }
inline std::string ReadTextFile(const std::string& path) { return ReadFileText(path); }

class ControlledSim {
public:
    // name: the link's and the control FIFO's name; tagFile empty: one in the folder.
    ControlledSim(const std::string& binary, const std::string& name, std::vector<std::string> extraArgs,
                  std::string tagFile);
    bool Running() const { return process_ && process_->Running() && linked_; }
    const std::string& Link() const { return link_; } // to the current /dev/pts/N
    const std::string& TagFile() const { return tagFile_; }
    std::string Tag() const; // the tag file's first line
    // Sends control commands ("a; b") and waits until all were taken.
    bool Control(const std::string& commands);
    std::string ErrorOutput() const { return ReadFileText(errFile_); }
    // Waits until the log holds `text` (count times at least).
    bool WaitForLog(const std::string& text, int count = 1, int timeoutMs = 5000) const;
    int Stop(int signo) { return process_ ? process_->Stop(signo) : -1; }

private:
    int CountInLog(const std::string& text) const;
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
