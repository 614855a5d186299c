// Runs a simulator as a child process, for any test that needs a device on a
// pseudo-terminal.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::test {

std::string ProgrammerSimBinary();
std::string ReaderSimBinary();

class SimChild {
public:
    // Starts the program with these arguments; its standard error goes to
    // stderrPath when given (else to /dev/null), its standard output to
    // /dev/null.
    SimChild(const std::string& binary, const std::vector<std::string>& args, const std::string& stderrPath = "");
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    bool Running() const { return pid_ > 0; }
    // Waits for the process to end (sending signo first unless 0); returns
    // the wait status, or -1 when it did not end in time (it is then killed).
    int Stop(int signo, int timeoutMs = 5000);

private:
    pid_t pid_ = -1;
};

// velmora-programmer-sim as a child process.
class ProgrammerSimProcess : public SimChild {
public:
    explicit ProgrammerSimProcess(const std::vector<std::string>& args, const std::string& stderrPath = "")
        : SimChild(ProgrammerSimBinary(), args, stderrPath) {}
};

// Writes one control command (a line end is added) into the simulator's FIFO.
bool WriteControl(const std::string& fifo, const std::string& command);
// Polls cond every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
std::string ReadTextFile(const std::string& path);
bool PathExists(const std::string& path);

} // namespace velmora::test
