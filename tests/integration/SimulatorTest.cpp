// The simulators as test equipment: one smoke test each (help, a refused
// argument, the port answering, a clean stop), and the reader simulator's own
// decoding held against the program's on frames worked out by hand. The
// exchanges themselves are the recordings (SimReplayTest).
#include "ProgrammerSimHarness.h"
#include "ReaderSimProcess.h"
#include "SimProcess.h"
#include "TestSupport.h"

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora::test {
namespace {

TEST(ProgrammerSim, SmokeTest) {
    if (!SimProcess::Available()) GTEST_SKIP() << "velmora-programmer-sim not built";
    TempDir dir;
    const CommandResult help = RunProgram(ProgrammerSimBinary(), "--help", dir.path().string());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("velmora-programmer-sim [options]"), std::string::npos) << help.out;
    EXPECT_NE(RunProgram(ProgrammerSimBinary(), "--no-such-option", dir.path().string()).exitCode, 0);

    ProgrammerSimProcess sim({"--link", dir.File("com1"), "--tag-file", dir.File("tag.txt")}, dir.File("err"));
    ASSERT_FALSE(sim.NextDevicePath().empty()) << ReadTextFile(dir.File("err"));
    SimSerialPort port;
    ASSERT_TRUE(port.Open(dir.File("com1")));
    const std::string answer = "#30\r\n#Model AP4118 Ver 1.07\r\n";
    EXPECT_EQ(Visible(port.Transact("#30\r", answer.size())), Visible(answer));
    port.Close();
    const int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(PathExists(dir.File("com1")));
}

TEST(ReaderSim, SmokeTest) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    TempDir dir;
    const CommandResult help = RunProgram(ReaderSimBinary(), "--help", dir.path().string());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("velmora-reader-sim [options]"), std::string::npos) << help.out;
    EXPECT_NE(RunProgram(ReaderSimBinary(), "--no-such-option", dir.path().string()).exitCode, 0);

    ReaderSimProcess sim({"--date", "03/14/26", "--time", "09:26:53"});
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    SimSerialPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    const std::string answer = "\x02" "ACK\x03\x02SSPVELMORA103/14/26 09:26:530950700600501.6\x03";
    EXPECT_EQ(Visible(port.Transact("\x02" "FSP\x03", answer.size())), Visible(answer));
    port.Close();
    const int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(PathExists(sim.Link()));
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

TEST(ReaderSimDecoding, AgreesWithTheProgramOnFramesWorkedOutByHand) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    ReaderSimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    SimSerialPort port;
    ASSERT_TRUE(port.Open(sim.Link()));
    ASSERT_TRUE(sim.WaitForLog("the port was opened"));
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    for (const GoldenFrame& g : kGolden) {
        std::ofstream(sim.TagFile()) << g.frame << "\n";
        ASSERT_TRUE(sim.Control("read"));
        const std::string line = std::string(g.reading) + "\r\n";
        EXPECT_EQ(Visible(port.ReadCount(line.size())), Visible(line)) << g.frame;

        const DecodedFrame d = DecodeTagFrame(data, g.frame, false, kRegionNorthAmerica, false);
        ASSERT_TRUE(d.identified) << g.frame;
        for (std::size_t row = 0; row < g.texts.size(); ++row)
            EXPECT_EQ(d.texts[row], g.texts[row]) << g.frame << " row " << row;
    }
}

} // namespace
} // namespace velmora::test
