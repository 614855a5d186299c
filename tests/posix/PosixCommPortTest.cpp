// PosixCommPort against pseudo-terminals the test makes itself: the test
// holds the other side (the master) and its own descriptor of the device, and
// reads the line settings, the lock and the exclusive flag from there.
#include "TestSupport.h"

#include "posix/PosixCommPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace velmora::test {
namespace {

// A pseudo-terminal in the system's default (cooked) settings, so that the
// raw mode seen afterwards is the port's doing. (A pseudo-terminal keeps 8
// data bits without parity whatever it is told, so only those lines are
// checked here.)
struct Pty {
    Pty() {
        char name[128] = {};
        if (::openpty(&master, &device, name, nullptr, nullptr) == 0) path = name;
        EXPECT_FALSE(path.empty());
    }
    ~Pty() {
        CloseMaster();
        if (device >= 0) ::close(device);
    }
    void CloseMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    void Send(const std::string& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    int master = -1, device = -1;
    std::string path;
};

std::string ReadFor(PosixCommPort& port, std::size_t count) {
    std::string got;
    uint8_t buf[100];
    for (int i = 0; i < 100 && got.size() < count; ++i) {
        const CommReadResult r = port.Read(buf, sizeof buf);
        if (r.failed) break;
        got.append(reinterpret_cast<char*>(buf), r.count);
        if (r.count == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

TEST(PosixCommPort, AppliesTheModeStringInRawMode) {
    const struct {
        const char* mode;
        speed_t speed;
        bool twoStops;
    } cases[] = {{"96,n,8,1", B9600, false}, {"19,n,8,1", B19200, false}, {"24,n,8,2", B2400, true},
                 {"12,n,8,1", B1200, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Pty pty;
        PosixCommPort port;
        ASSERT_TRUE(port.Open(pty.path)) << port.ErrorText();
        ASSERT_TRUE(port.Configure(*ParseModeString(c.mode))) << port.ErrorText();
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.device, &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), c.speed);
        EXPECT_EQ(::cfgetispeed(&t), c.speed);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD), 0u);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD | CRTSCTS), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_cc[VMIN], 0);
        EXPECT_EQ(t.c_cc[VTIME], 0);
        PortMode odd;
        odd.baudRate = 12345;
        EXPECT_FALSE(port.Configure(odd));
        EXPECT_EQ(port.ErrorText(), "Unsupported baud rate 12345");
    }
}

TEST(PosixCommPort, CarriesBytesUnchangedBothWays) {
    Pty pty;
    PosixCommPort port;
    ASSERT_TRUE(port.Open(pty.path));
    EXPECT_EQ(port.LastErrorCode(), 0u);
    EXPECT_EQ(port.ErrorText(), "Success");
    ASSERT_TRUE(port.Configure(*ParseModeString("96,n,8,1")));
    const std::string out = "#30\r\n\x03\x7f";
    EXPECT_EQ(port.Write(reinterpret_cast<const uint8_t*>(out.data()), out.size()), static_cast<long>(out.size()));
    char got1[64] = {};
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(std::string(got1, std::max<ssize_t>(0, ::read(pty.master, got1, sizeof got1))), out);
    const std::string in = "\x02RDY\x03\r\n\x11\x13";
    pty.Send(in);
    EXPECT_EQ(ReadFor(port, in.size()), in);

    // More than the terminal takes at once still arrives whole, in order,
    // pushed out by the reads of the following ticks.
    std::string big(60000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('A' + i % 26);
    EXPECT_EQ(port.Write(reinterpret_cast<const uint8_t*>(big.data()), big.size()), static_cast<long>(big.size()));
    std::string got;
    char buf[4096];
    uint8_t none[1];
    for (int i = 0; i < 400 && got.size() < big.size(); ++i) {
        const ssize_t n = ::read(pty.master, buf, sizeof buf);
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        ASSERT_FALSE(port.Read(none, 0).failed);
        if (n <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(got == big) << got.size() << " of " << big.size() << " bytes";

    pty.Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    port.DiscardInput();
    EXPECT_EQ(ReadFor(port, 1), "");
}

TEST(PosixCommPort, HoldsThePortExclusively) {
    Pty pty;
    PosixCommPort first;
    ASSERT_TRUE(first.Open(pty.path));
    int excl = 0;
    ASSERT_EQ(::ioctl(pty.device, TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 1);
    EXPECT_NE(::flock(pty.device, LOCK_EX | LOCK_NB), 0);

    PosixCommPort second;
    EXPECT_FALSE(second.Open(pty.path));
    EXPECT_EQ(second.ErrorText(), "Port is in use by another program");
    EXPECT_EQ(second.LastErrorCode(), static_cast<uint32_t>(EBUSY));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(first.IsOpen());

    // Letting go clears the exclusive flag and the lock for the next program.
    first.Close();
    ASSERT_EQ(::ioctl(pty.device, TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 0);
    EXPECT_TRUE(second.Open(pty.path)) << second.ErrorText();
}

// The device under an open port ends with a read error (the other side
// closed) or a hang-up.
TEST(PosixCommPort, ALostDeviceIsReportedAsDisconnectedAndReleased) {
    for (const bool hangUp : {false, true}) {
        SCOPED_TRACE(hangUp ? "hang-up" : "read error (EIO)");
        Pty pty;
        PosixCommPort port;
        ASSERT_TRUE(port.Open(pty.path));
        ASSERT_TRUE(port.Configure(*ParseModeString("19,n,8,1")));
        if (!hangUp) {
            pty.CloseMaster();
        } else if (::ioctl(pty.device, TIOCVHANGUP) != 0) {
            GTEST_SKIP() << "hanging up a terminal needs the administrator's rights";
        }
        uint8_t buf[100];
        const CommReadResult r = port.Read(buf, sizeof buf);
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.count, 0u);
        EXPECT_EQ(port.ErrorText(), "device disconnected");
        EXPECT_NE(port.LastErrorCode(), 0u);
        // Open until the serial layer closes it, but the device is let go.
        EXPECT_TRUE(port.IsOpen());
        EXPECT_EQ(::flock(pty.device, LOCK_EX | LOCK_NB), 0);
        ::flock(pty.device, LOCK_UN);
        EXPECT_EQ(port.Write(buf, 1), -1);
        EXPECT_TRUE(port.Read(buf, sizeof buf).failed);
        EXPECT_EQ(port.ErrorText(), "device disconnected");
        port.Close();
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Read(buf, sizeof buf).failed);
    }
}

TEST(PosixCommPort, PathsThatAreNoSerialPortAreRefusedWithoutWaiting) {
    TempDir dir;
    WriteFileBytes(dir.File("plain"), {1, 2, 3});
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        int code;
        const char* text;
    } cases[] = {{dir.File("missing"), ENOENT, "No such file or directory"},
                 {"", ENOENT, "No such file or directory"},
                 {dir.File("plain"), ENOTTY, "Not a serial port"},
                 {dir.File("folder"), EISDIR, "Is a directory"},
                 {dir.File("fifo"), ENOTTY, "Not a serial port"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PosixCommPort port;
        EXPECT_FALSE(port.Open(c.path));
        EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(c.code));
        EXPECT_EQ(port.ErrorText(), c.text);
        EXPECT_FALSE(port.IsOpen());
        uint8_t buf[4] = {};
        EXPECT_EQ(port.Read(buf, sizeof buf).count, 0u);
        EXPECT_EQ(port.Write(buf, 1), -1);
        EXPECT_FALSE(port.Configure(PortMode{}));
    }
    EXPECT_EQ(ReadFileBytes(dir.File("plain")), (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace
} // namespace velmora::test
