// "Search for Reader", "Read Reader Parameters" without an assigned port, the
// end of a search with its boxes, retry question and calls back into the
// completion handler, and "Reader Port Assignment".
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

const char* const kNotFound =
    "A portable reader could not be found.  Please check that it is connected to the computer and that "
    "it is in the \"Host Transfer/Host Initiated\" mode.";
const char* const kRetry = "Do you want to retry the connection?";

void WaitingTag(ReaderRig& rig) {
    ProgrammerState s = rig.State();
    s.operationResult = 2;
    SetProgrammerState(rig.data, s);
}

TEST(ReaderSearch, NeverOpensTheProgrammersPort) {
    ReaderRig rig;
    auto programmer = rig.Device(0);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    CommStatusData st = rig.Status(0);
    SetText(st.statusText, "Model AP4118 Ver 1.07");
    UpdateCommStatusData(rig.data, 0, st);
    rig.Reader(2);

    SearchForReader(rig.data);
    EXPECT_EQ(rig.Link(0).reader.probeRequested, 0);
    EXPECT_EQ(rig.Link(0).endNotification, -1);
    for (int p = 1; p < 4; ++p) {
        EXPECT_EQ(rig.Link(p).reader.probeRequested, 1);
        EXPECT_EQ(rig.Link(p).endNotification, kEndNotifyReaderSearch);
        EXPECT_EQ(rig.Link(p).reader.searchStatus, kReaderSearching);
    }
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    EXPECT_EQ(programmer->opens, 1);
    EXPECT_TRUE(programmer->written.empty());
    EXPECT_EQ(rig.Link(0).deviceKind, kDeviceProgrammer);
    EXPECT_EQ(std::string(rig.Status(0).statusText), "Model AP4118 Ver 1.07");
    EXPECT_EQ(rig.data.GetSettings().readerPort, 2);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Link(p).endNotification, -1);
}

TEST(ReaderSearch, ParameterReadWithoutPortProbesAllFour) {
    ReaderRig rig;
    auto programmer = rig.Device(1);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    auto reader = rig.Reader(3);

    ReadReaderParameters(rig.data);
    EXPECT_EQ(rig.ui.messages.back(),
              "The system is searching for the portable reader.  This will take about 5 seconds.");
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Link(p).endNotification, kEndNotifyReaderParameters);
    // The search ends, assigns the port and reads the parameters from it.
    ASSERT_GT(rig.TickUntil([&] { return !rig.ui.shown.empty(); }, 300), 0);
    EXPECT_EQ(std::string(rig.Status(1).statusText), "This port is not active.");
    EXPECT_EQ(programmer->opens, 1);
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceProgrammer);
    EXPECT_TRUE(rig.BoxShown("A portable reader was found on the COM4 port."));
    EXPECT_EQ(rig.data.GetSettings().readerPort, 3);
    EXPECT_EQ(rig.handled, (std::vector<int>{kNotifyReaderSearchEnd, kEndNotifyReaderParameters}));
    EXPECT_EQ(rig.ui.shown[0].port, 3);
    EXPECT_EQ(std::count(reader->written.begin(), reader->written.end(), Frame("FSP")), 2);
    EXPECT_EQ(rig.data.serial.readerBusy, 0);
}

