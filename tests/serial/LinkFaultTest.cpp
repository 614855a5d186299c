// The links under device faults, through the fake port and the fake clock: a
// device pulled out during an exchange and plugged back (the resends open the
// port again, and write nothing while it will not open), a reader lost during
// the wait for an RF reading, and the cause a failure is reported with.
#include "ReaderRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

std::size_t CountLines(const std::vector<std::string>& lines, const std::string& part, std::size_t from = 0,
                       std::size_t to = SIZE_MAX) {
    std::size_t n = 0;
    for (std::size_t i = from; i < lines.size() && i < to; ++i) n += lines[i].find(part) != std::string::npos;
    return n;
}

// Pulls the device out when the link writes `command`, without answering it;
// every other write is answered as before.
void PullOnCommand(FakeDevice& dev, const std::string& command, bool& pulled) {
    dev.onWrite = [answer = dev.onWrite, command, &pulled](FakeDevice& d, const std::string& written) {
        if (!pulled && written == command) {
            pulled = true;
            d.present = false;
        } else if (answer) {
            answer(d, written);
        }
    };
}

// ---- the programmer and the reader's parameter read: pulled and plugged back ----

enum class Exchange { ProgrammerProbe, ProgrammerStatus, ReaderParameters };

struct ReplugCase {
    const char* name;
    Exchange exchange;
    uint32_t backAfter; // seconds between the pull and the plug
};

class DeviceReplug : public ::testing::TestWithParam<ReplugCase> {};

// Each command is written, and logged, twice in all: once before the pull
// and once after the plug.
TEST_P(DeviceReplug, TheExchangeReopensThePortAndFindsTheDeviceWithoutLoggingUnsentCommands) {
    const ReplugCase& c = GetParam();
    LinkRig prig;
    ReaderRig rrig;
    const bool reader = c.exchange == Exchange::ReaderParameters;
    FakeLinkRig& rig = reader ? static_cast<FakeLinkRig&>(rrig) : static_cast<FakeLinkRig&>(prig);
    const std::string command = reader ? Frame("FSP") : c.exchange == Exchange::ProgrammerProbe ? "#30\r" : "#40\r";
    bool pulled = false;
    std::shared_ptr<FakeDevice> dev;
    if (reader) {
        dev = rrig.Reader(0);
        rrig.AssignReader(0);
        ReadReaderParameters(rrig.data);
    } else {
        if (c.exchange == Exchange::ProgrammerStatus) prig.ConnectOn(0);
        dev = prig.Programmer(0);
        ProgrammerState s = prig.State();
        s.port = 0;
        s.nextCheck = 0;
        SetProgrammerState(prig.data, s);
    }
    PullOnCommand(*dev, command, pulled);

    ASSERT_GT(rig.TickUntil([&] { return pulled; }, 50), 0);
    const uint32_t pulledAt = rig.clock.seconds;
    rig.Tick(); // the next read fails: the port is closed once
    EXPECT_FALSE(rig.ports.IsOpen(0));
    const std::size_t linesAtPull = rig.LoggedLines().size();
    rig.TickUntil([&] { return rig.clock.seconds >= pulledAt + c.backAfter; }, 1000);
    dev->present = true;
    EXPECT_EQ(CountLines(rig.LoggedLines(), " T-- ", linesAtPull), 0u)
        << "nothing is sent, or logged as sent, while the port will not open";

    if (reader) {
        ASSERT_GT(rrig.TickUntil([&] { return !rrig.ui.shown.empty(); }, 1000), 0);
        EXPECT_EQ(rrig.ui.shown.size(), 1u);
    } else {
        ASSERT_GT(prig.TickUntil([&] { return prig.State().operationState == kOpIdle; }, 1000), 0);
        EXPECT_EQ(prig.State().on, 1);
        if (c.exchange == Exchange::ProgrammerStatus) EXPECT_STREQ(prig.State().lastError, "00 Operation Successful");
    }
    const std::string logged = command.back() == '\r' ? command.substr(0, command.size() - 1) : command;
    EXPECT_EQ(CountLines(rig.LoggedLines(), "T-- " + logged), 2u);
    EXPECT_EQ(std::count(dev->written.begin(), dev->written.end(), command), 2);
    EXPECT_EQ(CountLines(rig.LoggedLines(), " E-- "), 1u);
}

