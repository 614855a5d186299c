// The links under device faults, through the fake port and the fake clock: a
// device pulled out during an exchange and plugged back (the resends open the
// port again, and write nothing while it will not open), a reader lost during
// the wait for an RF reading, and the cause a failure is reported with.
#include "LinkRig.h"
#include "ReaderRig.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
// every other write is answered by `answer`.
void PullOnCommand(FakeDevice& dev, const std::string& command, bool& pulled) {
    auto answer = dev.onWrite;
    dev.onWrite = [answer, command, &pulled](FakeDevice& d, const std::string& written) {
        if (!pulled && written == command) {
            pulled = true;
            d.present = false;
            return;
        }
        if (answer) answer(d, written);
    };
}

// ---- the programmer and the reader's parameter read: pulled and plugged back ----

enum class Exchange { ProgrammerProbe, ProgrammerStatus, ReaderParameters };

struct ReplugCase {
    const char* name;
    Exchange exchange;
    uint32_t backAfter; // seconds between the pull and the plug
    std::size_t sends;  // times the command is written and logged in all
};

class DeviceReplug : public ::testing::TestWithParam<ReplugCase> {};

TEST_P(DeviceReplug, TheExchangeReopensThePortAndFindsTheDeviceWithoutLoggingUnsentCommands) {
    const ReplugCase& c = GetParam();
    LinkRig prig;
    ReaderRig rrig;
    const bool reader = c.exchange == Exchange::ReaderParameters;
    FakeLinkRig& rig = reader ? static_cast<FakeLinkRig&>(rrig) : static_cast<FakeLinkRig&>(prig);
    std::string command;
    bool pulled = false;
    std::shared_ptr<FakeDevice> dev;

    switch (c.exchange) {
    case Exchange::ProgrammerProbe: {
        command = "#30\r";
        dev = prig.Programmer(0);
        PullOnCommand(*dev, command, pulled);
        ProgrammerState s = prig.State();
        s.port = 0;
        SetProgrammerState(prig.data, s);
        break;
    }
    case Exchange::ProgrammerStatus: {
        command = "#40\r";
        prig.ConnectOn(0);
        dev = prig.Device(0);
        PullOnCommand(*dev, command, pulled);
        ProgrammerState s = prig.State();
        s.nextCheck = 0;
        SetProgrammerState(prig.data, s);
        break;
    }
    case Exchange::ReaderParameters:
        command = Frame("FSP");
        dev = rrig.Reader(0);
        PullOnCommand(*dev, command, pulled);
        rrig.AssignReader(0);
        ReadReaderParameters(rrig.data);
        break;
    }

    ASSERT_GT(rig.TickUntil([&] { return pulled; }, 50), 0);
    const uint32_t pulledAt = rig.clock.seconds;
    rig.Tick(); // the next read fails: the port is closed once
    EXPECT_FALSE(rig.ports.IsOpen(0));
    const std::size_t linesAtPull = rig.LoggedLines().size();
    rig.TickUntil([&] { return rig.clock.seconds >= pulledAt + c.backAfter; }, 1000);
    dev->present = true;
    const std::size_t linesAtPlug = rig.LoggedLines().size();
    EXPECT_EQ(CountLines(rig.LoggedLines(), " T-- ", linesAtPull, linesAtPlug), 0u)
        << "nothing is sent, or logged as sent, while the port will not open";

    switch (c.exchange) {
    case Exchange::ProgrammerProbe:
        ASSERT_GT(prig.TickUntil([&] { return prig.State().operationState == kOpIdle; }, 1000), 0);
        EXPECT_EQ(prig.State().on, 1);
        break;
    case Exchange::ProgrammerStatus:
        ASSERT_GT(prig.TickUntil([&] { return prig.State().operationState == kOpIdle; }, 1000), 0);
        EXPECT_EQ(prig.State().on, 1);
        EXPECT_STREQ(prig.State().lastError, "00 Operation Successful");
        break;
    case Exchange::ReaderParameters:
        ASSERT_GT(rrig.TickUntil([&] { return !rrig.ui.shown.empty(); }, 1000), 0);
        EXPECT_EQ(rrig.ui.shown.size(), 1u);
        break;
    }
    std::string logged = command;
    if (logged.back() == '\r') logged.pop_back();
    EXPECT_EQ(CountLines(rig.LoggedLines(), "T-- " + logged), c.sends);
    EXPECT_EQ(std::count(dev->written.begin(), dev->written.end(), command), static_cast<long>(c.sends));
    EXPECT_EQ(CountLines(rig.LoggedLines(), " E-- "), 1u);
}

