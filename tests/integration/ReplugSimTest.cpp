// velmora-tool against the simulators on pseudo-terminals with the cable
// pulled during an exchange and plugged back: the port is opened again and
// the device that came back is found, read, or its RF reading judged.
#include "ReaderSimProcess.h"
#include "SimProcess.h"
#include "TestSupport.h"

#include "serial/ReaderProtocol.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

namespace velmora::test {
namespace {

const std::vector<std::string> kRailcarArgs = {
    "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42", "Side Indicator Code=RIGHT",
    "Length=50-0", "Number of Axles=4", "Bearing Type Code=1", "Platform Identifier Code=0"};

// Runs the tool in the background (killed after a minute at most).
std::future<CommandResult> StartTool(const std::string& dir, const std::vector<std::string>& args) {
    std::string line = "60 " + ShellQuote(BuiltProgram("velmora-tool"));
    for (const auto& a : args) line += " " + ShellQuote(a);
    return std::async(std::launch::async, [dir, line] { return RunProgram("timeout", line, dir); });
}

bool Tools() { return !BuiltProgram("velmora-tool").empty(); }

TEST(ReplugSim, ProgrammerSearchFindsTheProgrammerPulledDuringTheProbeAndBackAfterThreeSeconds) {
    if (!SimProcess::Available() || !Tools()) GTEST_SKIP() << "velmora-programmer-sim or velmora-tool not built";
    SimProcess sim;
    ASSERT_TRUE(sim.Running()) << sim.ErrorOutput();
    ASSERT_TRUE(sim.Control("unplug next 3"));
    TempDir dir;
    const CommandResult r =
        StartTool(dir.path().string(), {"programmer", "search", "--port", sim.Link()}).get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Model=AP4118"), std::string::npos) << r.out;
    const std::string log = ReadFileText(dir.File("communication log.txt"));
    EXPECT_NE(log.find(" E-- "), std::string::npos) << log;
}

class ReaderReplug : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ReaderSimProcess::Available() || !Tools()) GTEST_SKIP() << "velmora-reader-sim or velmora-tool not built";
        sim = std::make_unique<ReaderSimProcess>(
            std::vector<std::string>{"--date", "03/14/26", "--time", "09:26:53", "--user-id", "TOOL01"});
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
        std::ofstream(sim->TagFile()) << "9A0181C000AA981900000000000033\n";
    }
    std::unique_ptr<ReaderSimProcess> sim;
    TempDir dir;
};

TEST_F(ReaderReplug, ParameterReadGetsTheParametersFromTheReaderPulledAfterTheFirstFsp) {
    ASSERT_TRUE(sim->Control("silent on"));
    auto tool = StartTool(dir.path().string(), {"reader", "params", "--port", sim->Link()});
    ASSERT_TRUE(sim->WaitForLog("the port was opened"));
    ASSERT_TRUE(sim->Control("unplug 3; silent off"));
    const CommandResult r = tool.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("User ID=TOOL01"), std::string::npos) << r.out;
}

TEST_F(ReaderReplug, RfCheckJudgesTheReadingSentAfterTheReaderWasPluggedBack) {
    std::vector<std::string> args = {"reader", "rfcheck", "--port", sim->Link()};
    args.insert(args.end(), kRailcarArgs.begin(), kRailcarArgs.end());
    auto tool = StartTool(dir.path().string(), args);
    ASSERT_TRUE(sim->WaitForLog("the port was opened"));
    ASSERT_TRUE(sim->Control("unplug"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // the tool finds the port gone
    ASSERT_TRUE(sim->Control("plug; read"));
    const CommandResult r = tool.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Frame=9A0181C000AA981900000000000033\nReading=ABCD 42,19,R,152,4,1,0\nResult=agrees\n");
    EXPECT_NE(r.err.find(kRfReaderDisconnectedText), std::string::npos) << r.err;
}

} // namespace
} // namespace velmora::test
