// Status checks, program and read exchanges, their answers and time-outs,
// tick by tick on fake ports and a fake clock.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

const std::string kFrame = "0123456789ABCDEF0123456789ABCD";

int Count(const std::vector<std::string>& v, const std::string& s) {
    return static_cast<int>(std::count(v.begin(), v.end(), s));
}

// A device that answers each write with fixed bytes, whatever was sent.
void AnswerWith(FakeDevice& dev, std::vector<std::string> answers) {
    auto queue = std::make_shared<std::vector<std::string>>(std::move(answers));
    dev.onWrite = [queue](FakeDevice& d, const std::string&) {
        if (queue->empty()) return;
        d.Send(queue->front());
        queue->erase(queue->begin());
    };
}

TEST(StatusCheck, RunsThirtySecondsAfterTheProbeAndStoresTheCodeText) {
    LinkRig rig;
    rig.ConnectOn(0);
    auto dev = rig.Programmer(0, {.silent = true});
    const uint32_t due = rig.State().nextCheck;
    rig.TickUntil([&] { return rig.clock.seconds > due; });
    EXPECT_EQ(dev->written.back(), "#40\r");
    EXPECT_EQ(rig.State().operationState, kOpStatusCheck);
    EXPECT_EQ(rig.Link(0).deadline, rig.clock.seconds + kStatusWait);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpStatusCheck);
    dev->Send("#40\r\n#00\r\n");
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_STREQ(rig.State().lastError, "00 Operation Successful");
    EXPECT_STREQ(rig.State().response, "#00");
    EXPECT_EQ(rig.State().nextCheck, rig.clock.seconds + kCheckInterval);
    EXPECT_EQ(rig.completions, 0);
}

TEST(StatusCheck, CodeTable) {
    for (const auto& [code, text] : std::vector<std::pair<std::string, std::string>>{
             {"#00", "00 Operation Successful"}, {"#01", "01 Illegal Command"}, {"#02", "02 Invalid Tag Data"},
             {"#03", "03 Presence Time-out on Program Cycle"}, {"#04", "04 Presence Time-out on Verify Cycle"},
             {"#08", "08 Data Compare Error"}, {"#09", "09 Locked Tag"}, {"#0A", "0A No Frame Marker"},
             {"#0B", "0B Bad Tag Parity"}, {"#0C", "0C Security Code Operation"}, {"#05", "#05 Unknown"},
             {"#0", "#0 Unknown"},
             {"#0F and a long tail of words after it", "#0F and a long tail of words after it U"}})
        EXPECT_EQ(StatusCodeText(code), text);
}

TEST(StatusCheck, SentThreeTimesThenWatchDogAndReconnection) {
    LinkRig rig;
    auto dev = rig.Programmer(0);
    rig.ConnectOn(0);
    rig.Programmer(0, {.silent = true});
    rig.clock.Advance(kCheckInterval + 1);
    rig.Tick();
    const uint32_t sent = rig.clock.seconds;
    ASSERT_EQ(rig.State().operationState, kOpStatusCheck);
    const int ticks = rig.TickUntil([&] { return rig.State().on == 0; });
    ASSERT_GT(ticks, 0);
    // Waits of 2, 15 and 15 s, each ending one second after its deadline.
    EXPECT_EQ(rig.clock.seconds - sent, 2u + 1 + 15 + 1 + 15 + 1);
    EXPECT_EQ(Count(dev->written, "#40\r"), 3);
    EXPECT_GE(dev->discards, 3);
    EXPECT_STREQ(rig.State().lastError, "WatchDog Timer Expired");
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.State().nextCheck, 0u);
    EXPECT_EQ(rig.completions, 0); // a status check calls no completion
    EXPECT_TRUE(dev->open);        // the port stays open
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is OFF Comm 1");
    // Reconnection: the known port is probed on the next tick.
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpCheckPort);
    EXPECT_EQ(dev->written.back(), "#30\r");
}

TEST(ProgramTag, SendsTheCommandAndSucceedsOnDoneRightAfterTheEcho) {
    LinkRig rig;
    EXPECT_FALSE(RequestProgramTag(rig.data, kFrame)); // no programmer yet
    EXPECT_FALSE(RequestReadTag(rig.data));
    rig.ConnectOn(0);
    auto dev = rig.Programmer(0, {.silent = true});
    ASSERT_TRUE(RequestProgramTag(rig.data, kFrame));
    EXPECT_FALSE(RequestProgramTag(rig.data, kFrame)); // busy
    EXPECT_FALSE(RequestReadTag(rig.data));
    rig.Tick();
    EXPECT_EQ(dev->written.back(), "#201" + kFrame + "\r");
    EXPECT_EQ(rig.Link(0).awaitedResponse, kAwaitProgram);
    EXPECT_EQ(rig.Link(0).deadline, rig.clock.seconds + kExchangeWait);
    EXPECT_EQ(rig.Link(0).retries, 0);
    dev->Send("#201" + kFrame + "\r\n#Done\r\n");
    rig.Tick();
    ASSERT_EQ(rig.completions, 1);
    EXPECT_EQ(rig.completionResults[0], kResultProgramOk);
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.Link(0).awaitedResponse, kAwaitNone);
    EXPECT_EQ(rig.Link(0).responseLineCount, 0);
    EXPECT_EQ(rig.State().nextCheck, rig.clock.seconds + kCheckInterval);
}

