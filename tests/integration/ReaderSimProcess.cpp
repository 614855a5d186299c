#include "ReaderSimProcess.h"

#include "ProgrammerSimHarness.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velmora::test {

std::string ReaderSimBinary() { return std::string(VELMORA_BINARY_DIR) + "/velmora-reader-sim"; }

bool ReaderSimProcess::Available() { return PathExists(ReaderSimBinary()); }

ReaderSimProcess::ReaderSimProcess(std::vector<std::string> extraArgs, std::string tagFile) {
    link_ = dir_.File("reader");
    control_ = dir_.File("reader.ctl");
    tagFile_ = tagFile.empty() ? dir_.File("tag.txt") : std::move(tagFile);
    errFile_ = dir_.File("sim.err");
    if (!Available()) return;

    std::vector<std::string> args = {ReaderSimBinary(), "--link", link_, "--control", control_, "--tag-file", tagFile_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return;
    }
    pid_ = pid;
    stdoutFd_ = out[0];
    linked_ = WaitUntil([this] { return PathExists(link_) && PathExists(control_); });
}

ReaderSimProcess::~ReaderSimProcess() {
    if (pid_ > 0) Stop(SIGTERM);
    if (stdoutFd_ >= 0) close(stdoutFd_);
}

std::string ReaderSimProcess::ErrorOutput() const { return ReadTextFile(errFile_); }

int ReaderSimProcess::CountInLog(const std::string& text) const {
    const std::string log = ErrorOutput();
    int n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

bool ReaderSimProcess::WaitForLog(const std::string& text, int count, int timeoutMs) const {
    return WaitUntil([&] { return CountInLog(text) >= count; }, timeoutMs);
}

bool ReaderSimProcess::Control(const std::string& commands) {
    if (!Running()) return false;
    int expected = CountInLog("control: ") + 1;
    for (char c : commands) expected += c == ';';
    if (!WaitUntil([&] { return WriteControl(control_, commands); })) return false;
    return WaitForLog("control: ", expected);
}

int ReaderSimProcess::Stop(int signo) {
    if (pid_ <= 0) return -1;
    kill(pid_, signo);
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

} // namespace velmora::test
