// velmora-tool programmer program as a script runs it in a loop against the
// simulator: the same checks and questions as the Program Tag command, each
// programmed tag counted and logged to the working directory's tag log, and
// the model taken from the working directory's options file.
#include "SimProcess.h"

namespace velmora::test {
namespace {

constexpr const char* kBearingQuestion =
    "It is unusual to have a bearing code that is not \"1\". Do you want to continue programming the tag?";
constexpr const char* kSameDataQuestion =
    "You are programming a tag with the same data as the last tag you programmed.  Do you want to continue?";

struct ProgrammerToolLog : ToolOnSim<SimProcess> {
    CommandResult Program(const std::string& number, const std::string& bearing = "1", const Args& extra = {}) {
        return Tool(Args{"programmer", "program"} + Port() +
                    Args{"--format", "Railcar", "Equipment Initial=TTX", "Car Number=" + number,
                         "Side Indicator Code=RIGHT", "Length=50-0", "Number of Axles=4", "Bearing Type Code=" + bearing,
                         "Platform Identifier Code=0"} + extra);
    }
};

TEST_F(ProgrammerToolLog, EachProgrammedTagIsCountedAndLoggedInOrder) {
    for (int n = 1; n <= 5; ++n) ASSERT_EQ(Program(std::to_string(n)).exitCode, 0) << n;
    // Newest first, one per car, each with the frame the simulator received.
    const std::string tail = Tool("taglog tail -n 10").out;
    const auto got = Lines(tail);
    ASSERT_EQ(got.size(), 5u) << tail;
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(got[i].find("\"Railcar,TTX ," + std::to_string(5 - i) +
                              ",RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not checked RF not checked,"),
                  std::string::npos) << got[i];
    EXPECT_EQ(got[0].substr(got[0].rfind(',') + 1), sim->Tag());
    EXPECT_EQ(Setting("programmed_total") + Setting("programmed_today"), "55");

    // --no-log programs without a trace in the log or the counters.
    ASSERT_EQ(Program("6", "1", {"--no-log"}).exitCode, 0);
    EXPECT_EQ(Tool("taglog tail -n 10").out, tail);
    EXPECT_EQ(Setting("programmed_total"), "5");
}

TEST_F(ProgrammerToolLog, QuestionsRefuseTheTagUnlessAnsweredYes) {
    const struct {
        const char* number;
        const char* bearing;
        Args extra;
        const char* question; // refused with it, or programmed
    } runs[] = {
        {"7", "2", {}, kBearingQuestion},
        {"7", "2", {"--yes"}, nullptr},
        {"7", "2", {"--yes"}, nullptr}, // the same data again, answered yes
        {"7", "2", {}, kBearingQuestion},
        {"8", "1", {}, nullptr},
        {"8", "1", {}, kSameDataQuestion},
    };
    for (const auto& run : runs) {
        const CommandResult r = Program(run.number, run.bearing, run.extra);
        EXPECT_EQ(r.exitCode, run.question ? 9 : 0) << r.err;
        if (run.question) EXPECT_NE(r.err.find(run.question), std::string::npos) << r.err;
        if (&run == runs) EXPECT_EQ(CommLog().find("T-- #201"), std::string::npos);
    }
    EXPECT_EQ(Setting("programmed_total"), "3");
}

TEST_F(ProgrammerToolLog, TheModelComesFromTheWorkingDirectorysOptions) {
    ASSERT_EQ(Tool(Args{"options", "set", "--options", dir.File("programmer option.ads"), "programmer_model=1"}).exitCode, 0);
    ASSERT_TRUE(sim->Control("model AP4112"));
    // The half-frame formats are those of an AP4112; no search was asked for.
    const CommandResult r =
        Tool(Args{"programmer", "program"} + Port() + Args{"--format", "ASCII Half Frame", "Characters 1 to 10=HELLO"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Setting("programmed_total") + Setting("programmer_model"), "11");
}

} // namespace
} // namespace velmora::test
