#include "Pty.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace velmora::sim {

bool PseudoTerminal::Open(std::string& problem) {
    Close();
    termios raw{};
    cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        problem = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    // The slave keeps its raw settings after we let go of it; holding it
    // open would keep bytes for a program that has closed the port.
    close(slave);
    int flags = fcntl(master, F_GETFL);
    if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0 || fcntl(master, F_SETFD, FD_CLOEXEC) != 0) {
        problem = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        close(master);
        return false;
    }
    master_ = master;
    slavePath_ = name;
    return true;
}

void PseudoTerminal::Close() {
    if (master_ >= 0) close(master_);
    master_ = -1;
    slavePath_.clear();
}

bool PseudoTerminal::ClientPresent() const {
    if (master_ < 0) return false;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, 0) < 0) return false;
    return (p.revents & POLLHUP) == 0;
}

void PseudoTerminal::DiscardUnreadOutput() const {
    if (master_ < 0 || slavePath_.empty()) return;
    int fd = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    tcflush(fd, TCIFLUSH);
    close(fd);
}

bool PortLink::IsLinkOrMissing(std::string& problem) const {
    struct stat st {};
    if (lstat(path_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        problem = path_ + " exists and is not a symbolic link; it will not be replaced";
        return false;
    }
    return true;
}

bool PortLink::Claim(std::string& problem) {
    if (path_.empty()) return true;
    if (!IsLinkOrMissing(problem)) return false;
    owned_ = true;
    Remove();
    return true;
}

bool PortLink::PointTo(const std::string& target, std::string& problem) {
    if (path_.empty()) return true;
    if (!owned_ && !Claim(problem)) return false;
    if (!IsLinkOrMissing(problem)) return false;
    // Made beside the final name and renamed over it, so the link is never missing
    // or half made while it moves to a new device.
    std::string temp = path_ + ".tmp" + std::to_string(static_cast<long>(getpid()));
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), path_.c_str()) != 0) {
        problem = "cannot make the link " + path_ + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

void PortLink::Remove() {
    if (!owned_) return;
    struct stat st {};
    if (lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(path_.c_str());
}

} // namespace velmora::sim
