// The programmer link tick by tick on fake ports and a fake clock: what the
// recorded exchanges cannot hold (waits tick by tick, clock jumps, several
// ports at once, the operator's answers and refusals).
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

const std::string kFrame = "0123456789ABCDEF0123456789ABCD";
const char* const kRetry = "Do you want to retry the connection?";

long Count(const std::vector<std::string>& v, const std::string& s) { return std::count(v.begin(), v.end(), s); }

void KnownPort(LinkRig& rig, int port) {
    ProgrammerState s = rig.State();
    s.port = port;
    SetProgrammerState(rig.data, s);
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
    rig.ConnectOn(0);
    auto dev = rig.Programmer(0, {.silent = true});
    const uint32_t due = rig.State().nextCheck; // 30 s after the probe
    EXPECT_EQ(due, rig.clock.seconds + 30);
    rig.TickUntil([&] { return rig.clock.seconds > due; });
    EXPECT_EQ(dev->written.back(), "#40\r");
    const uint32_t sent = rig.clock.seconds;
    ASSERT_GT(rig.TickUntil([&] { return rig.State().on == 0; }), 0);
    // Waits of 2, 15 and 15 s, each ending one second after its deadline.
    EXPECT_EQ(rig.clock.seconds - sent, 2u + 1 + 15 + 1 + 15 + 1);
    EXPECT_EQ(Count(dev->written, "#40\r"), 3);
    EXPECT_EQ(rig.completions, 0); // a status check calls no completion
    EXPECT_TRUE(dev->open);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is OFF Comm 1");
    rig.Tick(); // the known port is probed again on the next tick
    EXPECT_EQ(rig.State().operationState, kOpCheckPort);
    EXPECT_EQ(dev->written.back(), "#30\r");
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

TEST(Requests, RefusedWhileTheProgrammerIsOffOrBusy) {
    LinkRig rig;
    EXPECT_FALSE(RequestProgramTag(rig.data, kFrame));
    EXPECT_FALSE(RequestReadTag(rig.data));
    EXPECT_FALSE(CheckProgrammerOn(rig.data));
    EXPECT_TRUE(rig.BoxShown("The programmer is not on.  Please turn on or check the cable connection."));
    rig.ConnectOn(0);
    EXPECT_TRUE(CheckProgrammerOn(rig.data));
    ASSERT_TRUE(RequestProgramTag(rig.data, kFrame));
    EXPECT_FALSE(RequestProgramTag(rig.data, kFrame));
    EXPECT_FALSE(RequestReadTag(rig.data));
    SearchForProgrammer(rig.data);
    EXPECT_TRUE(rig.BoxShown("We can not search for programmer while programming or reading a tag"));
    EXPECT_EQ(rig.op.LastBox()->caption, "Velmora Error");
    EXPECT_EQ(rig.State().searchRequested, 0);
    EXPECT_EQ(rig.State().operationState, kOpProgram);
}

// The completion sees the stored result and an idle link, and may start the
// next request at once.
TEST(Completion, SeesTheResultAndAnIdleLink) {
    LinkRig rig;
    rig.ConnectOn(0);
    std::vector<uint8_t> states;
    rig.data.serial.programmerCompletion = [&] {
        states.push_back(GetProgrammerState(rig.data).operationState);
        if (states.size() == 1) EXPECT_TRUE(RequestReadTag(rig.data));
    };
    RequestProgramTag(rig.data, kFrame);
    rig.Ticks(2);
    EXPECT_EQ(states, (std::vector<uint8_t>{kOpIdle, kOpIdle}));
    EXPECT_EQ(rig.State().operationResult, kResultReadOk);
}

TEST(RfCheckState, AnswersWaitInTheQueueAndNoTimeOutIsTaken) {
    LinkRig rig;
    rig.ConnectOn(0);
    auto dev = rig.Programmer(0, {.silent = true});
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
    s = rig.State();
    s.operationState = kOpStatusCheck;
    SetProgrammerState(rig.data, s);
    rig.Tick();
    EXPECT_EQ(GetMessageCount(rig.data), 0);
    EXPECT_STREQ(rig.State().lastError, "09 Locked Tag");
}

TEST(ProgrammerSearch, ProgressCountsPortsFoundWhileOthersAreStillSearched) {
    LinkRig rig;
    rig.Programmer(0);
    rig.Programmer(1, {.silent = true});
    rig.Ticks(2);
    EXPECT_EQ(rig.ui.searchMessages.back(), "A programmer reader has been found on 1 communication port(s)");
    EXPECT_EQ(rig.State().operationState, kOpSearch);
}

// The search's time-out and texts are the silent search recording's.
TEST(ProgrammerSearch, NothingAnswersOnAnyPortThenYesSearchesAgain) {
    LinkRig rig;
    for (int p = 0; p < kCommPorts; ++p) rig.Programmer(p, {.silent = true});
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    ASSERT_GT(rig.TickUntil([&] { return rig.ui.connectionStatusShown > 0; }), 0);
    for (int p = 0; p < kCommPorts; ++p) EXPECT_EQ(Count(rig.Device(p)->written, "#30\r"), 3) << p;
    EXPECT_EQ(rig.op.prompts.back().second, 1);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpSearch);
    EXPECT_EQ(Count(rig.Device(0)->written, "#30\r"), 4);
}

