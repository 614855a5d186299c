// StepReaderLink path by path with the fake clock and ports: probes and their
// resends, the parameter read, acknowledgements, NAK and resent answers, the
// RF reading (no time-out, cancellation, a port that will not open) and the
// reader-busy flag.
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

// Tick times (in ms of 100 ms ticks) at which the device received an FSP.
struct SendTimes {
    std::vector<int> ms;
};

void RecordFsps(FakeDevice& dev, SendTimes& times, int& tick) {
    auto inner = dev.onWrite;
    dev.onWrite = [&times, &tick, inner](FakeDevice& d, const std::string& bytes) {
        if (bytes == Frame("FSP")) times.ms.push_back(tick * 100);
        if (inner) inner(d, bytes);
    };
}

class ReaderStep : public ::testing::Test {
protected:
    ReaderRig rig;
};

// ---- probes -----------------------------------------------------------------------------

TEST_F(ReaderStep, SilentPortIsProbedThreeTimesTwoSecondsApart) {
    auto dev = rig.Reader(1, ReaderScript{.silent = true});
    SendTimes times;
    RecordFsps(*dev, times, rig.ticks);
    SearchForReader(rig.data);
    EXPECT_EQ(rig.data.serial.readerBusy, 1);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);

    ASSERT_EQ(times.ms.size(), 3u);
    for (std::size_t i = 1; i < times.ms.size(); ++i) {
        const int gap = times.ms[i] - times.ms[i - 1];
        EXPECT_GT(gap, 2000) << "send " << i + 1 << " came before the 2 s wait was over";
        EXPECT_LE(gap, 3000) << "send " << i + 1 << " came late";
    }
    EXPECT_EQ(std::string(rig.Status(1).statusText), "Portable reader was not found on this port");
    EXPECT_EQ(rig.Status(1).readerHere, 0);
    EXPECT_EQ(rig.Link(1).reader.searchStatus, kReaderNotFound);
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceNone);
    EXPECT_EQ(dev->closes, 1);
    EXPECT_EQ(rig.data.serial.readerBusy, 0);
    EXPECT_EQ(rig.handled, std::vector<int>{kNotifyReaderSearchEnd});
    // Ports without a device show the system's refusal as "not active".
    EXPECT_EQ(std::string(rig.Status(0).statusText), "This port is not active.");
    EXPECT_EQ(rig.Link(0).reader.searchStatus, kReaderNotFound);
}

TEST_F(ReaderStep, SearchMessageCountsThePortsFound) {
    rig.Reader(0);
    rig.Reader(3, ReaderScript{.answerFrom = 3});
    SearchForReader(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    // The second reader ends the search: the count is shown while ports
    // are still being searched.
    EXPECT_EQ(rig.ui.messages,
              (std::vector<std::string>{
                  "The system is searching for the portable reader.  This will take about 10 seconds.",
                  "A portable reader has been found on 1 communication port(s)"}));
    EXPECT_FALSE(rig.ui.messageOpen);
    EXPECT_TRUE(rig.BoxShown("More than one portable reader was found connected to the computer.  Please "
                             "disconnect all but one portable reader."));
    EXPECT_EQ(rig.data.GetSettings().readerPort, 255) << "no port is assigned with two readers";
}

TEST_F(ReaderStep, ProbeWaitsForTheReadersOwnExchangeOnThePort) {
    rig.Reader(1);
    rig.AssignReader(1);
    CommLinkData r = rig.Link(1);
    r.reader.rfReadRequested = 1;
    UpdateCommLinkData(rig.data, 1, r);
    rig.Tick();
    ASSERT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading);
    SearchForReader(rig.data);
    rig.Ticks(50);
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading) << "the RF wait was not taken over";
    EXPECT_EQ(rig.Link(1).reader.probeRequested, 1);
    CancelRfReading(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 200), 0);
    EXPECT_EQ(rig.Status(1).readerHere, 1);
}

// ---- parameter read ---------------------------------------------------------------------

TEST_F(ReaderStep, ParameterReadSendsThreeTimesFiveSecondsApartThenNotResponding) {
    auto dev = rig.Reader(0, ReaderScript{.silent = true});
    SendTimes times;
    RecordFsps(*dev, times, rig.ticks);
    rig.AssignReader(0);
    ReadReaderParameters(rig.data);
    ASSERT_GT(rig.TickUntil([&] { return !rig.handled.empty(); }, 400), 0);
    ASSERT_EQ(times.ms.size(), 3u);
    for (std::size_t i = 1; i < times.ms.size(); ++i) {
        EXPECT_GT(times.ms[i] - times.ms[i - 1], 5000);
        EXPECT_LE(times.ms[i] - times.ms[i - 1], 6000);
    }
    EXPECT_TRUE(rig.BoxShown("The portable reader is not responding.  Please check the connection."));
    EXPECT_EQ(rig.op.LastBox()->caption, "Velmora Error");
    EXPECT_TRUE(rig.ui.shown.empty());
    EXPECT_EQ(rig.data.serial.readerBusy, 0);
    EXPECT_EQ(dev->closes, 1);
}

