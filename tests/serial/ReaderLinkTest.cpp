// The reader link tick by tick on fake ports and a fake clock: what the
// recorded exchanges cannot hold (the waits between sends, several ports at
// once, the ends of a search with their boxes and retry question, the RF
// reading's wait and its cancellation) and "Reader Port Assignment".
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

const char* const kNotFound =
    "A portable reader could not be found.  Please check that it is connected to the computer and that "
    "it is in the \"Host Transfer/Host Initiated\" mode.";
const char* const kNotResponding = "The portable reader is not responding.  Please check the connection.";
const char* const kRetry = "Do you want to retry the connection?";

void WaitingTag(ReaderRig& rig) {
    ProgrammerState s = rig.State();
    s.operationResult = 2;
    SetProgrammerState(rig.data, s);
}

void RequestRf(ReaderRig& rig, int port) {
    rig.AssignReader(port);
    CommLinkData r = rig.Link(port);
    r.reader.rfReadRequested = 1;
    UpdateCommLinkData(rig.data, port, r);
}

// A search probes each port three times 2 s apart, a parameter read sends
// three times 5 s apart; the waits run out before the next send.
TEST(ReaderWaits, SilentReaderIsAskedThreeTimesOneWaitApart) {
    for (const bool search : {true, false}) {
        ReaderRig rig;
        auto dev = rig.Device(1);
        std::vector<int> sentAt;
        dev->onWrite = [&](FakeDevice&, const std::string&) { sentAt.push_back(rig.ticks * 100); };
        if (search) SearchForReader(rig.data);
        else {
            rig.AssignReader(1);
            ReadReaderParameters(rig.data);
        }
        ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 400), 0);
        const int wait = search ? 2000 : 5000;
        ASSERT_EQ(sentAt.size(), 3u);
        for (std::size_t i = 1; i < sentAt.size(); ++i) {
            EXPECT_GT(sentAt[i] - sentAt[i - 1], wait) << search;
            EXPECT_LE(sentAt[i] - sentAt[i - 1], wait + 1000) << search;
        }
        EXPECT_EQ(dev->closes, 1);
        if (search) EXPECT_STREQ(rig.Status(0).statusText, "This port is not active.");
    }
}

TEST(ReaderSearch, MessageCountsThePortsFoundAndTwoReadersAssignNone) {
    ReaderRig rig;
    rig.Reader(0);
    rig.Reader(3, 3);
    SearchForReader(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    EXPECT_EQ(rig.ui.messages,
              (std::vector<std::string>{
                  "The system is searching for the portable reader.  This will take about 10 seconds.",
                  "A portable reader has been found on 1 communication port(s)"}));
    EXPECT_FALSE(rig.ui.messageOpen);
    EXPECT_TRUE(rig.BoxShown("More than one portable reader was found connected to the computer.  Please "
                             "disconnect all but one portable reader."));
    EXPECT_EQ(rig.data.GetSettings().readerPort, 255);
}

TEST(ReaderSearch, ProbeWaitsForTheReadersOwnExchangeOnThePort) {
    ReaderRig rig;
    rig.Reader(1);
    RequestRf(rig, 1);
    rig.Tick();
    SearchForReader(rig.data);
    rig.Ticks(50);
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading) << "the RF wait was not taken over";
    EXPECT_EQ(rig.Link(1).reader.probeRequested, 1);
    CancelRfReading(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    EXPECT_EQ(rig.Status(1).readerHere, 1);
}

TEST(ReaderSearch, NeverOpensTheProgrammersPort) {
    ReaderRig rig;
    auto programmer = rig.Device(0);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    rig.Reader(2);
    SearchForReader(rig.data);
    EXPECT_EQ(rig.Link(0).reader.probeRequested, 0);
    EXPECT_EQ(rig.Link(0).endNotification, -1);
    for (int p = 1; p < 4; ++p) EXPECT_EQ(rig.Link(p).endNotification, kEndNotifyReaderSearch);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    EXPECT_EQ(programmer->opens, 1);
    EXPECT_TRUE(programmer->written.empty());
    EXPECT_EQ(rig.Link(0).deviceKind, kDeviceProgrammer);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 2);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Link(p).endNotification, -1);
}

