// The recorded exchanges again, this time the device side played by the
// simulators on a pseudo-terminal through PosixCommPort: the link runs the same
// actions and must reach the same recorded outcome. The link's fake clock
// moves 100 ms per tick while each tick waits 25 ms of real time.
#include "ReaderSimProcess.h"
#include "Replay.h"
#include "SimProcess.h"

#include "posix/PosixCommPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

void RealTime() { std::this_thread::sleep_for(std::chrono::milliseconds(25)); }

class ProgrammerSimReplay : public ::testing::TestWithParam<fs::path> {};
class ReaderSimReplay : public ::testing::TestWithParam<fs::path> {};

TEST_P(ProgrammerSimReplay, SimulatorGivesTheRecordedOutcome) {
    if (!SimProcess::Available()) GTEST_SKIP() << "velmora-programmer-sim not built";
    const Recording rec = LoadRecording(GetParam(), true);
    SimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    ASSERT_TRUE(sim.Control(rec.sim)) << sim.ErrorOutput();
    PosixCommPortFactory factory;
    LinkRig rig(&factory, SinglePortMap(0, sim.Link()));
    rig.afterTick = RealTime;
    PlayProgrammer(rig, rec);
    if (HasFailure()) ADD_FAILURE() << "simulator:\n" << sim.ErrorOutput();
}

TEST_P(ReaderSimReplay, SimulatorGivesTheRecordedOutcome) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    const Recording rec = LoadRecording(GetParam(), false);
    ReaderSimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    std::ofstream(sim.TagFile()) << kRfRailcarFrame << "\n";
    if (!rec.sim.empty()) ASSERT_TRUE(sim.Control(rec.sim)) << sim.ErrorOutput();
    PosixCommPortFactory factory;
    ReaderRig rig(&factory, SinglePortMap(0, sim.Link()));
    rig.afterTick = RealTime;
    PlayReader(rig, rec, [&] { EXPECT_TRUE(sim.Control(rec.simThen)) << sim.ErrorOutput(); });
    if (HasFailure()) ADD_FAILURE() << "simulator:\n" << sim.ErrorOutput();
}

INSTANTIATE_TEST_SUITE_P(Recordings, ProgrammerSimReplay, ::testing::ValuesIn(RecordingFiles("programmer", true)),
                         RecordingName);
INSTANTIATE_TEST_SUITE_P(Recordings, ReaderSimReplay, ::testing::ValuesIn(RecordingFiles("reader", true)),
                         RecordingName);

} // namespace
} // namespace velmora::test