TEST(ReaderSearch, NoneFoundAnsweredNoCompletesTheWaitingTag) {
    ReaderRig rig;
    rig.AssignReader(2);
    WaitingTag(rig);
    SearchForReader(rig.data);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 50);
    EXPECT_TRUE(rig.BoxShown(kNotFound));
    EXPECT_EQ(rig.op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(rig.op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(rig.programmerUi.connectionStatusShown, 1) << "the connection status dialog";
    ASSERT_EQ(rig.op.boxes.size(), 2u);
    EXPECT_EQ(rig.op.boxes[1].text, kRetry);
    EXPECT_EQ(rig.op.boxes[1].caption, "Velmora for Windows");
    EXPECT_EQ(rig.op.boxes[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(rig.Status(2).readerHere, 1) << "the assigned port is shown as the reader's";
    EXPECT_EQ(rig.data.serial.reader.parameters.port, -1);
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{2});
    EXPECT_FALSE(rig.ui.messageOpen);
}

TEST(ReaderSearch, NoneFoundAnsweredYesSearchesAgain) {
    ReaderRig rig;
    WaitingTag(rig);
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    SearchForReader(rig.data);
    rig.TickUntil([&] { return rig.handled.size() >= 2; }, 100);
    EXPECT_EQ(rig.BoxCount(kNotFound), 2);
    EXPECT_EQ(rig.BoxCount(kRetry), 2);
    EXPECT_EQ(rig.completions, 1) << "only after the retry was declined";
    EXPECT_EQ(rig.ui.messages.size(), 2u);
}

TEST(ReaderSearch, ParameterSearchRetriedAsAParameterRead) {
    ReaderRig rig;
    rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    ReadReaderParameters(rig.data);
    rig.TickUntil([&] { return rig.handled.size() >= 2; }, 100);
    ASSERT_EQ(rig.ui.messages.size(), 2u);
    EXPECT_EQ(rig.ui.messages[1],
              "The system is searching for the portable reader.  This will take about 5 seconds.");
}

TEST(ReaderSearch, OneFoundCompletesTheWaitingTag) {
    ReaderRig rig;
    rig.Reader(1);
    WaitingTag(rig);
    SearchForReader(rig.data);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 100);
    EXPECT_EQ(rig.op.boxes.size(), 1u);
    EXPECT_EQ(rig.op.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{2});
    EXPECT_TRUE(rig.ui.shown.empty()) << "a plain search reads no parameters";
}

TEST(ReaderSearch, MoreThanOneFoundAsksNothingAndCompletes) {
    ReaderRig rig;
    rig.Reader(0);
    rig.Reader(1);
    rig.AssignReader(3);
    WaitingTag(rig);
    ReadReaderParameters(rig.data); // assigned: reads port 3 only
    rig.TickUntil([&] { return !rig.handled.empty(); }, 100);
    EXPECT_TRUE(rig.BoxShown("The portable reader is not responding.  Please check the connection."));

    rig.handled.clear();
    SearchForReader(rig.data);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 100);
    EXPECT_EQ(rig.BoxCount(kRetry), 0);
    EXPECT_EQ(rig.completions, 1);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 3);
}

TEST(ReaderSearch, EndOfSearchLeavesAProgrammerSearchsNotificationsAlone) {
    ReaderRig rig;
    rig.Reader(2);
    SearchForReader(rig.data);
    // A programmer search begins meanwhile on port 0.
    CommLinkData r = rig.Link(0);
    r.endNotification = 6;
    UpdateCommLinkData(rig.data, 0, r);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 100);
    EXPECT_EQ(rig.Link(0).endNotification, 6);
    for (int p = 1; p < 4; ++p) EXPECT_EQ(rig.Link(p).endNotification, -1);
}

TEST(ReaderSearch, SearchStillKnowsItsPurposeWhenThePortsWereCleared) {
    ReaderRig rig;
    rig.Reader(2);
    ReadReaderParameters(rig.data);
    for (int p = 0; p < 4; ++p) {
        CommLinkData r = rig.Link(p);
        r.endNotification = -1; // as the end of a programmer search leaves them
        UpdateCommLinkData(rig.data, p, r);
    }
    ASSERT_GT(rig.TickUntil([&] { return !rig.ui.shown.empty(); }, 200), 0);
}

TEST(ReaderPortAssignment, ChoicesAndPreselection) {
    ReaderRig rig;
    EXPECT_EQ(ReaderPortChoices(),
              (std::vector<std::string>{"-none-", "Comm Port 1", "Comm Port 2", "Comm Port 3", "Comm Port 4"}));
    EXPECT_EQ(ReaderPortChoiceIndex(rig.data), 0);
    rig.AssignReader(2);
    EXPECT_EQ(ReaderPortChoiceIndex(rig.data), 3);
    rig.AssignReader(7); // a damaged value means none
    EXPECT_EQ(AssignedReaderPort(rig.data), -1);
}

TEST(ReaderPortAssignment, OkSetsTheFlagsThePortAndResumesTheCheck) {
    ReaderRig rig;
    for (int p = 0; p < 4; ++p) {
        CommStatusData st = rig.Status(p);
        st.readerHere = 1;
        UpdateCommStatusData(rig.data, p, st);
    }
    AssignReaderPort(rig.data, 1);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Status(p).readerHere, p == 1 ? 1 : 0);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 1);
    EXPECT_EQ(rig.completions, 0);

    WaitingTag(rig);
    AssignReaderPort(rig.data, -1);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 255);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Status(p).readerHere, 0);
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{2});
}

TEST(ReaderNotifications, OnlyTheReadersCodesAreHandled) {
    ReaderRig rig;
    EXPECT_FALSE(HandleReaderNotification(rig.data, 5));
    EXPECT_FALSE(HandleReaderNotification(rig.data, 6));
    EXPECT_TRUE(HandleReaderNotification(rig.data, kEndNotifyReaderSearch));
    EXPECT_TRUE(rig.op.boxes.empty());
}

} // namespace
} // namespace velmora::test
