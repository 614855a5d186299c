// velmora-tool programmer batch against the programmer simulator: a fleet
// list programmed in list order with every tag logged and counted once, and
// the resume of a run that was killed part way through a tag.
#include "SimProcess.h"

namespace velmora::test {
namespace {

struct ProgrammerBatch : ToolOnSim<SimProcess> {
    CommandResult Batch(const Args& extra = {"--no-wait"}) {
        return Tool(Args{"programmer", "batch", "fleet.txt", "--format", "Railcar"} + Port() + extra);
    }
};

TEST_F(ProgrammerBatch, FiftyCarsAreProgrammedLoggedAndCountedInListOrder) {
    ASSERT_EQ(Tool(Args{"options", "set", "--options", dir.File("programmer option.ads"), "programmed_total=100"}).exitCode, 0);
    std::string list;
    for (int n = 1; n <= 50; ++n) list += "TTX," + std::to_string(1000 + n) + ",RIGHT,89-4,4,1,0\n";
    Write("fleet.txt", list);

    // Waiting for Enter with no one to press it programs nothing.
    const CommandResult waiting = Batch({});
    EXPECT_TRUE(waiting.exitCode != 0 && waiting.out.find("place the tag for line 1 of 50 and press Enter") != std::string::npos)
        << waiting.out;
    EXPECT_EQ(CommLog().find("T-- #201"), std::string::npos);

    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(std::tuple(Count(r.out, "\n"), Count(CommLog(), "T-- #201")), std::tuple(50u, 50u)) << r.out;
    const auto tail = Lines(Tool("taglog tail -n 50").out);
    ASSERT_EQ(tail.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_NE(tail[i].find("\"Railcar,TTX ," + std::to_string(1050 - i) + ",RIGHT,89'4\""), std::string::npos) << tail[i];
    EXPECT_EQ(Setting("programmed_total"), "150");

    // A second run finds every line done and programs nothing again.
    EXPECT_EQ(Batch().exitCode, 0);
    EXPECT_EQ(std::tuple(Count(CommLog(), "T-- #201"), Setting("programmed_total")), std::tuple(50u, "150"));
}

TEST_F(ProgrammerBatch, ARunKilledAfterTheLogLineCountsTheTagOnceAndDoesNotProgramItAgain) {
    Write("fleet.txt", "ABCD,42,RIGHT,50-0\nABCD,43,RIGHT,50-0\n");
    // The killed run: the tag was programmed and its log line written; the
    // counters and the progress line were not.
    Write("fleet.txt.progress", "sent 1 " + kRailcar + "\nprogrammed 1 " + kRailcar + " 0 0\n");
    Write("tag log.txt", "12/07/2026 04:20 - \"Railcar,ABCD,42,RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not checked RF not "
                         "checked," + kRailcar + "\r\n");
    const CommandResult r = Batch();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(std::tuple(Count(CommLog(), "T-- #201" + kRailcar), Count(CommLog(), "T-- #201")), std::tuple(0u, 1u));
    EXPECT_EQ(std::tuple(Count(TagLog(), kRailcar), Count(TagLog(), "\r\n")), std::tuple(1u, 2u));
    EXPECT_EQ(Setting("programmed_total"), "2");
}

// The answer to the program command was lost: the tag on the programmer is
// read back; the line's own frame means it was programmed, another means not.
TEST_F(ProgrammerBatch, ALostAnswerIsSettledByReadingTheTagBack) {
    const std::pair<std::string, std::size_t> cases[] = {{kRailcar, 0}, {"9A0181C000AE981900000000000033", 1}};
    for (const auto& [onProgrammer, sent] : cases) {
        SCOPED_TRACE(onProgrammer);
        for (const char* name : {"communication log.txt", "tag log.txt", "programmer option.ads"})
            std::filesystem::remove(dir.File(name));
        Write("fleet.txt", "ABCD,42,RIGHT,50-0\n");
        Write("fleet.txt.progress", "sent 1 " + kRailcar + "\n");
        ASSERT_TRUE(sim->Control("tag " + onProgrammer));
        const CommandResult r = Batch();
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(std::tuple(Count(CommLog(), "T-- #201"), Count(CommLog(), "T-- #201" + kRailcar)), std::tuple(sent, sent));
        EXPECT_EQ(std::tuple(sim->Tag(), Count(TagLog(), kRailcar)), std::tuple(kRailcar, 1u));
        EXPECT_EQ(Setting("programmed_total"), "1");
    }
}

} // namespace
} // namespace velmora::test
