#include "posix/PosixCommPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace velmora {

namespace {

// More unsent bytes than this means the device has stopped taking them.
constexpr std::size_t kMaxPending = 64 * 1024;

bool SpeedOf(int32_t baud, speed_t& speed) {
    struct Rate {
        int32_t baud;
        speed_t speed;
    };
    static constexpr Rate kRates[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800}, {921600, B921600},
#endif
    };
    for (const Rate& r : kRates)
        if (r.baud == baud) {
            speed = r.speed;
            return true;
        }
    return false;
}

} // namespace

PosixCommPort::~PosixCommPort() { Close(); }

void PosixCommPort::SetError(int code, std::string text) {
    errorCode_ = static_cast<uint32_t>(code);
    errorText_ = std::move(text);
}

bool PosixCommPort::Open(const std::string& device) {
    Close();
    failed_ = false;
    pending_.clear();
    if (device.empty()) {
        SetError(ENOENT, std::strerror(ENOENT));
        return false;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        // A terminal held with TIOCEXCL by another program refuses the open.
        SetError(e, e == EBUSY ? kPortInUseText : std::strerror(e));
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        SetError(ENOTTY, kNotSerialPortText);
        return false;
    }
    // The lock covers programs that may open a terminal despite TIOCEXCL
    // (the superuser) and those that only lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK) SetError(EBUSY, kPortInUseText);
        else SetError(e, std::strerror(e));
        return false;
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int e = errno;
        ::close(fd);
        SetError(e, std::strerror(e));
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    open_ = true;
    SetError(0, std::strerror(0));
    return true;
}

bool PosixCommPort::Configure(const PortMode& mode) {
    if (!open_ || failed_ || fd_ < 0) return false;
    speed_t speed{};
    if (!SpeedOf(mode.baudRate, speed)) {
        SetError(EINVAL, "Unsupported baud rate " + std::to_string(mode.baudRate));
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        SetError(errno, std::strerror(errno));
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (mode.dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    switch (mode.parity) {
    case Parity::None: break;
    case Parity::Even: tio.c_cflag |= PARENB; break;
    case Parity::Odd: tio.c_cflag |= PARENB | PARODD; break;
    case Parity::Mark: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case Parity::Space: tio.c_cflag |= PARENB | CMSPAR; break;
    }
    // A line of 1.5 stop bits is what the hardware sends for "two" at five
    // data bits.
    if (mode.stopBits != StopBits::One) tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        SetError(errno, std::strerror(errno));
        return false;
    }
    // tcsetattr succeeds when any one change was made: read back the rate.
    // (Pseudo-terminals always keep 8 data bits without parity, so the frame
    // bits are not read back.)
    termios now{};
    if (::tcgetattr(fd_, &now) != 0 || ::cfgetospeed(&now) != speed) {
        SetError(EINVAL, "The port refused the settings");
        return false;
    }
    return true;
}

void PosixCommPort::ReleaseDevice() {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL); // the flag lives on the terminal, not on our descriptor
    ::close(fd_);           // drops the lock too
    fd_ = -1;
}

void PosixCommPort::Fail(int code) {
    failed_ = true;
    pending_.clear();
    SetError(code, kDeviceDisconnectedText);
    ReleaseDevice();
}

bool PosixCommPort::FlushPending() {
    while (!pending_.empty()) {
        const ssize_t n = ::write(fd_, pending_.data(), pending_.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
            Fail(errno);
            return false;
        }
        pending_.erase(pending_.begin(), pending_.begin() + n);
    }
    return true;
}

long PosixCommPort::Write(const uint8_t* bytes, std::size_t count) {
    if (!open_ || failed_ || fd_ < 0) return -1;
    if (pending_.size() + count > kMaxPending) {
        Fail(EIO);
        return -1;
    }
    pending_.insert(pending_.end(), bytes, bytes + count);
    if (!FlushPending()) return -1;
    return static_cast<long>(count);
}

CommReadResult PosixCommPort::Read(uint8_t* buffer, std::size_t max) {
    CommReadResult r;
    if (!open_) return r;
    if (failed_ || fd_ < 0) {
        r.failed = true;
        return r;
    }
    if (!FlushPending()) {
        r.failed = true;
        return r;
    }
    if (max == 0) return r;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return r;
    if (p.revents & POLLIN) {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, max);
        } while (n < 0 && errno == EINTR);
        if (n > 0) {
            // Bytes that came before a hang-up are delivered first; the
            // hang-up is seen on the next call.
            r.count = static_cast<std::size_t>(n);
            return r;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return r;
        Fail(n == 0 ? EIO : errno); // end of file on a terminal is a hang-up
        r.failed = true;
        return r;
    }
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        Fail(EIO);
        r.failed = true;
    }
    return r;
}

void PosixCommPort::DiscardInput() {
    if (!open_ || failed_ || fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
}

void PosixCommPort::Close() {
    ReleaseDevice();
    pending_.clear();
    open_ = false;
}

} // namespace velmora
