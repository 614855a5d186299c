// Runs a simulator as a child process and talks to its port the way a
// program does: the device opened with plain termios, raw, 9600 baud.
// Usable by any integration test that needs a device on a pseudo-terminal.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace velmora::test {

std::string ProgrammerSimBinary();
std::string ReaderSimBinary();

class SimChild {
public:
    // Starts the program with these arguments; its standard error goes to
    // stderrPath when given (else to /dev/null). env adds or replaces
    // environment variables.
    SimChild(const std::string& binary, const std::vector<std::string>& args, const std::string& stderrPath = "",
             const std::map<std::string, std::string>& env = {});
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    bool Running() const { return pid_ > 0; }
    // The next device path the simulator prints (one each time the port is
    // plugged in); empty when none comes within the time.
    std::string NextDevicePath(int timeoutMs = 5000);
    // Waits for the process to end (sending signo first unless 0); returns
    // the wait status, or -1 when it did not end in time (it is then killed).
    int Stop(int signo, int timeoutMs = 5000);

private:
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    std::string pending_;
};

// velmora-programmer-sim as a child process.
class ProgrammerSimProcess : public SimChild {
public:
    explicit ProgrammerSimProcess(const std::vector<std::string>& args, const std::string& stderrPath = "",
                                  const std::map<std::string, std::string>& env = {})
        : SimChild(ProgrammerSimBinary(), args, stderrPath, env) {}
};

// The program's side of the serial line.
class SimSerialPort {
public:
    SimSerialPort() = default;
    ~SimSerialPort() { Close(); }
    SimSerialPort(const SimSerialPort&) = delete;
    SimSerialPort& operator=(const SimSerialPort&) = delete;

    bool Open(const std::string& path);
    void Close();
    int Fd() const { return fd_; }
    bool Send(std::string_view bytes);
    // Everything that arrives until count bytes are in or the time is up.
    std::string ReadCount(std::size_t count, int timeoutMs = 5000);
    // Sends a command and returns the first expectSize bytes of the answer.
    std::string Transact(std::string_view command, std::size_t expectSize, int timeoutMs = 5000);
    // True once the other side is gone (the device was unplugged).
    bool HungUp(int timeoutMs);

private:
    int fd_ = -1;
};

// Writes one control command (a line end is added) into the simulator's FIFO.
bool WriteControl(const std::string& fifo, const std::string& command);
// Polls cond every few milliseconds until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// Bytes shown readably in failure messages: CR as \r, LF as \n, others as \xNN.
std::string Visible(std::string_view bytes);
std::string ReadTextFile(const std::string& path);
bool PathExists(const std::string& path);

} // namespace velmora::test
