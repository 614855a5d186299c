// The faults the simulated programmer shows on request, by start flags and
// by control commands while it runs, and its own start and stop.
#include "ProgrammerSimFixture.h"

#include <chrono>
#include <csignal>
#include <thread>

namespace velmora::test {
namespace {

using namespace std::chrono;
using SteadyClock = std::chrono::steady_clock;

const std::string kProbeAnswer = "#30\r\n#Model AP4118 Ver 1.07\r\n";

long long MsSince(SteadyClock::time_point start) {
    return duration_cast<milliseconds>(SteadyClock::now() - start).count();
}

TEST_F(ProgrammerSimTest, SilentAnswersNothingUntilToldOtherwise) {
    Start({"--silent"});
    ASSERT_TRUE(port.Send("#30\r"));
    EXPECT_EQ(Visible(port.ReadFor(200)), "");
    Control("silent off");
    ExpectAnswer("#30\r", kProbeAnswer);
    Control("silent on");
    ASSERT_TRUE(port.Send(std::string("#201") + kFrame + "\r"));
    EXPECT_EQ(Visible(port.ReadFor(200)), "");
    EXPECT_FALSE(PathExists(TagFile()));
}

TEST_F(ProgrammerSimTest, NoTagFailsProgramAndReadAndKeepsTheFile) {
    Start({"--no-tag"});
    ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Error\r\n");
    EXPECT_FALSE(PathExists(TagFile()));
    Control(std::string("tag ") + kFrame);
    ASSERT_TRUE(WaitUntil([&] { return ReadTextFile(TagFile()) == std::string(kFrame) + "\n"; }));
    ExpectAnswer("#211\r", "#211\r\n#Error\r\n");
    ExpectAnswer("#40\r", "#40\r\n#03\r\n");
    Control("notag off");
    ExpectAnswer("#211\r", std::string("#211\r\n#") + kFrame + "\r\n#Done\r\n");
}

TEST_F(ProgrammerSimTest, TagCommandsPutAndTakeTheTag) {
    Start();
    Control("tag 00000000000000000000000000abcd");
    ASSERT_TRUE(WaitUntil([&] { return PathExists(TagFile()); }));
    ExpectAnswer("#211\r", "#211\r\n#00000000000000000000000000ABCD\r\n#Done\r\n");
    Control("tag clear");
    ASSERT_TRUE(WaitUntil([&] { return !PathExists(TagFile()); }));
    ExpectAnswer("#211\r", "#211\r\n#Error\r\n");
}

TEST_F(ProgrammerSimTest, StatusCodeFromFlagFromControlAndBackToAuto) {
    Start({"--status", "0A"});
    ExpectAnswer("#40\r", "#40\r\n#0A\r\n");
    Control("status 05");
    ExpectAnswer("#40\r", "#40\r\n#05\r\n");
    Control("status 12");  // not a status answer to the link at all
    ExpectAnswer("#40\r", "#40\r\n#12\r\n");
    Control("status auto");
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
}

TEST_F(ProgrammerSimTest, GarbageComesAsALineOfItsOwnBeforeEachAnswer) {
    Start({"--garbage"});
    const std::string junk("\x00\xFF\x7E\x15\x80\x3F\xAA\x1B\r\n", 10);
    ExpectAnswer("#30\r", junk + kProbeAnswer);
    ExpectAnswer("#211\r", junk + "#211\r\n#Error\r\n");
    Control("garbage off");
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, SplitSendsTheAnswerOneByteAtATime) {
    const int gapMs = 40;
    Start({"--split=" + std::to_string(gapMs)});
    const std::string expected = "#40\r\n#00\r\n";
    auto start = SteadyClock::now();
    ASSERT_TRUE(port.Send("#40\r"));
    std::string first = port.ReadCount(1);
    std::string rest = port.ReadCount(expected.size() - 1);
    long long elapsed = MsSince(start);
    EXPECT_EQ(Visible(first + rest), Visible(expected));
    // The bytes are spaced by the simulator, so the answer cannot be quicker.
    EXPECT_GE(elapsed, (static_cast<long long>(expected.size()) - 1) * gapMs - 5);
    Control("split off");
    ExpectAnswer("#40\r", expected);
}

TEST_F(ProgrammerSimTest, SlowHoldsTheAnswerButNotTheEcho) {
    Start({"--slow", "600"});
    auto start = SteadyClock::now();
    ASSERT_TRUE(port.Send("#30\r"));
    EXPECT_EQ(port.ReadCount(5), "#30\r\n");
    EXPECT_EQ(Visible(port.ReadFor(100)), "");
    std::string line = port.ReadCount(kProbeAnswer.size() - 5);
    EXPECT_EQ(Visible(line), Visible(kProbeAnswer.substr(5)));
    EXPECT_GE(MsSince(start), 595);
    Control("slow off");
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, AnswersNobodyReadsDoNotPileUpWithoutEnd) {
    Start({"--split=60000"});
    std::string flood;
    for (int i = 0; i < 800; ++i) flood += "#30\r";
    ASSERT_TRUE(port.Send(flood));
    ASSERT_TRUE(WaitUntil([&] { return Log().find("not answered") != std::string::npos; })) << Log();
    Control("normal");
    Control("quit");
    int status = sim->Stop(0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(ProgrammerSimTest, ModelAndVersionChangeWhileRunning) {
    Start();
    ExpectAnswer("#30\r", kProbeAnswer);
    Control("model AP4112; version 2.00");
    ExpectAnswer("#30\r", "#30\r\n#Model AP4112 Ver 2.00\r\n");
    ExpectAnswer(std::string("#204") + kFrame + "\r", std::string("#204") + kFrame + "\r\n#Done\r\n");
    Control("model XR900");  // an unknown model answers as a full-frame programmer
    ExpectAnswer("#30\r", "#30\r\n#Model XR900 Ver 2.00\r\n");
    ExpectAnswer("#211\r", std::string("#211\r\n#") + kHalf + "000000000000000\r\n#Done\r\n");
}

TEST_F(ProgrammerSimTest, RefusedControlCommandsChangeNothing) {
    Start();
    for (const char* bad : {"silent maybe", "split fast", "slow -5", "status", "model AP 4118", "tag 12345",
                            "unplug soon", "frobnicate"}) {
        Control(bad);
    }
    ExpectAnswer("#30\r", kProbeAnswer);
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
    EXPECT_TRUE(PathExists(LinkPath()));
    EXPECT_NE(Log().find("unknown command \"frobnicate\""), std::string::npos) << Log();
}

TEST_F(ProgrammerSimTest, UnplugRemovesTheDeviceUntilPlugBringsItBack) {
    Start();
    Control("unplug");
    EXPECT_TRUE(port.HungUp(3000));
    ASSERT_TRUE(WaitUntil([&] { return !PathExists(LinkPath()); }));
    EXPECT_FALSE(PathExists(device)) << "the old device node should vanish with the cable";
    port.Close();
    EXPECT_FALSE(port.Open(LinkPath()));
    Control("plug");
    std::string again = sim->NextDevicePath();
    ASSERT_FALSE(again.empty()) << Log();
    ASSERT_TRUE(WaitUntil([&] { return PathExists(LinkPath()); }));
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, UnplugForAWhileComesBackByItself) {
    Start();
    Control("unplug 0.3");
    EXPECT_TRUE(port.HungUp(3000));
    port.Close();
    ASSERT_FALSE(sim->NextDevicePath().empty()) << Log();
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
}

TEST_F(ProgrammerSimTest, UnplugNextCutsTheExchangeAfterTheEcho) {
    Start();
    Control("unplug next 0.2");
    const std::string command = std::string("#201") + kFrame + "\r";
    ASSERT_TRUE(port.Send(command));
    EXPECT_EQ(Visible(port.ReadCount(command.size() + 1)), Visible(command + "\n"));
    EXPECT_TRUE(port.HungUp(3000));
    EXPECT_FALSE(PathExists(TagFile()));
    port.Close();
    ASSERT_FALSE(sim->NextDevicePath().empty()) << Log();
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, StartsUnpluggedAndPlugsInLater) {
    Start({"--unplugged=0.3"}, false);
    EXPECT_FALSE(PathExists(LinkPath()));
    device = sim->NextDevicePath();
    ASSERT_FALSE(device.empty()) << Log();
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, UserSignalOneUnplugsAndPlugsBackIn) {
    Start();
    sim->Signal(SIGUSR1);
    EXPECT_TRUE(port.HungUp(3000));
    port.Close();
    ASSERT_TRUE(WaitUntil([&] { return !PathExists(LinkPath()); }));
    sim->Signal(SIGUSR1);
    ASSERT_FALSE(sim->NextDevicePath().empty()) << Log();
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer("#30\r", kProbeAnswer);
}

TEST_F(ProgrammerSimTest, StoppingRemovesTheLinkAndTheFifo) {
    Start();
    port.Close();
    int status = sim->Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(PathExists(LinkPath()));
    EXPECT_FALSE(PathExists(ControlPath()));
}

TEST_F(ProgrammerSimTest, QuitCommandEndsTheSimulator) {
    Start();
    Control("quit");
    int status = sim->Stop(0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(PathExists(LinkPath()));
}

TEST_F(ProgrammerSimTest, VerboseLogsWhatGoesBothWays) {
    Start({"--verbose"});
    ExpectAnswer("#30\r", kProbeAnswer);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("TX #Model") != std::string::npos; })) << Log();
    EXPECT_NE(Log().find("RX #30<CR>"), std::string::npos) << Log();
    EXPECT_NE(Log().find("TX #30<CR><LF>"), std::string::npos) << Log();
}

TEST_F(ProgrammerSimTest, QuietByDefault) {
    Start();
    ExpectAnswer("#30\r", kProbeAnswer);
    EXPECT_EQ(Log().find("RX "), std::string::npos) << Log();
}

// Runs the simulator to its end with these arguments; returns the wait status.
int RunToEnd(const std::vector<std::string>& args, std::string& out, const std::string& log) {
    ProgrammerSimProcess p(args, log);
    out += p.OutputToEnd();
    return p.Stop(0);
}

TEST_F(ProgrammerSimTest, HelpTellsATechnicianHowToUseIt) {
    std::string out;
    int status = RunToEnd({"--help"}, out, LogPath());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const char* needed : {"VELMORA_COM1", "--link", "--control", "--model", "--version", "--tag-file",
                               "--silent", "--no-tag", "--status", "--garbage", "--split", "--slow",
                               "--unplugged", "unplug", "plug", "#Model AP4118 Ver 1.07", "kill -USR1",
                               "echo \"silent on\""}) {
        EXPECT_NE(out.find(needed), std::string::npos) << "help does not mention " << needed;
    }
}

TEST_F(ProgrammerSimTest, BadArgumentsAreRefusedWithAReason) {
    std::string out;
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--frobnicate"}, {"--model"}, {"--model", "AP 4118"}, {"--split=abc"}, {"--unplugged=-1"},
             {"--status", ""}, {"extra"}}) {
        SCOPED_TRACE(args[0]);
        int status = RunToEnd(args, out, LogPath());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    }
    EXPECT_TRUE(out.empty()) << out;
    EXPECT_NE(Log().find("--help"), std::string::npos);
}

TEST_F(ProgrammerSimTest, AnOrdinaryFileIsNeverTakenForTheLink) {
    WriteFileBytes(LinkPath(), {'k', 'e', 'e', 'p'});
    std::string out;
    int status = RunToEnd({"--link", LinkPath(), "--tag-file", TagFile()}, out, LogPath());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadTextFile(LinkPath()), "keep");
    EXPECT_NE(Log().find("not a symbolic link"), std::string::npos) << Log();
}

} // namespace
} // namespace velmora::test