// The texts and the waiting tag's completion are the recording's.
TEST(ReaderSearch, NoneFoundBoxesAndTheAssignedPortShownAsTheReaders) {
    ReaderRig rig;
    rig.AssignReader(2);
    SearchForReader(rig.data);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 50);
    ASSERT_EQ(rig.op.boxes.size(), 2u);
    EXPECT_EQ(rig.op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(rig.op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(rig.op.boxes[1].caption, "Velmora for Windows");
    EXPECT_EQ(rig.op.boxes[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(rig.Status(2).readerHere, 1);
    EXPECT_FALSE(rig.ui.messageOpen);
}

// Yes searches again, a parameter search as a parameter read.
TEST(ReaderSearch, NoneFoundAnsweredYesSearchesAgain) {
    for (const bool params : {false, true}) {
        ReaderRig rig;
        WaitingTag(rig);
        rig.op.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
        if (params) ReadReaderParameters(rig.data);
        else SearchForReader(rig.data);
        rig.TickUntil([&] { return rig.handled.size() >= 2; }, 100);
        EXPECT_EQ(rig.BoxCount(kNotFound), 2);
        EXPECT_EQ(rig.BoxCount(kRetry), 2);
        EXPECT_EQ(rig.completions, 1) << "only after the retry was declined";
        ASSERT_EQ(rig.ui.messages.size(), 2u);
        EXPECT_EQ(rig.ui.messages[1], params ? "The system is searching for the portable reader.  This will take "
                                               "about 5 seconds."
                                             : rig.ui.messages[0]);
    }
}

TEST(ReaderSearch, MoreThanOneFoundAsksNothingAndCompletes) {
    ReaderRig rig;
    rig.Reader(0);
    rig.Reader(1);
    rig.AssignReader(3);
    WaitingTag(rig);
    SearchForReader(rig.data);
    rig.TickUntil([&] { return !rig.handled.empty(); }, 100);
    EXPECT_EQ(rig.BoxCount(kRetry), 0);
    EXPECT_EQ(rig.completions, 1);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 3);
}

TEST(ReaderSearch, EndLeavesAProgrammerSearchsNotificationsAlone) {
    ReaderRig rig;
    rig.Reader(2);
    SearchForReader(rig.data);
    CommLinkData r = rig.Link(0); // a programmer search begins meanwhile on port 0
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

TEST(ReaderParameters, APortThatWillNotOpenOrAnUnknownCommandEndsNotResponding) {
    ReaderRig rig;
    rig.AssignReader(2); // no device there
    ReadReaderParameters(rig.data);
    rig.Tick();
    EXPECT_EQ(rig.handled, std::vector<int>{kEndNotifyReaderParameters});
    EXPECT_TRUE(rig.BoxShown(kNotResponding));
    EXPECT_EQ(rig.Link(2).reader.pendingCommand, -1);
    EXPECT_EQ(rig.Link(2).endNotification, -1);

    ReaderRig other;
    other.Reader(0);
    CommLinkData r = other.Link(0);
    r.reader.pendingCommand = 57;
    r.endNotification = kEndNotifyReaderParameters;
    UpdateCommLinkData(other.data, 0, r);
    other.Tick();
    ASSERT_FALSE(other.op.boxes.empty());
    EXPECT_EQ(other.op.boxes[0].caption, "Internal Error Trap");
    EXPECT_TRUE(other.BoxShown(kNotResponding));
    // Replies had begun: the parameters are shown as they stand.
    ReaderParametersEnded(other.data, kEndUnfinished);
    EXPECT_EQ(other.ui.shown.size(), 1u);
}

TEST(RfReading, PortOpensWithoutACommandAndTheWaitHasNoTimeOut) {
    ReaderRig rig;
    auto dev = rig.Device(1);
    RequestRf(rig, 1);
    rig.Tick();
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceReader);
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 0);
    EXPECT_EQ(rig.ui.rfTexts, std::vector<std::string>{kRfReadStatusText});
    rig.Ticks(3000); // five minutes
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading);
    EXPECT_EQ(rig.completions, 0);
    EXPECT_EQ(dev->opens, 1);
    EXPECT_TRUE(dev->written.empty());
}

TEST(RfReading, PortThatWillNotOpenIsTriedEveryTickAndCanBeCancelled) {
    ReaderRig rig;
    auto dev = rig.Device(1);
    dev->busy = true;
    RequestRf(rig, 1);
    rig.Ticks(5);
    EXPECT_EQ(dev->failedOpens, 5);
    EXPECT_TRUE(rig.ui.rfOpen) << "the window with its Cancel button is offered meanwhile";
    ASSERT_TRUE(CancelRfReading(rig.data));
    rig.Tick();
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{20});
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 0);
    EXPECT_EQ(rig.Link(1).reader.rfReadCancelled, 0);
    EXPECT_FALSE(rig.ui.rfOpen);
    EXPECT_FALSE(CancelRfReading(rig.data)) << "nothing left to cancel";
    rig.Ticks(5);
    EXPECT_EQ(dev->failedOpens, 5);
}

TEST(RfReading, ProgrammersPortIsNeverTakenForTheReading) {
    ReaderRig rig;
    auto dev = rig.Device(1);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    RequestRf(rig, 1);
    rig.Ticks(5);
    EXPECT_EQ(dev->opens, 1) << "only the programmer's own open";
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceProgrammer);
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 1);
}

TEST(ReaderPortAssignment, ChoicesPreselectionAndOk) {
    ReaderRig rig;
    EXPECT_EQ(ReaderPortChoices(),
              (std::vector<std::string>{"-none-", "Comm Port 1", "Comm Port 2", "Comm Port 3", "Comm Port 4"}));
    EXPECT_EQ(ReaderPortChoiceIndex(rig.data), 0);
    rig.AssignReader(2);
    EXPECT_EQ(ReaderPortChoiceIndex(rig.data), 3);
    rig.AssignReader(7); // a damaged value means none
    EXPECT_EQ(AssignedReaderPort(rig.data), -1);
    for (int p = 0; p < 4; ++p) {
        CommStatusData st = rig.Status(p);
        st.readerHere = 1;
        UpdateCommStatusData(rig.data, p, st);
    }
    AssignReaderPort(rig.data, 1);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Status(p).readerHere, p == 1 ? 1 : 0);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 1);
    EXPECT_EQ(rig.completions, 0);
    WaitingTag(rig); // the check waiting for a port resumes
    AssignReaderPort(rig.data, -1);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 255);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(rig.Status(p).readerHere, 0);
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{2});
}

// The command line has no windows: a search and a parameter read end
// without one.
TEST(ReaderSearch, EndsWithoutAWindow) {
    ReaderRig rig;
    rig.data.serial.reader.ui = nullptr;
    rig.Reader(2);
    ReadReaderParameters(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return rig.handled.size() >= 2; }, 300), 0);
    EXPECT_EQ(rig.data.GetSettings().readerPort, 2);
    EXPECT_EQ(rig.data.serial.readerBusy, 0);
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