TEST(ProgramTag, SilenceEndsAfterEightSecondsWithWatchDog) {
    LinkRig rig;
    rig.ConnectOn(0);
    rig.Programmer(0, {.silent = true});
    RequestProgramTag(rig.data, kFrame);
    rig.Tick();
    const uint32_t sent = rig.clock.seconds;
    rig.TickUntil([&] { return rig.completions > 0; });
    EXPECT_EQ(rig.clock.seconds - sent, kExchangeWait + 1);
    EXPECT_EQ(rig.completionResults, (std::vector<uint8_t>{kResultProgramFailed}));
    EXPECT_EQ(rig.State().on, 0);
    EXPECT_STREQ(rig.State().lastError, "WatchDog Timer Expired");
    EXPECT_EQ(Count(rig.Device(0)->written, "#201" + kFrame + "\r"), 1); // never resent
}

// Sound behaviour: deadlines use the monotonic clock; the local time of day
// jumping an hour forward or back changes no wait.
TEST(ProgramTag, LocalClockJumpDoesNotShortenOrStretchTheWait) {
    LinkRig rig;
    rig.ConnectOn(0);
    rig.Programmer(0, {.silent = true});
    RequestProgramTag(rig.data, kFrame);
    rig.Tick();
    rig.clock.local.hour += 1;
    rig.Ticks(50);
    EXPECT_EQ(rig.completions, 0);
    rig.clock.local.hour -= 2;
    rig.TickUntil([&] { return rig.completions > 0; }, 100);
    EXPECT_EQ(rig.completions, 1);
}

TEST(RfCheckState, AnswersWaitInTheQueueAndNoTimeOutIsTaken) {
    LinkRig rig;
    auto dev = rig.Programmer(0);
    rig.ConnectOn(0);
    AnswerWith(*dev, {});
    rig.clock.Advance(kCheckInterval + 1);
    rig.Tick();
    ASSERT_EQ(rig.State().operationState, kOpStatusCheck);
    ProgrammerState s = rig.State();
    s.operationState = kOpRfCheck;
    SetProgrammerState(rig.data, s);
    dev->Send("#40\r\n#09\r\n");
    rig.Ticks(300);
    EXPECT_EQ(GetMessageCount(rig.data), 2); // read and queued, not handled
    EXPECT_EQ(rig.State().on, 1);
    EXPECT_EQ(rig.State().operationState, kOpRfCheck);
    s = rig.State();
    s.operationState = kOpStatusCheck;
    SetProgrammerState(rig.data, s);
    rig.Tick();
    EXPECT_EQ(GetMessageCount(rig.data), 0);
    EXPECT_STREQ(rig.State().lastError, "09 Locked Tag");
}

TEST(Completion, SeesTheStoredResultAndAnIdleState) {
    LinkRig rig;
    rig.ConnectOn(0);
    std::vector<uint8_t> states;
    rig.data.serial.programmerCompletion = [&] {
        states.push_back(GetProgrammerState(rig.data).operationState);
        // The handler may start the next request at once.
        if (states.size() == 1) EXPECT_TRUE(RequestReadTag(rig.data));
    };
    RequestProgramTag(rig.data, kFrame);
    rig.Tick(); // the fake programmer answers at once
    EXPECT_EQ(states, (std::vector<uint8_t>{kOpIdle}));
    rig.Tick();
    EXPECT_EQ(states.size(), 2u);
    EXPECT_EQ(rig.State().operationResult, kResultReadOk);
}

TEST(Unplug, MidExchangeFailsOnceAndTheDeviceIsFoundAgainWhenItReturns) {
    LinkRig rig;
    auto dev = rig.Programmer(0);
    rig.ConnectOn(0);
    // The cable is pulled right after the echo.
    dev->onWrite = [](FakeDevice& d, const std::string& cmd) {
        d.Send(cmd.substr(0, cmd.size() - 1) + "\r\n");
        d.present = false;
    };
    RequestProgramTag(rig.data, kFrame);
    rig.Ticks(2); // the echo is read, then the next read fails
    rig.Ticks(1);
    EXPECT_FALSE(dev->open);
    EXPECT_EQ(dev->failedReads, 1);
    rig.TickUntil([&] { return rig.completions > 0; }, 200);
    EXPECT_EQ(rig.completionResults, (std::vector<uint8_t>{kResultProgramFailed}));
    EXPECT_STREQ(rig.State().lastError, "WatchDog Timer Expired");

    // Reconnection finds the port gone: the empty-search boxes, no retry.
    rig.Tick();
    EXPECT_STREQ(rig.Status(0).statusText, "This port is not active.");
    EXPECT_TRUE(rig.BoxShown("Do you want to retry the connection?"));
    EXPECT_EQ(dev->failedReads, 1);

    // Plugged back in: the next round, 20 s later, finds it.
    dev->present = true;
    AnswerLikeProgrammer(*dev, {});
    const int ticks = rig.TickUntil([&] { return rig.State().on == 1; }, 400);
    EXPECT_GT(ticks, 0);
    EXPECT_LE(ticks, 220);
    EXPECT_EQ(rig.State().port, 0);
    int errorLines = 0;
    for (const auto& l : rig.LoggedLines()) errorLines += l.find(" E-- ") != std::string::npos;
    EXPECT_EQ(errorLines, 1);
}

TEST(Unplug, AStatusCheckResentAfterADeviceErrorReopensThePort) {
    LinkRig rig;
    auto dev = rig.Programmer(0);
    rig.ConnectOn(0);
    dev->failNextRead = true;
    rig.clock.Advance(kCheckInterval + 1);
    // The device is still there: the port is opened again and the check
    // ends well.
    rig.TickUntil([&] { return rig.State().operationState == kOpIdle; }, 400);
    EXPECT_EQ(rig.State().on, 1);
    EXPECT_STREQ(rig.State().lastError, "00 Operation Successful");
    EXPECT_EQ(dev->opens, 2);
}

} // namespace
} // namespace velmora::test