// A probe waits 30 s and then 15 s per resend; a status check 2 s, then 15 s;
// a parameter read 5 s per send.
INSTANTIATE_TEST_SUITE_P(
    Exchanges, DeviceReplug,
    ::testing::Values(ReplugCase{"ProbeBackBeforeTheResend", Exchange::ProgrammerProbe, 3, 2},
                      ReplugCase{"ProbeBackAfterOneSkippedResend", Exchange::ProgrammerProbe, 40, 2},
                      ReplugCase{"StatusBackAfterOneSkippedResend", Exchange::ProgrammerStatus, 10, 2},
                      ReplugCase{"ParametersBackBeforeTheResend", Exchange::ReaderParameters, 3, 2},
                      ReplugCase{"ParametersBackAfterOneSkippedResend", Exchange::ReaderParameters, 8, 2}),
    [](const ::testing::TestParamInfo<ReplugCase>& info) { return std::string(info.param.name); });

// ---- the RF check: the reader lost during the wait ----

class RfStatusUi : public RecordingReaderUi {
public:
    void SetRfReadStatusText(const std::string& t) override { rfTexts.push_back(t); }
};

// The railcar ABCD 123456 LEFT 150 dm, 4 axles, bearing 1, platform 0.
const char* const kAgreeingReading = "ABCD 123456,19,L,150,4,1,0";

void ProgrammedRailcar(ReaderRig& rig) {
    SettingsBlock s = rig.data.GetSettings();
    s.feetInches = 0;
    rig.data.UpdateSettings(s);
    LastTagRecord t;
    const char* texts[] = {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"};
    FieldTexts ft;
    for (int row = 0; row < 8; ++row) {
        t.SetFieldText(row, texts[row]);
        ft[static_cast<std::size_t>(row)] = texts[row];
    }
    t.SetFrameText(BuildTagFrame(rig.data.GetTagFormatData(0), ft, false, false).frameText);
    rig.data.UpdateLastTagRecord(t);
}

struct RfFaultCase {
    const char* name;
    bool absentAtRequest; // the port will not open when the check begins
    bool pullDuringWait;  // the reader is pulled out once the wait runs
    bool cancelWhileOut;  // the operator cancels while it is out
    uint8_t result;       // the outcome handed to the tag window
};

class RfReaderLost : public ::testing::TestWithParam<RfFaultCase> {};

TEST_P(RfReaderLost, TheWaitReopensThePortSaysTheReaderIsDisconnectedAndJudgesTheLaterReading) {
    const RfFaultCase& c = GetParam();
    ReaderRig rig;
    RfStatusUi ui;
    rig.data.serial.reader.ui = &ui;
    ProgrammedRailcar(rig);
    rig.AssignReader(0);
    auto dev = rig.Device(0);
    dev->present = !c.absentAtRequest;

    CommLinkData r = rig.Link(0);
    r.reader.rfReadRequested = 1;
    UpdateCommLinkData(rig.data, 0, r);
    rig.Tick();
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

INSTANTIATE_TEST_SUITE_P(
    Faults, RfReaderLost,
    ::testing::Values(RfFaultCase{"PulledAndPluggedBack", false, true, false, 21},
                      RfFaultCase{"PulledAndCancelled", false, true, true, 20},
                      RfFaultCase{"NotThereAtFirstThenPluggedIn", true, false, false, 21}),
    [](const ::testing::TestParamInfo<RfFaultCase>& info) { return std::string(info.param.name); });

TEST(RfReading, TheJudgedReadingIsKeptAsReceivedEvenWhenAnotherLineFollowsIt) {
    ReaderRig rig;
    ProgrammedRailcar(rig);
    rig.AssignReader(0);
    auto dev = rig.Device(0);
    CommLinkData r = rig.Link(0);
    r.reader.rfReadRequested = 1;
    UpdateCommLinkData(rig.data, 0, r);
    rig.Tick();
    dev->Send(std::string(kAgreeingReading) + "\r\nXABCD 000042,19,L,150,4,1,0\r\n");
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

INSTANTIATE_TEST_SUITE_P(
    Causes, FailureCauses,
    ::testing::Values(CauseCase{"SilentDevice", true, false, "no answer"},
                      CauseCase{"PulledOut", true, true, "device disconnected"},
                      CauseCase{"PortWillNotOpen", false, false, kFakeNotFoundText}),
    [](const ::testing::TestParamInfo<CauseCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::test
