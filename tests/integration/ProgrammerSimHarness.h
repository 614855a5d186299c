// Runs a simulator as a child process, for any test that needs a device on a
// pseudo-terminal.
#pragma once

#include "TestSupport.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/types.h>

namespace velmora::test {

std::string ProgrammerSimBinary();
std::string ReaderSimBinary();

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

class ProgrammerSimProcess : public SimChild {
public:
    explicit ProgrammerSimProcess(const std::vector<std::string>& args, const std::string& stderrPath = "")
        : SimChild(ProgrammerSimBinary(), args, stderrPath) {}
};

// One control command (a line end is added) into the simulator's FIFO.
bool WriteControl(const std::string& fifo, const std::string& command);
// Polls cond every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
inline std::string ReadTextFile(const std::string& path) { return ReadFileText(path); }
inline bool PathExists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

} // namespace velmora::test
