// QtCommPort on real devices: the system's texts after an open, and a
// pseudo-terminal whose other side goes away.
#include "SimProcess.h"
#include "TestSupport.h"

#include "qt/QtCommPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace velmora::test {
namespace {

TEST(QtCommPort, MissingDeviceGivesTheSystemsNotFoundText) {
    QtCommPort port;
    EXPECT_FALSE(port.Open("/dev/velmora-no-such-port"));
    EXPECT_EQ(port.ErrorText(), "No such file or directory");
    EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(ENOENT));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open(""));
    uint8_t buf[8];
    EXPECT_EQ(port.Read(buf, sizeof buf).count, 0u);
    EXPECT_EQ(port.Write(buf, 1), -1);
}

TEST(QtCommPort, AFileThatIsNotASerialPortIsRefused) {
    TempDir dir;
    WriteFileBytes(dir.File("plain"), {1, 2, 3});
    QtCommPort port;
    EXPECT_FALSE(port.Open(dir.File("plain")));
    EXPECT_FALSE(port.ErrorText().empty());
}

TEST(QtCommPort, OpensConfiguresTalksAndReportsAVanishedDeviceOnce) {
    if (!SimProcess::Available()) GTEST_SKIP() << "velmora-programmer-sim not built";
    SimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    QtCommPort port;
    ASSERT_TRUE(port.Open(sim.Link())) << port.ErrorText();
    EXPECT_EQ(port.LastErrorCode(), 0u);
    EXPECT_EQ(port.ErrorText(), "Success");
    EXPECT_TRUE(port.Configure(*ParseModeString("96,n,8,1")));
    const std::string probe = "#30\r";
    EXPECT_EQ(port.Write(reinterpret_cast<const uint8_t*>(probe.data()), probe.size()), 4);

    std::string got;
    uint8_t buf[100];
    for (int i = 0; i < 200 && got.find("Ver") == std::string::npos; ++i) {
        const CommReadResult r = port.Read(buf, sizeof buf);
        ASSERT_FALSE(r.failed);
        got.append(reinterpret_cast<char*>(buf), r.count);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got.rfind("#30\r\n#Model AP4118", 0), 0u) << got;

    ASSERT_TRUE(sim.Control("unplug"));
    int failures = 0;
    for (int i = 0; i < 100 && port.IsOpen(); ++i) {
        failures += port.Read(buf, sizeof buf).failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (failures) port.Close(); // what the serial layer does on the first failure
    }
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ErrorText().empty());
}

} // namespace
} // namespace velmora::test
