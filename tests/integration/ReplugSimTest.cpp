// velmora-tool against the simulators on pseudo-terminals with the cable
// pulled during an exchange and plugged back: the port is opened again and
// the device that came back is found, read, or its RF reading judged.
#include "SimProcess.h"

#include "serial/ReaderProtocol.h"

#include <chrono>
#include <future>
#include <thread>

namespace velmora::test {
namespace {

// Runs the tool in the background.
std::future<CommandResult> StartTool(ToolRig& rig, const Args& args) {
    return std::async(std::launch::async, [&rig, args] { return rig.Tool(args); });
}

using ReplugSim = ToolOnSim<SimProcess>;

TEST_F(ReplugSim, ProgrammerSearchFindsTheProgrammerPulledDuringTheProbeAndBackAfterThreeSeconds) {
    ASSERT_TRUE(sim->Control("unplug next 3"));
    const CommandResult r = StartTool(*this, Args{"programmer", "search"} + Port()).get();
    EXPECT_TRUE(r.exitCode == 0 && r.out.find("Model=AP4118") != std::string::npos) << r.out << r.err;
    EXPECT_NE(CommLog().find(" E-- "), std::string::npos) << CommLog();
}

using ReaderReplug = ReaderToolRig;

TEST_F(ReaderReplug, ParameterReadGetsTheParametersFromTheReaderPulledAfterTheFirstFsp) {
    ASSERT_TRUE(sim->Control("silent on"));
    auto tool = StartTool(*this, Args{"reader", "params"} + Port());
    ASSERT_TRUE(sim->WaitForLog("the port was opened"));
    ASSERT_TRUE(sim->Control("unplug 3; silent off"));
    const CommandResult r = tool.get();
    EXPECT_TRUE(r.exitCode == 0 && r.out.find("User ID=TOOL01") != std::string::npos) << r.out << r.err;
}

TEST_F(ReaderReplug, RfCheckJudgesTheReadingSentAfterTheReaderWasPluggedBack) {
    auto tool = StartTool(*this, Args{"reader", "rfcheck"} + Port() + kRailcarArgs);
    ASSERT_TRUE(sim->WaitForLog("the port was opened"));
    ASSERT_TRUE(sim->Control("unplug"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // the tool finds the port gone
    ASSERT_TRUE(sim->Control("plug; read"));
    const CommandResult r = tool.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Frame=" + kRailcar + "\nReading=ABCD 42,19,R,152,4,1,0\nResult=agrees\n");
    EXPECT_NE(r.err.find(kRfReaderDisconnectedText), std::string::npos) << r.err;
}

} // namespace
} // namespace velmora::test
