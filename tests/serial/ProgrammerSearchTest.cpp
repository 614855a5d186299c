// The programmer search, the known-port check, reconnection and the
// operator's search command, tick by tick on fake ports and a fake clock.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::test {
namespace {

int Count(const std::vector<std::string>& v, const std::string& s) {
    return static_cast<int>(std::count(v.begin(), v.end(), s));
}

TEST(ProgrammerSearch, FindsTheProgrammerOnTheSecondTickAndReportsIt) {
    LinkRig rig;
    rig.Programmer(2);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpSearch);
    EXPECT_EQ(rig.State().searchStarted, 1);
    EXPECT_TRUE(rig.Prompted("Searching all ports for a programmer"));
    ASSERT_FALSE(rig.ui.searchMessages.empty());
    EXPECT_EQ(rig.ui.searchMessages[0],
              "The system is searching for the programmer.  This will take about 60 seconds.");
    for (int p : {0, 1, 3}) {
        EXPECT_STREQ(rig.Status(p).statusText, "This port is not active.");
        EXPECT_EQ(rig.Link(p).programmerSearchStatus, kProgrammerNotFound);
    }
    EXPECT_EQ(rig.Device(2)->LastWrite(), "#30\r");

    rig.Tick();
    const ProgrammerState s = rig.State();
    EXPECT_EQ(s.port, 2);
    EXPECT_EQ(s.operationState, kOpIdle);
    EXPECT_STREQ(rig.Status(2).statusText, "Model AP4118 Ver 1.07");
    EXPECT_EQ(rig.Status(2).programmerHere, 1);
    EXPECT_EQ(rig.Link(2).programmerSearchStatus, kProgrammerFound);
    EXPECT_TRUE(rig.Prompted("AP4118 programmer was found on Comm Port 3"));
    EXPECT_TRUE(rig.BoxShown("A programmer was found on the COM3 port."));
    EXPECT_EQ(rig.op.LastPrompt(), "A programmer was found on the COM3 port.");
    EXPECT_FALSE(rig.ui.searchOpen);
    EXPECT_EQ(rig.connectionStatusPosted, 1);
    for (int p = 0; p < kCommPorts; ++p) EXPECT_EQ(rig.Link(p).endNotification, -1);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is ON Comm 3");
}

TEST(ProgrammerSearch, ProgressMessageCountsPortsFoundWhileOthersAreStillSearched) {
    LinkRig rig;
    rig.Programmer(0);
    rig.Programmer(1, {.silent = true});
    rig.Ticks(2);
    EXPECT_EQ(rig.ui.searchMessages.back(),
              "A programmer reader has been found on 1 communication port(s)");
    EXPECT_EQ(rig.State().operationState, kOpSearch); // still searching port 2
    EXPECT_EQ(rig.State().on, 1);
}

