// The programmer link against velmora-programmer-sim on a real
// pseudo-terminal through PosixCommPort. The link runs on a fake clock that
// moves 100 ms per tick while each tick waits 25 ms of real time, so the
// link's waits pass four times faster than the simulator's own timing.
#include "SimProcess.h"
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "posix/PosixCommPort.h"
#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace velmora::test {
namespace {

const std::string kRailcar = "9A0181C000AA981900000000000033";

class CountingUi : public ProgrammerLinkUi {
public:
    int replaced = 0;
    void ReplaceTagWindow() override { ++replaced; }
};

class SimRig {
public:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    PosixCommPortFactory factory;
    CommLog log{data};
    SimProcess sim;
    SerialPorts ports;
    CountingUi ui;
    int completions = 0;
    int milliseconds = 0;

    explicit SimRig(std::vector<std::string> simArgs = {})
        : sim(std::move(simArgs)), ports(factory, log, SinglePortMap(0, sim.Link())) {
        SettingsBlock s = data.GetSettings();
        s.logFileOn = 0;
        data.UpdateSettings(s);
        data.serial.programmerUi = &ui;
        data.serial.programmerCompletion = [this] { ++completions; };
        ClearProgrammerRunState(data);
        ResetCommStatus(data, ports);
    }

    void Tick() {
        milliseconds += 100;
        if (milliseconds >= 1000) {
            milliseconds -= 1000;
            clock.Advance(1);
        }
        const std::size_t before = op.notifications.size();
        StepProgrammerLink(data, ports);
        for (std::size_t i = before; i < op.notifications.size(); ++i)
            if (op.notifications[i] == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
    template <class Pred>
    bool TickUntil(Pred pred, int limit = 1500) {
        for (int i = 0; i < limit; ++i) {
            Tick();
            if (pred()) return true;
        }
        return false;
    }

    ProgrammerState State() { return GetProgrammerState(data); }

    bool Connect() {
        SearchForProgrammer(data);
        return TickUntil([this] { return State().on == 1 && State().operationState == kOpIdle; }, 200);
    }
    uint8_t Program(const std::string& frame) {
        const int before = completions;
        if (!RequestProgramTag(data, frame)) return 0;
        if (!TickUntil([&] { return completions > before; })) return 0;
        return State().operationResult;
    }
    uint8_t Read() {
        const int before = completions;
        if (!RequestReadTag(data)) return 0;
        if (!TickUntil([&] { return completions > before; })) return 0;
        return State().operationResult;
    }
    std::string StatusCheck() {
        ProgrammerState s = State();
        s.nextCheck = 0;
        SetProgrammerState(data, s);
        bool running = false;
        TickUntil([&] {
            if (State().operationState == kOpStatusCheck) running = true;
            return running && State().operationState == kOpIdle;
        });
        return std::string(GetText(State().lastError));
    }
    bool Logged(const std::string& tail) const {
        for (const auto& l : log.RecentTraffic())
            if (l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0)
                return true;
        return false;
    }
    int LoggedCount(const std::string& part) const {
        int n = 0;
        for (const auto& l : log.RecentTraffic()) n += l.find(part) != std::string::npos;
        return n;
    }
};

#define REQUIRE_SIM(rig)                                                                   \
    if (!SimProcess::Available()) GTEST_SKIP() << "velmora-programmer-sim not built"; \
    ASSERT_TRUE((rig).sim.Running()) << (rig).sim.ErrorOutput()

TEST(ProgrammerLinkSim, SearchFindsTheSimulatorWithItsModelAndVersion) {
    SimRig rig({"--version", "4.2"});
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.State().port, 0);
    EXPECT_STREQ(rig.State().model, "AP4118");
    EXPECT_STREQ(rig.State().version, "4.2");
    EXPECT_STREQ(GetCommStatusData(rig.data, 0).statusText, "Model AP4118 Ver 4.2");
    EXPECT_STREQ(GetCommStatusData(rig.data, 1).statusText, "This port is not active.");
    EXPECT_TRUE(rig.Logged("C(1) programmer T-- #30"));
    EXPECT_TRUE(rig.Logged("C(1) programmer R-- #Model AP4118 Ver 4.2"));
    EXPECT_TRUE(std::any_of(rig.op.boxes.begin(), rig.op.boxes.end(), [](const ShownBox& b) {
        return b.text == "A programmer was found on the COM1 port.";
    }));
}

TEST(ProgrammerLinkSim, ModelSwitchRebuildsTheFormatsAndUsesTheHalfFrameCommands) {
    SimRig rig({"--model", "AP4112"});
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.data.HalfFrameMode());
    EXPECT_EQ(rig.ui.replaced, 1);
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    EXPECT_TRUE(rig.Logged("T-- #204" + kRailcar));
    EXPECT_EQ(rig.Read(), kResultReadOk);
    EXPECT_TRUE(rig.Logged("T-- #214"));
    EXPECT_EQ(std::string(rig.State().response), "#" + kRailcar.substr(0, 15));

    ASSERT_TRUE(rig.sim.Control("model AP4118"));
    ASSERT_TRUE(rig.Connect());
    EXPECT_FALSE(rig.data.HalfFrameMode());
    EXPECT_EQ(rig.ui.replaced, 2);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.ui.replaced, 2); // the same model again: no rebuild
}

