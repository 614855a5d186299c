// The simulators as test equipment: one smoke test each; what they answer on
// the port is the recordings'. The reader simulator decodes tags on its own:
// it and the program must agree with frames worked out by hand.
#include "ReaderSimProcess.h"
#include "Replay.h"
#include "SimProcess.h"

#include "data/AEIData.h"
#include "posix/PosixCommPort.h"
#include "tagdata/TagFrame.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <thread>

namespace velmora::test {
namespace {

// Help, a refused option, the port linked, and a clean stop that removes it.
template <class Sim>
void SmokeTest(const std::string& binary) {
    if (!Sim::Available()) GTEST_SKIP() << binary << " not built";
    TempDir dir;
    const CommandResult help = RunProgram(binary, "--help", dir.path().string());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find(binary.substr(binary.rfind('/') + 1) + " [options]"), std::string::npos) << help.out;
    EXPECT_NE(RunProgram(binary, "--no-such-option", dir.path().string()).exitCode, 0);
    Sim sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    const int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(PathExists(sim.Link()));
}

TEST(Simulators, SmokeTest) {
    SmokeTest<SimProcess>(ProgrammerSimBinary());
    SmokeTest<ReaderSimProcess>(ReaderSimBinary());
}

// Frames worked out by hand from the bit layout, the reading the reader shows
// for each, and the field texts the program decodes (rows in format order;
// the railcar's row 4 is the second part of its length).
struct GoldenFrame {
    const char* frame;
    const char* reading;
    std::vector<std::string> texts;
};

const GoldenFrame kGolden[] = {
    {"9A0181C000AA621900000008000033", "ABCD 42,19,R,610,4,1,0", {"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}},
    {"9A0181C78900961900000000000033", "ABCD 123456,19,L,150,4,1,0",
     {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}},
    {"2B8BD3003EBB962900000000000033", "UP   4014,5,R,406,6,1", {"UP  ", "4014", "RIGHT", "406", "6", "1"}},
    {"33A7A500C0E4800000000000000033", "WABC 12345", {"WABC", "12345"}},
};

// What the port brings within a few seconds, up to `count` bytes.
std::string ReadFromPort(CommPort& port, std::size_t count) {
    std::string got;
    uint8_t buf[256];
    for (int i = 0; i < 500 && got.size() < count; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        const CommReadResult r = port.Read(buf, std::min(sizeof buf, count - got.size()));
        if (r.failed) break;
        got.append(reinterpret_cast<const char*>(buf), r.count);
    }
    return got;
}

TEST(ReaderSimDecoding, AgreesWithTheProgramOnFramesWorkedOutByHand) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    ReaderSimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    PosixCommPort port;
    ASSERT_TRUE(port.Open(sim.Link())) << port.ErrorText();
    ASSERT_TRUE(sim.WaitForLog("the port was opened"));
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    for (const GoldenFrame& g : kGolden) {
        std::ofstream(sim.TagFile()) << g.frame << "\n";
        ASSERT_TRUE(sim.Control("read"));
        const std::string line = std::string(g.reading) + "\r\n";
        EXPECT_EQ(ReadFromPort(port, line.size()), line) << g.frame;

        const DecodedFrame d = DecodeTagFrame(data, g.frame, false, kRegionNorthAmerica, false);
        ASSERT_TRUE(d.identified) << g.frame;
        EXPECT_EQ(std::vector<std::string>(d.texts.begin(), d.texts.begin() + g.texts.size()), g.texts) << g.frame;
    }
}

namespace fs = std::filesystem;

// The recorded exchanges again, this time the device side played by the
// simulators on a pseudo-terminal through PosixCommPort: the link runs the same
// actions and must reach the same recorded outcome. The link's fake clock
// moves 100 ms per tick while each tick waits 25 ms of real time.
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
