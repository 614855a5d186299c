#include "ProgrammerSimHarness.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velmora::test {

namespace {

using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

std::string ProgrammerSimBinary() { return std::string(VELMORA_BINARY_DIR) + "/velmora-programmer-sim"; }

std::string ReaderSimBinary() { return std::string(VELMORA_BINARY_DIR) + "/velmora-reader-sim"; }

SimChild::SimChild(const std::string& binary, const std::vector<std::string>& args, const std::string& stderrPath,
                   const std::map<std::string, std::string>& env) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrPath.empty() ? "/dev/null" : stderrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<std::string> argStore{binary};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        std::string name = entry.substr(0, entry.find('='));
        if (!env.count(name)) envStore.push_back(entry);
    }
    for (const auto& [name, value] : env) envStore.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return;
    }
    pid_ = pid;
    stdoutFd_ = out[0];
}

SimChild::~SimChild() {
    if (pid_ > 0) Stop(SIGTERM);
    if (stdoutFd_ >= 0) close(stdoutFd_);
}

std::string SimChild::NextDevicePath(int timeoutMs) {
    auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::size_t nl = pending_.find('\n');
        if (nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return line;
        }
        if (stdoutFd_ < 0) return {};
        pollfd p{stdoutFd_, POLLIN, 0};
        if (poll(&p, 1, MsLeft(end)) <= 0) return {};
        char buf[256];
        ssize_t n = read(stdoutFd_, buf, sizeof buf);
        if (n <= 0) return {};
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

int SimChild::Stop(int signo, int timeoutMs) {
    if (pid_ <= 0) return -1;
    if (signo != 0) kill(pid_, signo);
    auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) break;
        if (r < 0 || MsLeft(end) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return status;
}

bool SimSerialPort::Open(const std::string& path) {
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return false;
    termios t{};
    if (tcgetattr(fd_, &t) != 0) {
        Close();
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    if (tcsetattr(fd_, TCSANOW, &t) != 0) {
        Close();
        return false;
    }
    return true;
}

void SimSerialPort::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool SimSerialPort::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string SimSerialPort::ReadCount(std::size_t count, int timeoutMs) {
    std::string got;
    auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, MsLeft(end)) <= 0) break;
        char buf[256];
        ssize_t n = read(fd_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        else if (!(n < 0 && (errno == EAGAIN || errno == EINTR))) break;
    }
    return got;
}

std::string SimSerialPort::Transact(std::string_view command, std::size_t expectSize, int timeoutMs) {
    if (!Send(command)) return "<send failed>";
    return ReadCount(expectSize, timeoutMs);
}

bool SimSerialPort::HungUp(int timeoutMs) {
    auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, MsLeft(end)) <= 0) return false;
        if (p.revents & (POLLHUP | POLLERR)) return true;
        char buf[256];
        ssize_t n = read(fd_, buf, sizeof buf);  // take bytes still on the way
        if (n == 0 || (n < 0 && errno == EIO)) return true;
    }
}

bool WriteControl(const std::string& fifo, const std::string& command) {
    int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    std::string line = command + "\n";
    bool ok = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    close(fd);
    return ok;
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (cond()) return true;
        if (MsLeft(end) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string Visible(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

} // namespace velmora::test
