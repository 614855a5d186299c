#include "ControlFifo.h"

#include "ControlText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::sim {

namespace {
constexpr std::size_t kMaxPending = 4096;
}

bool ControlFifo::Open(std::string& problem) {
    if (path_.empty()) return true;
    struct stat st {};
    if (lstat(path_.c_str(), &st) == 0) {
        if (!S_ISFIFO(st.st_mode)) {
            problem = path_ + " exists and is not a FIFO; it will not be replaced";
            return false;
        }
    } else if (mkfifo(path_.c_str(), 0600) == 0) {
        made_ = true;
    } else {
        problem = "cannot make the control FIFO " + path_ + ": " + std::strerror(errno);
        return false;
    }
    readFd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (readFd_ >= 0) keepFd_ = open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (readFd_ < 0 || keepFd_ < 0) {
        problem = "cannot open the control FIFO " + path_ + ": " + std::strerror(errno);
        Close();
        return false;
    }
    return true;
}

void ControlFifo::Close() {
    if (readFd_ >= 0) close(readFd_);
    if (keepFd_ >= 0) close(keepFd_);
    readFd_ = keepFd_ = -1;
    if (made_) unlink(path_.c_str());
    made_ = false;
}

std::vector<std::string> ControlFifo::ReadCommands(std::string& problem) {
    char buf[512];
    for (;;) {
        ssize_t n = read(readFd_, buf, sizeof buf);
        if (n > 0) {
            pending_.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    std::size_t end = pending_.find_last_of('\n');
    std::vector<std::string> commands;
    if (end != std::string::npos) {
        commands = SplitControlInput(std::string_view(pending_).substr(0, end));
        pending_.erase(0, end + 1);
    }
    if (pending_.size() > kMaxPending) {
        problem = "control input without a line end dropped (" + std::to_string(pending_.size()) + " bytes)";
        pending_.clear();
    }
    return commands;
}

} // namespace velmora::sim
