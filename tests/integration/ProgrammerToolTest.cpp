// velmora-tool programmer search|status|program|read against the simulator,
// as a technician runs it: outcomes, exit status, the bytes the simulator
// received, and the communication log left in the working directory.
#include "SimProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace velmora::test {
namespace {

const std::string kRailcar = "9A0181C000AA981900000000000033";
const std::vector<std::string> kRailcarArgs = {
    "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42", "Side Indicator Code=RIGHT",
    "Length=50-0", "Number of Axles=4", "Bearing Type Code=1", "Platform Identifier Code=0"};

class ProgrammerTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SimProcess::Available() || BuiltProgram("velmora-tool").empty())
            GTEST_SKIP() << "velmora-programmer-sim or velmora-tool not built";
        sim = std::make_unique<SimProcess>(std::vector<std::string>{"--version", "3.14"});
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
    }
    CommandResult Tool(std::vector<std::string> args) {
        std::string line = "programmer";
        for (const auto& a : args) line += " " + ShellQuote(a);
        return RunProgram(BuiltProgram("velmora-tool"), line, dir.path().string());
    }
    std::vector<std::string> Port() const { return {"--port", sim->Link()}; }
    std::string CommLog() const {
        auto b = ReadFileBytes(dir.File("communication log.txt"));
        return std::string(b.begin(), b.end());
    }
    std::unique_ptr<SimProcess> sim;
    TempDir dir;
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(ProgrammerTool, SearchReportsWhereModelAndVersion) {
    const CommandResult r = Tool(std::vector<std::string>{"search"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Port=COM1\nDevice=" + sim->Link() + "\nModel=AP4118\nVersion=3.14\n");
}

TEST_F(ProgrammerTool, StatusReportsTheLastError) {
    ASSERT_TRUE(sim->Control("status 0B"));
    const CommandResult r = Tool(std::vector<std::string>{"status"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Last Error=0B Bad Tag Parity\n"), std::string::npos) << r.out;
}

TEST_F(ProgrammerTool, ProgramSendsTheFrameAndSucceedsOnDone) {
    const CommandResult r = Tool(std::vector<std::string>{"program"} + Port() + kRailcarArgs);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Frame=" + kRailcar + "\nTag was successfully programmed\n");
    EXPECT_EQ(sim->Tag(), kRailcar);
    // The log holds the command with the exact frame and the answers, in
    // "MM/DD/YYYY hh:mm:ss C(n) device T-- text" lines.
    const std::string log = CommLog();
    const std::regex sent(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d C\(1\) programmer T-- #201)" + kRailcar + "\n");
    const std::regex done(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d C\(1\) programmer R-- #Done)" "\n");
    EXPECT_TRUE(std::regex_search(log, sent)) << log;
    EXPECT_TRUE(std::regex_search(log, done)) << log;
}

TEST_F(ProgrammerTool, ProgramFailsOnErrorAnswer) {
    ASSERT_TRUE(sim->Control("notag on"));
    const CommandResult r = Tool(std::vector<std::string>{"program"} + Port() + kRailcarArgs);
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_NE(r.err.find("Error - could not program tag"), std::string::npos) << r.err;
}

// How long the wait lasts is the program-silent recording's (fake clock).
TEST_F(ProgrammerTool, SilentProgrammerEndsInWatchDog) {
    ASSERT_TRUE(sim->Control("silent on"));
    const CommandResult r = Tool(std::vector<std::string>{"program"} + Port() + kRailcarArgs);
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_NE(r.err.find("Error - could not program tag\nWatchDog Timer Expired\n"), std::string::npos) << r.err;
}

TEST_F(ProgrammerTool, ValueCheckFailureSendsNothing) {
    std::vector<std::string> args = kRailcarArgs;
    args.back() = "Platform Identifier Code=99";
    const CommandResult r = Tool(std::vector<std::string>{"program"} + Port() + args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("The following fields are in error: Platform Identifier Code"), std::string::npos) << r.err;
    EXPECT_EQ(CommLog().find("T-- #201"), std::string::npos);
}

TEST_F(ProgrammerTool, ReadDecodesTheTagOnTheProgrammer) {
    ASSERT_TRUE(sim->Control("tag " + kRailcar));
    const CommandResult r = Tool(std::vector<std::string>{"read"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Railcar\nEquipment Initial=ABCD\nCar Number=42\n", 0), 0u) << r.out;
    ASSERT_TRUE(sim->Control("tag clear"));
    const CommandResult none = Tool(std::vector<std::string>{"read"} + Port());
    EXPECT_EQ(none.exitCode, 5);
    EXPECT_NE(none.err.find("Error - could not read tag"), std::string::npos);
}

TEST_F(ProgrammerTool, SearchFirstFollowsTheDetectedModel) {
    ASSERT_TRUE(sim->Control("model AP4112; tag " + kRailcar));
    const CommandResult r = Tool(std::vector<std::string>{"read", "--search"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("ASCII Half Frame\n", 0), 0u) << r.out;
    EXPECT_NE(CommLog().find("T-- #214"), std::string::npos);
}

TEST_F(ProgrammerTool, MissingDeviceIsReportedWithTheSystemText) {
    const CommandResult r = Tool({"search", "--port", dir.File("no-such-device")});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
    const CommandResult p = Tool(std::vector<std::string>{"program", "--port", dir.File("nothing")} + kRailcarArgs);
    EXPECT_EQ(p.exitCode, 7);
}

TEST_F(ProgrammerTool, WrongArgumentsGiveTheUsage) {
    const CommandResult r = Tool({"sing"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("velmora-tool programmer search"), std::string::npos);
}

} // namespace
} // namespace velmora::test