TEST(ProgrammerLinkSim, StatusChecksReportTheCodesText) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.StatusCheck(), "00 Operation Successful");
    ASSERT_TRUE(rig.sim.Control("status 0A"));
    EXPECT_EQ(rig.StatusCheck(), "0A No Frame Marker");
    ASSERT_TRUE(rig.sim.Control("status 05"));
    EXPECT_EQ(rig.StatusCheck(), "#05 Unknown");
    EXPECT_EQ(rig.State().on, 1);
    EXPECT_TRUE(rig.Logged("T-- #40"));
    EXPECT_TRUE(rig.Logged("R-- #05"));
}

TEST(ProgrammerLinkSim, ProgramThenReadBackTheSameTag) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    // The simulator answers "#Done" right after the echo.
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    EXPECT_EQ(rig.sim.Tag(), kRailcar);
    EXPECT_TRUE(rig.Logged("C(1) programmer T-- #201" + kRailcar));
    EXPECT_TRUE(rig.Logged("C(1) programmer R-- #201" + kRailcar));
    EXPECT_TRUE(rig.Logged("C(1) programmer R-- #Done"));
    EXPECT_EQ(rig.Read(), kResultReadOk);
    const std::string response(GetText(rig.State().response));
    ASSERT_EQ(response, "#" + kRailcar);
    const DecodedFrame d = DecodeTagFrame(rig.data, response.substr(1), false,
                                          rig.data.MarketRegion(), true);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(rig.data.GetTagFormatData(d.formatIndex).Name(), "Railcar");
}

TEST(ProgrammerLinkSim, DataLineBeforeDoneAndNoTagError) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.sim.Control("progdata on"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    ASSERT_TRUE(rig.sim.Control("progdata off; notag on"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramFailed);
    EXPECT_EQ(rig.Read(), kResultReadFailed);
    EXPECT_EQ(rig.State().on, 1); // "#Error" is an answer: the programmer is still there
}

TEST(ProgrammerLinkSim, SingleBytesGarbageAndSlowAnswersStillComplete) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.sim.Control("split 3"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    EXPECT_EQ(rig.Read(), kResultReadOk);
    ASSERT_TRUE(rig.sim.Control("split off; garbage on"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    EXPECT_EQ(rig.StatusCheck(), "00 Operation Successful");
    ASSERT_TRUE(rig.sim.Control("garbage off; slow 400"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
}

TEST(ProgrammerLinkSim, AnswersCrossingTheEndOfTheReceiveRing) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.sim.Control("split 2"));
    int wrapped = 0;
    for (int i = 0; i < 12; ++i) {
        const int before = GetCommLinkData(rig.data, 0).ringWrite;
        ASSERT_EQ(rig.Program(kRailcar), kResultProgramOk) << i;
        const int after = GetCommLinkData(rig.data, 0).ringWrite;
        wrapped += after < before;
    }
    EXPECT_GE(wrapped, 2);
}

TEST(ProgrammerLinkSim, SilenceEndsInWatchDogAfterTheEightSecondWait) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.sim.Control("silent on"));
    const uint32_t start = rig.clock.seconds;
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramFailed);
    EXPECT_LE(rig.clock.seconds - start, kExchangeWait + 2);
    EXPECT_STREQ(rig.State().lastError, "WatchDog Timer Expired");
    EXPECT_EQ(rig.State().on, 0);
    // Speaking again: the reconnection finds it on the next probe.
    ASSERT_TRUE(rig.sim.Control("silent off"));
    EXPECT_TRUE(rig.TickUntil([&] { return rig.State().on == 1; }, 100));
}

// Sound behaviour: the closed pseudo-terminal closes the port at once and
// is logged once; the link's time-out ends the exchange and its probes find
// the device when it is plugged back in.
TEST(ProgrammerLinkSim, UnplugMidExchangeAndReconnection) {
    SimRig rig;
    REQUIRE_SIM(rig);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.sim.Control("unplug next"));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramFailed);
    EXPECT_STREQ(rig.State().lastError, "WatchDog Timer Expired");
    EXPECT_TRUE(rig.Logged("R-- #201" + kRailcar)); // the echo came before the cable went
    EXPECT_FALSE(rig.ports.IsOpen(0));
    EXPECT_EQ(rig.LoggedCount(" E-- port closed after a device error"), 1);
    ASSERT_TRUE(rig.sim.WaitForLink(false));

    // While unplugged the port check cannot open the device.
    rig.TickUntil([&] { return rig.State().operationState == kOpCheckPort; }, 50);
    rig.Ticks(3);
    EXPECT_STREQ(GetCommStatusData(rig.data, 0).statusText, "This port is not active.");

    ASSERT_TRUE(rig.sim.Control("plug"));
    ASSERT_TRUE(rig.sim.WaitForLink(true));
    EXPECT_TRUE(rig.TickUntil([&] { return rig.State().on == 1; }, 400));
    EXPECT_EQ(rig.Program(kRailcar), kResultProgramOk);
    EXPECT_EQ(rig.LoggedCount(" E-- port closed after a device error"), 1);
}

} // namespace
} // namespace velmora::test
