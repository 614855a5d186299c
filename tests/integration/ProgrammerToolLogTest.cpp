// velmora-tool programmer program as a script runs it in a loop against the
// simulator: the same checks and questions as the Program Tag command, each
// programmed tag counted and logged to the working directory's tag log, and
// the model taken from the working directory's options file.
#include "SimProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::test {
namespace {

constexpr const char* kBearingQuestion =
    "It is unusual to have a bearing code that is not \"1\". Do you want to continue programming the tag?";
constexpr const char* kSameDataQuestion =
    "You are programming a tag with the same data as the last tag you programmed.  Do you want to continue?";

class ProgrammerToolLog : public ::testing::Test {
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
    CommandResult Program(const std::string& number, const std::string& bearing = "1",
                          std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"programmer", "program", "--port", sim->Link(), "--format", "Railcar",
                                         "Equipment Initial=TTX", "Car Number=" + number,
                                         "Side Indicator Code=RIGHT", "Length=50-0", "Number of Axles=4",
                                         "Bearing Type Code=" + bearing, "Platform Identifier Code=0"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Tool(args);
    }
    std::string Setting(const std::string& name) {
        const CommandResult r = Tool({"options", "show", "--options", dir.File("programmer option.ads")});
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
        return "?";
    }
    std::string SentCommands() { return ReadFileText(dir.File("communication log.txt")); }

    std::unique_ptr<SimProcess> sim;
    TempDir dir;
};

TEST_F(ProgrammerToolLog, EachProgrammedTagIsCountedAndLoggedInOrder) {
    for (int n = 1; n <= 5; ++n) {
        const CommandResult r = Program(std::to_string(n));
        ASSERT_EQ(r.exitCode, 0) << n << ": " << r.err;
    }
    // Newest first, one per car, each with the frame the simulator received.
    const std::string tail = Tool({"taglog", "tail", "-n", "10"}).out;
    std::istringstream lines(tail);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 5u) << tail;
    for (int i = 0; i < 5; ++i) {
        const std::string car = "\"Railcar,TTX ,";
        const std::string expect = car + std::to_string(5 - i) + ",RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not checked RF not checked,";
        EXPECT_NE(got[static_cast<std::size_t>(i)].find(expect), std::string::npos) << got[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(got[0].substr(got[0].rfind(',') + 1), sim->Tag());
    EXPECT_EQ(Setting("programmed_total"), "5");
    EXPECT_EQ(Setting("programmed_today"), "5");

    // --no-log programs without a trace in the log or the counters.
    ASSERT_EQ(Program("6", "1", {"--no-log"}).exitCode, 0);
    EXPECT_EQ(Tool({"taglog", "tail", "-n", "10"}).out, tail);
    EXPECT_EQ(Setting("programmed_total"), "5");
}

TEST_F(ProgrammerToolLog, QuestionsRefuseTheTagUnlessAnsweredYes) {
    const CommandResult unusual = Program("7", "2");
    EXPECT_EQ(unusual.exitCode, 9);
    EXPECT_NE(unusual.err.find(kBearingQuestion), std::string::npos) << unusual.err;
    EXPECT_EQ(SentCommands().find("T-- #201"), std::string::npos);
    ASSERT_EQ(Program("7", "2", {"--yes"}).exitCode, 0);

    // The same data as the newest logged tag asks again.
    const CommandResult again = Program("7", "2", {"--yes"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    const CommandResult refused = Program("7", "2");
    EXPECT_EQ(refused.exitCode, 9);
    EXPECT_NE(refused.err.find(kBearingQuestion), std::string::npos) << refused.err;
    ASSERT_EQ(Program("8").exitCode, 0);
    const CommandResult same = Program("8");
    EXPECT_EQ(same.exitCode, 9);
    EXPECT_NE(same.err.find(kSameDataQuestion), std::string::npos) << same.err;
    EXPECT_EQ(Setting("programmed_total"), "3");
}

TEST_F(ProgrammerToolLog, TheModelComesFromTheWorkingDirectorysOptions) {
    ASSERT_EQ(Tool({"options", "set", "--options", dir.File("programmer option.ads"), "programmer_model=1"}).exitCode, 0);
    ASSERT_TRUE(sim->Control("model AP4112"));
    // The half-frame formats are those of an AP4112; no search was asked for.
    const CommandResult r = Tool({"programmer", "program", "--port", sim->Link(), "--format", "ASCII Half Frame",
                                  "Characters 1 to 10=HELLO"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Setting("programmed_total"), "1");
    EXPECT_EQ(Setting("programmer_model"), "1");
}

} // namespace
} // namespace velmora::test