TEST(ProgrammerSearch, NothingAnswersForAboutSixtySecondsThenTheRetryQuestion) {
    LinkRig rig;
    for (int p = 0; p < kCommPorts; ++p) rig.Programmer(p, {.silent = true});
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    const uint32_t start = rig.clock.seconds;
    const int ticks = rig.TickUntil([&] { return rig.ui.connectionStatusShown > 0; }, 2000);
    ASSERT_GT(ticks, 0);
    const uint32_t took = rig.clock.seconds - start;
    EXPECT_GE(took, 60u);
    EXPECT_LE(took, 64u);
    for (int p = 0; p < kCommPorts; ++p) {
        EXPECT_EQ(Count(rig.Device(p)->written, "#30\r"), 3) << p;
        EXPECT_STREQ(rig.Status(p).statusText, "Programmer was not found on this port");
        EXPECT_FALSE(rig.Device(p)->open);
    }
    EXPECT_TRUE(rig.Prompted(
        "A programmer was not found.  Turn on the programmer and check the cable connection"));
    EXPECT_EQ(rig.op.prompts.back().second, 1);
    ASSERT_EQ(rig.op.boxes.size(), 2u);
    EXPECT_EQ(rig.op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(rig.op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(rig.op.boxes[0].text, "A programmer could not be found.  Please check that it is "
                                    "turned on and connected to the computer.");
    EXPECT_EQ(rig.op.boxes[1].caption, "Velmora for Windows");
    EXPECT_EQ(rig.op.boxes[1].text, "Do you want to retry the connection?");
    EXPECT_EQ(rig.op.boxes[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(rig.State().operationState, kOpIdle);

    // Yes: a new search on the next tick.
    EXPECT_EQ(rig.State().searchRequested, 1);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpSearch);
    EXPECT_EQ(Count(rig.Device(0)->written, "#30\r"), 4);
}

TEST(ProgrammerSearch, AnsweringNoEndsTheAutomaticSearchForThisRun) {
    LinkRig rig;
    rig.Ticks(1); // no device anywhere: every port is inactive at once
    ASSERT_TRUE(rig.BoxShown("Do you want to retry the connection?"));
    EXPECT_EQ(rig.ui.connectionStatusShown, 1);
    rig.Ticks(400);
    EXPECT_EQ(rig.op.boxes.size(), 2u);
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.State().port, -1);
}

TEST(ProgrammerSearch, TwoProgrammersGiveTheErrorBoxAndTheLastOneKeepsThePort) {
    LinkRig rig;
    rig.Programmer(0);
    rig.Programmer(3);
    rig.Ticks(2);
    EXPECT_TRUE(rig.BoxShown("More than one programmer reader was found connected to the "
                             "computer.  Please disconnect all but one programmer reader."));
    EXPECT_FALSE(rig.BoxShown("Do you want to retry the connection?"));
    EXPECT_EQ(rig.connectionStatusPosted, 0);
    EXPECT_EQ(rig.ui.connectionStatusShown, 0);
    EXPECT_EQ(rig.State().port, 3);
}

TEST(ProgrammerSearch, ModelSwitchRebuildsTheFormatsOnceAndNotForTheSameModel) {
    LinkRig rig;
    SettingsBlock st = rig.data.GetSettings();
    st.currentFormat = 3;
    rig.data.UpdateSettings(st);
    ASSERT_FALSE(rig.data.HalfFrameMode());
    rig.Programmer(0, {.modelLine = "#Model AP4112 Ver 2.00"});
    rig.Ticks(2); // the switch itself is the half-frame recordings'
    EXPECT_EQ(rig.data.GetSettings().currentFormat, 0);
    EXPECT_TRUE(rig.data.HalfFrameMode());

    // The same model found again (a manual search): no second rebuild.
    SearchForProgrammer(rig.data);
    rig.Ticks(2);
    EXPECT_EQ(Count(rig.Device(0)->written, "#30\r"), 2);
    EXPECT_EQ(rig.ui.tagWindowReplaced, 1);
    EXPECT_EQ(rig.data.GetSettings().programmerModel, 1);

    // Back to a full-frame model: rebuilt again.
    rig.Programmer(0, {.modelLine = "#Model AP4110 Ver 2.00"});
    SearchForProgrammer(rig.data);
    rig.Ticks(2);
    EXPECT_EQ(rig.data.GetSettings().programmerModel, 0);
    EXPECT_FALSE(rig.data.HalfFrameMode());
    EXPECT_EQ(rig.ui.tagWindowReplaced, 2);
}

TEST(ProgrammerCheck, KnownPortIsProbedAndTheStatusBarFollows) {
    LinkRig rig;
    ProgrammerState s = rig.State();
    s.port = 1;
    SetProgrammerState(rig.data, s);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is OFF Comm 2");
    rig.Programmer(1);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpCheckPort);
    EXPECT_TRUE(rig.Prompted("Checking Comm Port 2 for a programmer"));
    EXPECT_TRUE(rig.ui.searchMessages.empty());
    EXPECT_EQ(rig.factory.Find("fake1"), nullptr); // other ports left alone
    rig.Tick();
    EXPECT_EQ(rig.State().on, 1);
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is ON Comm 2");
    EXPECT_TRUE(rig.op.boxes.empty());
    EXPECT_EQ(rig.State().nextCheck, rig.clock.seconds + kCheckInterval);
}

TEST(ProgrammerCheck, StatusBarTextOnlyWhenPortOrOnChanges) {
    LinkRig rig;
    const std::size_t before = rig.ui.statusTexts.size();
    ProgrammerState s = rig.State();
    SetText(s.lastError, "x");
    SetProgrammerState(rig.data, s);
    EXPECT_EQ(rig.ui.statusTexts.size(), before);
    s.on = 1;
    SetProgrammerState(rig.data, s);
    EXPECT_EQ(rig.ui.statusTexts.back(), "Programmer is ON No Comm");
    EXPECT_EQ(ProgrammerStatusText(rig.State()), "Programmer is ON No Comm");
}

TEST(ProgrammerCheck, SilentKnownPortGivesTheBlinkingPromptAndIsProbedAgain) {
    LinkRig rig;
    ProgrammerState s = rig.State();
    s.port = 0;
    SetProgrammerState(rig.data, s);
    auto dev = rig.Programmer(0, {.silent = true});
    const int ticks = rig.TickUntil([&] { return rig.State().operationState == kOpIdle; });
    ASSERT_GT(ticks, 590);
    EXPECT_LT(ticks, 650);
    EXPECT_EQ(rig.op.prompts.back(),
              (std::pair<std::string, int>{"A programmer was not found on Comm Port 1.  Turn on "
                                           "programmer and check the cable connection",
                                           1}));
    EXPECT_FALSE(dev->open);
    EXPECT_TRUE(rig.op.boxes.empty());
    EXPECT_EQ(Count(dev->written, "#30\r"), 3);
    // The next round starts on the next tick, without the first-check prompt.
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpCheckPort);
    EXPECT_EQ(Count(dev->written, "#30\r"), 4);
    EXPECT_EQ(std::count_if(rig.op.prompts.begin(), rig.op.prompts.end(),
                            [](auto& p) { return p.first == "Checking Comm Port 1 for a programmer"; }),
              1);
}

