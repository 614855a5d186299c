// Mode strings, the port map and the port operations on fake devices.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velmora::test {
namespace {

TEST(ModeString, ShortAndFullBaudRatesParityDataAndStopBits) {
    EXPECT_EQ(ParseModeString("96,n,8,1"), (PortMode{9600, Parity::None, 8, StopBits::One}));
    EXPECT_EQ(ParseModeString("19,n,8,1")->baudRate, 19200);
    EXPECT_EQ(ParseModeString("12,e,7,2"), (PortMode{1200, Parity::Even, 7, StopBits::Two}));
    EXPECT_EQ(ParseModeString("38400, O, 5, 1.5"), (PortMode{38400, Parity::Odd, 5, StopBits::OneAndHalf}));
    for (const char* bad : {"", "96", "96,n,8", "96,n,8,1,1", "96,x,8,1", "96,n,9,1", "96,n,8,3", "x6,n,8,1",
                            "50,n,8,1", "96,nn,8,1", "99999999999,n,8,1", "96,n,4,1", "96,n,,1"})
        EXPECT_FALSE(ParseModeString(bad)) << bad;
}

TEST(PortMap, ShownNamesEnvironmentAndDefaults) {
    EXPECT_EQ(DisplayDeviceName(3), "\\\\.\\COM4");
    ::unsetenv("VELMORA_COM2");
    EXPECT_EQ(DefaultPortDevice(1), "/dev/ttyS1");
    ::setenv("VELMORA_COM2", "/tmp/programmer", 1);
    EXPECT_EQ(DefaultPortDevice(1), "/tmp/programmer");
    ::setenv("VELMORA_COM2", "", 1);
    EXPECT_EQ(DefaultPortDevice(1), "/dev/ttyS1");
    ::unsetenv("VELMORA_COM2");
    EXPECT_EQ(DefaultPortDevice(4), "");
    EXPECT_EQ(ParseComName("com3"), 2);
    EXPECT_FALSE(ParseComName("COM5"));
    EXPECT_FALSE(ParseComName("/dev/ttyS0"));
    auto single = SinglePortMap(2, "/dev/pts/7");
    EXPECT_EQ(single(2), "/dev/pts/7");
    EXPECT_EQ(single(0), "");
}

// Opening resets the port's stale link record; closing resets it again,
// discards the input and leaves the reader's pending command alone.
TEST(OpenAndClose, ResetTheLinkRecord) {
    LinkRig rig;
    auto dev = rig.Device(1);
    CommLinkData r = rig.Link(1);
    r.awaitedResponse = kAwaitStatus;
    r.ringWrite = 50;
    r.retries = 2;
    SetText(r.lastCommand, "#40\r");
    UpdateCommLinkData(rig.data, 1, r);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kReaderMode, 0, kDeviceReader), kOpenReady);
    EXPECT_EQ(dev->mode->baudRate, 19200);
    r = rig.Link(1);
    EXPECT_EQ(r.deviceKind, kDeviceReader);
    EXPECT_EQ(r.awaitedResponse, kAwaitNone);
    EXPECT_EQ(r.ringWrite + r.retries, 0);
    EXPECT_STREQ(r.lastCommand, "");
    EXPECT_STREQ(rig.Status(1).deviceType, "RS-232");
    EXPECT_STREQ(rig.Status(1).statusText, "Success");

    r.readPending = r.probing = r.probeRequested = 1;
    r.deadline = 77;
    r.awaitedResponse = kAwaitModel;
    r.ringRead = r.ringWrite = 12;
    r.reader.rfReadRequested = 1;
    r.reader.pendingCommand = 0;
    UpdateCommLinkData(rig.data, 1, r);
    dev->Send("junk");
    CloseCommPort(rig.data, rig.ports, 1);
    CloseCommPort(rig.data, rig.ports, 1); // closing a closed port does nothing
    EXPECT_EQ(dev->closes, 1);
    EXPECT_EQ(dev->discards, 1);
    r = rig.Link(1);
    EXPECT_EQ(r.deviceKind, kDeviceNone);
    EXPECT_EQ(r.readPending + r.probing + r.probeRequested + r.ringRead + r.reader.rfReadRequested, 0);
    EXPECT_EQ(r.deadline, 0u);
    EXPECT_EQ(r.awaitedResponse, kAwaitNone);
    EXPECT_EQ(r.reader.pendingCommand, 0);
}

