// velmora-tool reader search|params|rfcheck against the reader simulator, as
// a technician runs it: outputs, exit status and the communication log.
#include "ProgrammerSimHarness.h"
#include "ReaderSimProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora::test {
namespace {

const std::vector<std::string> kRailcarArgs = {
    "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42", "Side Indicator Code=RIGHT",
    "Length=50-0", "Number of Axles=4", "Bearing Type Code=1", "Platform Identifier Code=0"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ReaderTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ReaderSimProcess::Available() || BuiltProgram("velmora-tool").empty())
            GTEST_SKIP() << "velmora-reader-sim or velmora-tool not built";
        sim = std::make_unique<ReaderSimProcess>(
            std::vector<std::string>{"--date", "03/14/26", "--time", "09:26:53", "--user-id", "TOOL01"});
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
        std::ofstream(sim->TagFile()) << "9A0181C000AA981900000000000033\n";
    }
    CommandResult Tool(const std::vector<std::string>& args) {
        std::string line = "reader";
        for (const auto& a : args) line += " " + ShellQuote(a);
        return RunProgram(BuiltProgram("velmora-tool"), line, dir.path().string());
    }
    std::vector<std::string> Port() const { return {"--port", sim->Link()}; }
    std::string CommLog() const { return ReadTextFile(dir.File("communication log.txt")); }

    std::unique_ptr<ReaderSimProcess> sim;
    TempDir dir;
};

TEST_F(ReaderTool, SearchReportsThePort) {
    const CommandResult r = Tool(std::vector<std::string>{"search"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Port=COM1\nDevice=" + sim->Link() + "\n");
    EXPECT_NE(CommLog().find("C(1) portable R-- SSPTOOL01  03/14/26"), std::string::npos) << CommLog();
}

TEST_F(ReaderTool, ParamsPrintsTheParametersUnderTheDialogsLabels) {
    ASSERT_TRUE(sim->Control("battery 081; alarms 041 031 021; firmware 1.6.2"));
    const CommandResult r = Tool(std::vector<std::string>{"params"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Port=COM1\n"
              "User ID=TOOL01   03/14/26\n"
              "Date/Time= 09:26:53\n"
              "Battery=081\n"
              "Battery Alarm Level 1=041\n"
              "Battery Alarm Level 2=031\n"
              "Battery Alarm Level 3=021\n"
              "Firmware version=1.6.2\n");
}

TEST_F(ReaderTool, RfCheckJudgesTheReading) {
    struct Case {
        const char* command;
        int exitCode;
        const char* reading;
        const char* result;
    };
    const Case cases[] = {
        {"read", 0, "ABCD 42,19,R,152,4,1,0", "agrees"},
        {"read old", 9, "ABCD 42", "initial and number only"},
        {"read wrong length", 10, "ABCD 42,19,R,154,4,1,0", "disagrees"},
    };
    for (const Case& c : cases) {
        // Read before the tool opens the port: the reading waits for it.
        ASSERT_TRUE(sim->Control(c.command));
        const CommandResult r = Tool(std::vector<std::string>{"rfcheck", "--timeout", "20"} + Port() + kRailcarArgs);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.command << "\n" << r.err;
        EXPECT_EQ(r.out, std::string("Frame=9A0181C000AA981900000000000033\nReading=") + c.reading + "\nResult=" +
                             c.result + "\n")
            << c.command;
    }
}

TEST_F(ReaderTool, RfCheckInDecimetersAndWithoutAReading) {
    ASSERT_TRUE(sim->Control("read"));
    CommandResult r = Tool(std::vector<std::string>{"rfcheck", "--decimeters", "--timeout", "20"} + Port() +
                           std::vector<std::string>{"--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42",
                                                    "Side Indicator Code=RIGHT", "Length=153"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = Tool(std::vector<std::string>{"rfcheck", "--timeout", "1"} + Port() + kRailcarArgs);
    EXPECT_EQ(r.exitCode, 11);
    EXPECT_NE(r.err.find("No reading within 1 s"), std::string::npos) << r.err;
}

TEST_F(ReaderTool, UsageErrors) {
    EXPECT_EQ(Tool({}).exitCode, 1);
    EXPECT_EQ(Tool({"probe"}).exitCode, 1);
    EXPECT_EQ(Tool(std::vector<std::string>{"rfcheck", "--timeout", "0"} + Port() + kRailcarArgs).exitCode, 1);
    EXPECT_EQ(Tool(std::vector<std::string>{"rfcheck"} + Port()).exitCode, 1); // no --format
    const CommandResult bad = Tool(std::vector<std::string>{"rfcheck"} + Port() +
                                   std::vector<std::string>{"--format", "Railcar", "Equipment Initial=12"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("The following fields are in error: Equipment Initial"), std::string::npos) << bad.err;
}

} // namespace
} // namespace velmora::test