TEST(ProgrammerCheck, KnownPortThatCannotBeOpenedEndsLikeAnEmptySearchWithoutRetry) {
    LinkRig rig;
    ProgrammerState s = rig.State();
    s.port = 0;
    SetText(s.model, "AP4118");
    SetProgrammerState(rig.data, s);
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    rig.Tick();
    EXPECT_STREQ(rig.Status(0).statusText, "This port is not active.");
    EXPECT_TRUE(rig.BoxShown("Do you want to retry the connection?"));
    EXPECT_STREQ(rig.State().model, "");
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.State().searchRequested, 0); // no search notification was pending
}

TEST(SearchCommand, DuringAStatusCheckCancelsItAndSearchesOnTheNextTick) {
    LinkRig rig;
    rig.ConnectOn(0, {.silent = false});
    rig.Programmer(0, {.silent = true});
    rig.clock.Advance(kCheckInterval + 1);
    rig.Tick();
    ASSERT_EQ(rig.State().operationState, kOpStatusCheck);
    SearchForProgrammer(rig.data);
    EXPECT_EQ(rig.State().operationState, kOpIdle);
    EXPECT_EQ(rig.State().searchRequested, 1);
    rig.Programmer(0);
    rig.Tick();
    EXPECT_EQ(rig.State().operationState, kOpSearch);
    EXPECT_EQ(rig.Link(0).awaitedResponse, kAwaitModel);
    EXPECT_EQ(rig.Device(0)->written.back(), "#30\r");
    rig.Tick();
    EXPECT_TRUE(rig.BoxShown("A programmer was found on the COM1 port."));
}

TEST(SearchCommand, RefusedWhileProgrammingOrReading) {
    LinkRig rig;
    rig.ConnectOn(0);
    ASSERT_TRUE(RequestProgramTag(rig.data, "0123456789ABCDEF0123456789ABCD"));
    SearchForProgrammer(rig.data);
    EXPECT_TRUE(rig.BoxShown("We can not search for programmer while programming or reading a tag"));
    EXPECT_EQ(rig.op.LastBox()->caption, "Velmora Error");
    EXPECT_EQ(rig.State().searchRequested, 0);
    EXPECT_EQ(rig.State().operationState, kOpProgram);
}

TEST(ModelAndVersionCommand, RefusedWhileTheProgrammerIsOff) {
    LinkRig rig;
    EXPECT_FALSE(CheckProgrammerOn(rig.data));
    EXPECT_TRUE(rig.BoxShown("The programmer is not on.  Please turn on or check the cable connection."));
    rig.ConnectOn(0);
    EXPECT_TRUE(CheckProgrammerOn(rig.data));
}

} // namespace
} // namespace velmora::test
