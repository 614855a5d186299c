#include "ReaderSimProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velmora::test {

SimChild::SimChild(const std::string& binary, const std::vector<std::string>& args, const std::string& stderrPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrPath.empty() ? "/dev/null" : stderrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<std::string> argStore{binary};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

int SimChild::Stop(int signo, int timeoutMs) {
    if (pid_ <= 0) return -1;
    if (signo != 0) kill(pid_, signo);
    int status = 0;
    pid_t r = 0;
    if (!WaitUntil([&] { return (r = waitpid(pid_, &status, WNOHANG)) != 0; }, timeoutMs) || r != pid_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        status = -1;
    }
    pid_ = -1;
    return status;
}

// One control command (a line end is added) into the simulator's FIFO.
static bool WriteControl(const std::string& fifo, const std::string& command) {
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const std::string line = command + "\n";
    const bool ok = fd >= 0 && write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    if (fd >= 0) close(fd);
    return ok;
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}


ControlledSim::ControlledSim(const std::string& binary, const std::string& name, std::vector<std::string> extraArgs,
                             std::string tagFile) {
    link_ = dir_.File(name);
    control_ = dir_.File(name + ".ctl");
    tagFile_ = tagFile.empty() ? dir_.File("tag.txt") : std::move(tagFile);
    errFile_ = dir_.File("sim.err");
    if (!PathExists(binary)) return;
    std::vector<std::string> args = {"--link", link_, "--control", control_, "--tag-file", tagFile_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    process_ = std::make_unique<SimChild>(binary, args, errFile_);
    linked_ = process_->Running() && WaitUntil([this] { return PathExists(link_) && PathExists(control_); });
}

std::string ControlledSim::Tag() const {
    const std::string text = ReadFileText(tagFile_);
    return text.substr(0, text.find('\n'));
}

int ControlledSim::CountInLog(const std::string& text) const {
    const std::string log = ErrorOutput();
    int n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

bool ControlledSim::WaitForLog(const std::string& text, int count, int timeoutMs) const {
    return WaitUntil([&] { return CountInLog(text) >= count; }, timeoutMs);
}

bool ControlledSim::Control(const std::string& commands) {
    if (!Running()) return false;
    int expected = CountInLog("control: ") + 1;
    for (char c : commands) expected += c == ';';
    if (!WaitUntil([&] { return WriteControl(control_, commands); })) return false;
    return WaitForLog("control: ", expected);
}

} // namespace velmora::test