TEST_F(ReaderStep, ParameterReadOnAPortThatWillNotOpen) {
    rig.AssignReader(2); // no device there
    ReadReaderParameters(rig.data);
    rig.Tick();
    EXPECT_EQ(rig.handled, std::vector<int>{kEndNotifyReaderParameters});
    EXPECT_TRUE(rig.BoxShown("The portable reader is not responding.  Please check the connection."));
    EXPECT_EQ(rig.Link(2).reader.pendingCommand, -1);
    EXPECT_EQ(rig.Link(2).endNotification, -1);
}

TEST_F(ReaderStep, UnknownPendingCommandIsRefusedAndAnUnfinishedReadShowsTheDialog) {
    // An unknown pending command is refused with the trap, like a port that
    // will not open.
    rig.Reader(0);
    CommLinkData r = rig.Link(0);
    r.reader.pendingCommand = 57;
    r.endNotification = kEndNotifyReaderParameters;
    UpdateCommLinkData(rig.data, 0, r);
    rig.Tick();
    ASSERT_FALSE(rig.op.boxes.empty());
    EXPECT_EQ(rig.op.boxes[0].caption, "Internal Error Trap");
    EXPECT_TRUE(rig.BoxShown("The portable reader is not responding.  Please check the connection."));
    // wParam 2 (replies began) shows the parameters as they stand.
    ReaderParametersEnded(rig.data, kEndUnfinished);
    EXPECT_EQ(rig.ui.shown.size(), 1u);
}

// ---- RF reading -----------------------------------------------------------------------------

class RfStep : public ReaderStep {
protected:
    void SetUp() override {
        ProgramRfRailcar(rig.data);
        ProgrammerState st = rig.State();
        st.operationState = kOpRfCheck;
        st.operationResult = 2;
        SetProgrammerState(rig.data, st);
        dev = rig.Device(1);
        rig.AssignReader(1);
        CommLinkData r = rig.Link(1);
        r.reader.rfReadRequested = 1;
        UpdateCommLinkData(rig.data, 1, r);
    }
    std::shared_ptr<FakeDevice> dev;
};

TEST_F(RfStep, PortOpensWithoutACommandAndTheWaitHasNoTimeOut) {
    rig.Tick();
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceReader);
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading);
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 0);
    EXPECT_TRUE(dev->written.empty());
    EXPECT_TRUE(rig.ui.rfOpen);
    EXPECT_EQ(rig.ui.rfTexts,
              std::vector<std::string>{
                  "You should now verify the information programmed into the tag with the portable AEI reader."});
    rig.Ticks(3000); // five minutes
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading);
    EXPECT_EQ(rig.completions, 0);
    EXPECT_EQ(dev->opens, 1);
    EXPECT_TRUE(dev->written.empty());
}

TEST_F(RfStep, CancellationGivesResult20AndClosesThePort) {
    rig.Tick();
    rig.Ticks(30);
    ASSERT_TRUE(CancelRfReading(rig.data));
    rig.Tick();
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{20});
    EXPECT_EQ(dev->closes, 1);
    EXPECT_FALSE(dev->open);
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceNone);
    EXPECT_EQ(rig.Link(1).reader.rfReadCancelled, 0);
    EXPECT_FALSE(rig.ui.rfOpen);
    EXPECT_FALSE(CancelRfReading(rig.data)) << "nothing left to cancel";
}

TEST_F(RfStep, PortThatWillNotOpenIsTriedEveryTickAndCanBeCancelled) {
    dev->busy = true;
    rig.Ticks(5);
    EXPECT_EQ(dev->failedOpens, 5);
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 1);
    EXPECT_TRUE(rig.ui.rfOpen) << "the window with its Cancel button is offered meanwhile";
    EXPECT_EQ(rig.ui.rfTexts.size(), 1u);
    ASSERT_TRUE(CancelRfReading(rig.data));
    rig.Tick();
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{20});
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 0);
    EXPECT_FALSE(rig.ui.rfOpen);
    rig.Ticks(5);
    EXPECT_EQ(dev->failedOpens, 5);
}

TEST_F(RfStep, ThePortFreesUpAndTheReadingGoesOn) {
    dev->busy = true;
    rig.Ticks(3);
    dev->busy = false;
    rig.Tick();
    EXPECT_EQ(rig.Link(1).awaitedResponse, kReaderTagReading);
    EXPECT_EQ(rig.ui.rfTexts.size(), 2u) << "the window is opened anew with the port";
    dev->Send("ABCD 123456\r\n");
    rig.Ticks(2);
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{22});
}

TEST_F(RfStep, ProgrammersPortIsNeverTakenForTheReading) {
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    rig.Ticks(5);
    EXPECT_EQ(dev->opens, 1) << "only the programmer's own open";
    EXPECT_EQ(rig.Link(1).deviceKind, kDeviceProgrammer);
    EXPECT_EQ(rig.Link(1).reader.rfReadRequested, 1);
}

TEST_F(RfStep, UnpluggedReaderIsWaitedForUntilCancelled) {
    rig.Tick();
    dev->present = false;
    rig.Ticks(100);
    EXPECT_EQ(rig.completions, 0);
    CancelRfReading(rig.data);
    rig.Tick();
    EXPECT_EQ(rig.completionResults, std::vector<uint8_t>{20});
}

} // namespace
} // namespace velmora::test