// A failed open keeps the reason in the port's status and leaves the port
// closed and unclaimed.
TEST(OpenCommPort, FailuresKeepTheReasonAndLeaveThePortClosed) {
    struct Case {
        const char* what;
        void (*set)(FakeDevice&);
        const char* mode;
        int result;
        std::string status;
    };
    const Case cases[] = {
        {"missing", [](FakeDevice& d) { d.present = false; }, kProgrammerMode, kOpenFailed, kFakeNotFoundText},
        {"busy", [](FakeDevice& d) { d.busy = true; }, kProgrammerMode, kOpenFailed, kFakeBusyText},
        {"bad settings", [](FakeDevice&) {}, "96,q,8,1", kOpenFailed, "Invalid port settings \"96,q,8,1\""},
        {"modem", [](FakeDevice& d) { d.type = CommDeviceType::Modem; }, kProgrammerMode, kOpenNotSerial, ""},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        auto dev = rig.Device(2);
        c.set(*dev);
        EXPECT_EQ(OpenCommPort(rig.data, rig.ports, 2, c.mode, 0, kDeviceProgrammer), c.result) << c.what;
        if (c.result == kOpenNotSerial) EXPECT_STREQ(rig.Status(2).deviceType, "Modem");
        else EXPECT_EQ(rig.Status(2).statusText, c.status) << c.what;
        if (c.status == kFakeNotFoundText) EXPECT_EQ(rig.Link(2).lastOsError, 2u);
        EXPECT_EQ(rig.Link(2).deviceKind, kDeviceNone) << c.what;
        EXPECT_FALSE(dev->open) << c.what;
        EXPECT_FALSE(rig.ports.IsOpen(2)) << c.what;
    }
}

class OpenPort : public ::testing::Test {
protected:
    void SetUp() override {
        dev = rig.Device(0);
        ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    }
    void Await(uint8_t readPending) {
        CommLinkData r = rig.Link(0);
        r.awaitedResponse = kAwaitStatus;
        r.readPending = readPending;
        UpdateCommLinkData(rig.data, 0, r);
    }
    LinkRig rig;
    std::shared_ptr<FakeDevice> dev;
};

TEST_F(OpenPort, SendLogsWritesAndKeepsTheCommandAndAWriteErrorClosesOnce) {
    SendCommText(rig.data, rig.ports, 0, "#40\r", kProgrammerWord);
    EXPECT_EQ(dev->written.back(), "#40\r");
    EXPECT_STREQ(rig.Link(0).lastCommand, "#40\r");
    EXPECT_EQ(rig.ports.Resources(0).bytesWritten, 4u);
    EXPECT_EQ(rig.LoggedLines(), std::vector<std::string>{"03/14/2026 09:26:53 C(1) programmer T-- #40"});
    dev->failWrites = true;
    SendCommText(rig.data, rig.ports, 0, "#30\r", kProgrammerWord);
    SendCommText(rig.data, rig.ports, 0, "#30\r", kProgrammerWord);
    EXPECT_FALSE(dev->open);
    int errors = 0;
    for (const auto& l : rig.LoggedLines()) errors += l.find(" E-- ") != std::string::npos;
    EXPECT_EQ(errors, 1);
    EXPECT_STREQ(rig.Link(0).lastCommand, "#30\r");
}

TEST_F(OpenPort, ResetCommStatusGivesEveryPortItsStartValues) {
    rig.data.serial.readerBusy = 1;
    CommLinkData r = rig.Link(0);
    r.awaitedResponse = kAwaitRead;
    r.newMessages = 1;
    r.reader.searchStatus = kReaderFound;
    UpdateCommLinkData(rig.data, 0, r);
    ResetCommStatus(rig.data, rig.ports);
    EXPECT_EQ(rig.data.serial.readerBusy, 0);
    EXPECT_FALSE(dev->open);
    for (int p = 0; p < kCommPorts; ++p) {
        EXPECT_STREQ(rig.Status(p).statusText, "");
        EXPECT_STREQ(rig.Status(p).deviceType, "unknown");
        EXPECT_EQ(rig.ports.Resources(p).deviceName, DisplayDeviceName(p));
        EXPECT_EQ(rig.Link(p).awaitedResponse, kAwaitNone);
        EXPECT_EQ(rig.Link(p).newMessages, 0);
        EXPECT_EQ(rig.Link(p).reader.searchStatus, kReaderNotFound);
        EXPECT_EQ(rig.Link(p).reader.pendingCommand, -1);
    }
}

TEST_F(OpenPort, PollReadsOnlyWhileAnAnswerIsAwaitedAndAtMostOneHundredBytes) {
    StartCommRead(rig.data, rig.ports, 0);
    dev->Send("\n#00\r\n");
    PollCommRead(rig.data, rig.ports, 0, kDeviceProgrammer, AssembleProgrammerLines);
    EXPECT_EQ(dev->reads, 0); // nothing awaited
    Await(rig.Link(0).readPending);
    PollCommRead(rig.data, rig.ports, 0, kDeviceReader, AssembleProgrammerLines);
    EXPECT_EQ(dev->reads, 0); // another device kind's port
    PollCommRead(rig.data, rig.ports, 0, kDeviceProgrammer, AssembleProgrammerLines);
    EXPECT_EQ(dev->reads, 1);
    EXPECT_EQ(rig.Link(0).newMessages, 1);
    EXPECT_EQ(rig.Link(0).readPending, 1);
    EXPECT_EQ(rig.ports.Resources(0).bytesRead, 6u);
    dev->Send(std::string(150, 'z'));
    PollCommRead(rig.data, rig.ports, 0, kDeviceProgrammer, AssembleProgrammerLines);
    EXPECT_EQ(rig.ports.Resources(0).bytesRead, 100u);
    EXPECT_EQ(dev->PendingBytes(), 50u);
}

} // namespace
} // namespace velmora::test
