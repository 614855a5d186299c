// velmora-tool programmer batch against the programmer simulator: a fleet
// list programmed in list order with every tag logged and counted once, and
// the resume of a run that was killed part way through a tag.
#include "SimProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::test {
namespace {

// ABCD 42 RIGHT 50-0 on the railcar format, as the simulator records it.
constexpr const char* kAbcd42 = "9A0181C000AA981900000000000033";

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class ProgrammerBatch : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SimProcess::Available() || BuiltProgram("velmora-tool").empty())
            GTEST_SKIP() << "velmora-programmer-sim or velmora-tool not built";
        sim = std::make_unique<SimProcess>();
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
    }
    CommandResult Tool(const std::vector<std::string>& args) {
        std::string line;
        for (const auto& a : args) line += (line.empty() ? "" : " ") + ShellQuote(a);
        return RunProgram(BuiltProgram("velmora-tool"), line, dir.path().string());
    }
    CommandResult Batch(std::vector<std::string> extra = {"--no-wait"}) {
        std::vector<std::string> args = {"programmer", "batch", "fleet.txt", "--format", "Railcar", "--port", sim->Link()};
        args.insert(args.end(), extra.begin(), extra.end());
        return Tool(args);
    }
    void WriteFile(const std::string& name, const std::string& text) {
        WriteFileBytes(dir.File(name), std::vector<uint8_t>(text.begin(), text.end()));
    }
    std::string Setting(const std::string& name) {
        const CommandResult r = Tool({"options", "show", "--options", dir.File("programmer option.ads")});
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
        return "?";
    }
    std::string CommLog() { return ReadFileText(dir.File("communication log.txt")); }
    std::string TagLog() { return ReadFileText(dir.File("tag log.txt")); }

    std::unique_ptr<SimProcess> sim;
    TempDir dir;
};

TEST_F(ProgrammerBatch, FiftyCarsAreProgrammedLoggedAndCountedInListOrder) {
    ASSERT_EQ(Tool({"options", "set", "--options", dir.File("programmer option.ads"), "programmed_total=100"}).exitCode, 0);
    std::string list;
    for (int n = 1; n <= 50; ++n) list += "TTX," + std::to_string(1000 + n) + ",RIGHT,89-4,4,1,0\n";
    WriteFile("fleet.txt", list);

    // Waiting for Enter with no one to press it programs nothing.
    const CommandResult waiting = Batch({});
    EXPECT_NE(waiting.exitCode, 0);
    EXPECT_NE(waiting.out.find("place the tag for line 1 of 50 and press Enter"), std::string::npos) << waiting.out;
    EXPECT_EQ(CommLog().find("T-- #201"), std::string::npos);

    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(r.out, "\n"), 50u) << r.out;
    EXPECT_EQ(Count(CommLog(), "T-- #201"), 50u);

    const std::string tail = Tool({"taglog", "tail", "-n", "50"}).out;
    std::istringstream lines(tail);
    int expected = 1050;
    for (std::string line; std::getline(lines, line); --expected)
        EXPECT_NE(line.find("\"Railcar,TTX ," + std::to_string(expected) + ",RIGHT,89'4\""), std::string::npos) << line;
    EXPECT_EQ(expected, 1000);
    EXPECT_EQ(Setting("programmed_total"), "150");

    // A second run finds every line done and programs nothing again.
    const CommandResult again = Batch();
    EXPECT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(Count(CommLog(), "T-- #201"), 50u);
    EXPECT_EQ(Setting("programmed_total"), "150");
}

TEST_F(ProgrammerBatch, ARunKilledAfterTheLogLineCountsTheTagOnceAndDoesNotProgramItAgain) {
    WriteFile("fleet.txt", "ABCD,42,RIGHT,50-0\nABCD,43,RIGHT,50-0\n");
    // The killed run: the tag was programmed and its log line written; the
    // counters and the progress line were not.
    WriteFile("fleet.txt.progress", std::string("sent 1 ") + kAbcd42 + "\nprogrammed 1 " + kAbcd42 + " 0 0\n");
    WriteFile("tag log.txt", std::string("12/07/2026 04:20 - \"Railcar,ABCD,42,RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not "
                                         "checked RF not checked,") + kAbcd42 + "\r\n");
    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(CommLog().find(std::string("T-- #201") + kAbcd42), std::string::npos);
    EXPECT_EQ(Count(CommLog(), "T-- #201"), 1u);
    EXPECT_EQ(Count(TagLog(), kAbcd42), 1u);
    EXPECT_EQ(Count(TagLog(), "\r\n"), 2u);
    EXPECT_EQ(Setting("programmed_total"), "2");
}

TEST_F(ProgrammerBatch, ALostAnswerIsSettledByReadingTheTagBack) {
    WriteFile("fleet.txt", "ABCD,42,RIGHT,50-0\n");
    WriteFile("fleet.txt.progress", std::string("sent 1 ") + kAbcd42 + "\n");
    ASSERT_TRUE(sim->Control(std::string("tag ") + kAbcd42));
    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(CommLog(), "T-- #201"), 0u);
    EXPECT_EQ(Count(TagLog(), kAbcd42), 1u);
    EXPECT_EQ(Setting("programmed_total"), "1");

}

TEST_F(ProgrammerBatch, ALostAnswerWithAnotherTagOnTheProgrammerProgramsTheLine) {
    WriteFile("fleet.txt", "ABCD,42,RIGHT,50-0\n");
    WriteFile("fleet.txt.progress", std::string("sent 1 ") + kAbcd42 + "\n");
    ASSERT_TRUE(sim->Control("tag 9A0181C000AE981900000000000033"));
    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(CommLog(), std::string("T-- #201") + kAbcd42), 1u);
    EXPECT_EQ(sim->Tag(), kAbcd42);
    EXPECT_EQ(Count(TagLog(), kAbcd42), 1u);
    EXPECT_EQ(Setting("programmed_total"), "1");
}

} // namespace
} // namespace velmora::test