TEST(ProgrammerSearch, AnsweringNoEndsTheAutomaticSearchForThisRun) {
    LinkRig rig;
    rig.Tick(); // no device anywhere: every port is inactive at once
    ASSERT_TRUE(rig.BoxShown(kRetry));
    rig.Ticks(400);
    EXPECT_EQ(rig.op.boxes.size(), 2u);
    EXPECT_EQ(rig.State().port, -1);
}

TEST(ProgrammerSearch, TwoProgrammersGiveTheErrorBoxAndTheLastOneKeepsThePort) {
    LinkRig rig;
    rig.Programmer(0);
    rig.Programmer(3);
    rig.Ticks(2);
    EXPECT_TRUE(rig.BoxShown("More than one programmer reader was found connected to the "
                             "computer.  Please disconnect all but one programmer reader."));
    EXPECT_FALSE(rig.BoxShown(kRetry));
    EXPECT_EQ(rig.connectionStatusPosted, 0);
    EXPECT_EQ(rig.State().port, 3);
}

TEST(ProgrammerCheck, StatusBarTextOnlyWhenPortOrOnChanges) {
    LinkRig rig;
    KnownPort(rig, 1);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is OFF Comm 2");
    const std::size_t before = rig.ui.statusTexts.size();
    ProgrammerState s = rig.State();
    SetText(s.lastError, "x");
    SetProgrammerState(rig.data, s);
    EXPECT_EQ(rig.ui.statusTexts.size(), before);
    s.on = 1;
    s.port = -1;
    SetProgrammerState(rig.data, s);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is ON No Comm");
}

// The check's time-out and texts are the silent check recording's.
TEST(ProgrammerCheck, SilentKnownPortBlinksItsPromptAndIsProbedAgainAtOnce) {
    LinkRig rig;
    KnownPort(rig, 0);
    auto dev = rig.Programmer(0, {.silent = true});
    ASSERT_GT(rig.TickUntil([&] { return rig.State().operationState == kOpIdle; }), 0);
    EXPECT_EQ(rig.op.prompts.back().second, 1);
    EXPECT_TRUE(rig.op.boxes.empty());
    rig.Tick(); // the next round, without the first check's prompt
    EXPECT_EQ(Count(dev->written, "#30\r"), 4);
    EXPECT_EQ(std::count_if(rig.op.prompts.begin(), rig.op.prompts.end(),
                            [](auto& p) { return p.first == "Checking Comm Port 1 for a programmer"; }),
              1);
}

TEST(ProgrammerCheck, KnownPortThatCannotBeOpenedEndsLikeAnEmptySearchWithoutRetry) {
    LinkRig rig;
    KnownPort(rig, 0);
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    rig.Tick();
    EXPECT_STREQ(rig.Status(0).statusText, "This port is not active.");
    EXPECT_TRUE(rig.BoxShown(kRetry));
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.State().searchRequested, 0); // no search notification was pending
}

} // namespace
} // namespace velmora::test