// A probe waits 30 s and then 15 s per resend; a status check 2 s, then 15 s;
// a parameter read 5 s per send.
INSTANTIATE_TEST_SUITE_P(
    Exchanges, DeviceReplug,
    ::testing::Values(ReplugCase{"ProbeBackBeforeTheResend", Exchange::ProgrammerProbe, 3},
                      ReplugCase{"ProbeBackAfterOneSkippedResend", Exchange::ProgrammerProbe, 40},
                      ReplugCase{"StatusBackAfterOneSkippedResend", Exchange::ProgrammerStatus, 10},
                      ReplugCase{"ParametersBackBeforeTheResend", Exchange::ReaderParameters, 3},
                      ReplugCase{"ParametersBackAfterOneSkippedResend", Exchange::ReaderParameters, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the RF check: the reader lost during the wait ----

const char* const kAgreeingReading = "ABCD 123456,19,L,150,4,1,0";

class RfStatusUi : public RecordingReaderUi {
public:
    void SetRfReadStatusText(const std::string& t) override { rfTexts.push_back(t); }
};

struct RfFaultCase {
    const char* name;
    bool absentAtRequest; // the port will not open when the check begins
    bool pullDuringWait;  // the reader is pulled out once the wait runs
    bool cancelWhileOut;  // the operator cancels while it is out
    uint8_t result;       // the outcome handed to the tag window
};

class RfReaderLost : public ::testing::TestWithParam<RfFaultCase> {
protected:
    // The RF check of the railcar programmed, the reader on Comm Port 1.
    std::shared_ptr<FakeDevice> Start(bool present) {
        rig.data.serial.reader.ui = &ui;
        ProgramRfRailcar(rig.data);
        rig.AssignReader(0);
        auto dev = rig.Device(0);
        dev->present = present;
        CommLinkData r = rig.Link(0);
        r.reader.rfReadRequested = 1;
        UpdateCommLinkData(rig.data, 0, r);
        rig.Tick();
        return dev;
    }
    ReaderRig rig;
    RfStatusUi ui;
};

TEST_P(RfReaderLost, TheWaitReopensThePortSaysTheReaderIsDisconnectedAndJudgesTheLaterReading) {
    const RfFaultCase& c = GetParam();
    auto dev = Start(!c.absentAtRequest);
    ASSERT_TRUE(ui.rfOpen) << "the window, and its Cancel, are there from the start";
    if (c.pullDuringWait) {
        ASSERT_EQ(rig.Link(0).awaitedResponse, kReaderTagReading);
        dev->present = false;
        rig.Tick();
        EXPECT_EQ(CountLines(rig.LoggedLines(), " E-- "), 1u);
    }
    rig.Ticks(30); // three seconds out of reach
    EXPECT_EQ(std::count(ui.rfTexts.begin(), ui.rfTexts.end(), std::string(kRfReaderDisconnectedText)), 1)
        << "said once, not on every tick";
    EXPECT_EQ(ui.rfTexts.back(), kRfReaderDisconnectedText);
    EXPECT_EQ(rig.completions, 0);

    if (c.cancelWhileOut) {
        EXPECT_TRUE(CancelRfReading(rig.data));
    } else {
        dev->present = true;
        rig.Tick();
        EXPECT_TRUE(rig.ports.IsOpen(0));
        EXPECT_EQ(ui.rfTexts.back(), kRfReadStatusText);
        dev->Send(std::string(kAgreeingReading) + "\r\n");
    }
    ASSERT_GT(rig.TickUntil([&] { return rig.completions > 0; }, 50), 0);
    EXPECT_EQ(rig.completionResults, (std::vector<uint8_t>{c.result}));
    EXPECT_FALSE(ui.rfOpen);
    EXPECT_FALSE(rig.ports.IsOpen(0));
    EXPECT_EQ(rig.Link(0).deviceKind, kDeviceNone);
}

INSTANTIATE_TEST_SUITE_P(Faults, RfReaderLost,
                         ::testing::Values(RfFaultCase{"PulledAndPluggedBack", false, true, false, 21},
                                           RfFaultCase{"PulledAndCancelled", false, true, true, 20},
                                           RfFaultCase{"NotThereAtFirstThenPluggedIn", true, false, false, 21}),
                         [](const auto& info) { return std::string(info.param.name); });

using RfReadingKept = RfReaderLost;

TEST_F(RfReadingKept, TheJudgedReadingIsKeptAsReceivedEvenWhenAnotherLineFollowsIt) {
    Start(true)->Send(std::string(kAgreeingReading) + "\r\nXABCD 000042,19,L,150,4,1,0\r\n");
    ASSERT_GT(rig.TickUntil([&] { return rig.completions > 0; }, 50), 0);
    EXPECT_EQ(rig.completionResults, (std::vector<uint8_t>{21}));
    EXPECT_EQ(rig.data.serial.reader.judgedReading, kAgreeingReading);
}

// ---- the cause of a failure, in words ----

struct CauseCase {
    const char* name;
    bool present; // the device is there to be opened
    bool pull;    // it is pulled out once the probe was sent (and stays out)
    const char* cause;
};

class FailureCauses : public ::testing::TestWithParam<CauseCase> {};

TEST_P(FailureCauses, AFailedProbeNamesWhyTheProgrammerWasNotFound) {
    const CauseCase& c = GetParam();
    LinkRig rig;
    auto dev = rig.Programmer(0, {.silent = true});
    dev->present = c.present;
    bool pulled = false;
    if (c.pull) PullOnCommand(*dev, "#30\r", pulled);
    ProgrammerState s = rig.State();
    s.port = 0;
    SetProgrammerState(rig.data, s);
    rig.Tick();
    ASSERT_GT(rig.TickUntil([&] { return rig.State().operationState == kOpIdle; }, 1000), 0);
    EXPECT_EQ(rig.State().on, 0);
    EXPECT_EQ(FailureCause(rig.ports, 0), c.cause);
}

INSTANTIATE_TEST_SUITE_P(Causes, FailureCauses,
                         ::testing::Values(CauseCase{"SilentDevice", true, false, "no answer"},
                                           CauseCase{"PulledOut", true, true, "device disconnected"},
                                           CauseCase{"PortWillNotOpen", false, false, kFakeNotFoundText}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::test
