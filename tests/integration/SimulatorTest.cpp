// The simulators as test equipment: one smoke test each (help, a refused
// argument, the port linked, a clean stop that removes it). What they answer
// on the port is the recordings' (SimReplayTest).
#include "SimProcess.h"

#include <csignal>
#include <sys/wait.h>

namespace velmora::test {
namespace {

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

TEST(ProgrammerSim, SmokeTest) { SmokeTest<SimProcess>(ProgrammerSimBinary()); }

TEST(ReaderSim, SmokeTest) { SmokeTest<ReaderSimProcess>(ReaderSimBinary()); }

} // namespace
} // namespace velmora::test
