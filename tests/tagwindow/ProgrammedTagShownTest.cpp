// What the operator is shown of a tag around its programming: the prompt of the previous outcome does not outlive the
// next command, the form shows the texts as they were programmed, and a tag waiting for its RF check keeps its own
// length units when the units are switched.
#include "WorkflowRig.h"

#include "print/LabelLayout.h"

namespace velmora::test {
namespace {

constexpr const char* kUmlerQ =
    "Some fields are in disagreement with the vehicle's UMLER data.  Do you want to continue programming the tag?";
constexpr const char* kCertifiedPrompt = "Tag was successfully programmed, RF checked and certified";

using ProgrammedTagShown = WorkflowRig;

TEST_F(ProgrammedTagShown, ACommandClearsThePreviousResultPromptWhenItStarts) {
    const std::pair<const char*, void (TagWorkflows::*)()> commands[] = {
        {"Program Tag", &TagWorkflows::CmProgramTag}, {"Read Tag", &TagWorkflows::CmReadTag},
        {"Certify Tag", &TagWorkflows::CmCertifyTag}};
    EditProg([](ProgrammerState& ps) { ps.on = 0; }); // each command is refused right after it starts
    for (const auto& [what, command] : commands) {
        op.ShowPrompt(kCertifiedPrompt, 0);
        (wf.*command)();
        EXPECT_EQ(op.LastPrompt(), "") << what;
    }

    // The prompt of an operation still running is no result: it stays.
    EditProg([](ProgrammerState& ps) { ps.on = 1; });
    SetOption(&SettingsBlock::autoRfCheck, 1);
    SetReaderPort(0);
    TypeRailcar();
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    ASSERT_EQ(op.LastPrompt(), "Please read the tag with the portable reader");
    for (const auto& [what, command] : commands) {
        (wf.*command)(); // refused: the programmer is busy with the check
        EXPECT_EQ(op.LastPrompt(), "Please read the tag with the portable reader") << what;
    }
}

TEST_F(ProgrammedTagShown, ATagDeclinedAtTheUmlerQuestionLeavesNoSuccessStanding) {
    WriteUmler({{"ABCD", 1234, "A405", 600, 4, 0}});
    TypeRailcar("ABCD", "1234", "50-0");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    ASSERT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER Ok, RF not checked");

    Form().Type(3, "60-4"); // 724 inches against the register's 600
    Answer({MsgAnswer::No});
    wf.CmProgramTag();
    EXPECT_EQ(BoxTexts().back(), kUmlerQ);
    EXPECT_TRUE(Prog().operationState == 0 && op.LastPrompt().empty());
}

TEST_F(ProgrammedTagShown, TheFormShowsTheTextsUpperCasedAsProgrammed) {
    TypeRailcar("abcd", "1234");
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_EQ(Shown({0, 1}), "ABCD,1234");
    EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "ABCD");
}

TEST_F(ProgrammedTagShown, ATagWaitingForItsRfCheckKeepsItsLengthUnits) {
    SetOption(&SettingsBlock::autoRfCheck, 1);
    SetReaderPort(0);
    TypeRailcar("ABCD", "1234", "50-6");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    ASSERT_EQ(Prog().operationState, kOpRfCheck);

    EXPECT_FALSE(wf.CmLengthUnits()); // decimeters from now on
    EXPECT_EQ(Form().texts[3], "153");
    EXPECT_TRUE(ReaderResult(kResultRfAgrees));

    ASSERT_EQ(tagLog.Size(), 1u);
    EXPECT_NE(tagLog.Line(0).find("\"Railcar,ABCD,1234,RIGHT,50'6\",4,1,0\" 51,19,2"), std::string::npos)
        << tagLog.Line(0);
    EXPECT_TRUE(MakeLabelInput(data).feetInches);

    // The next tag is in the units of the settings.
    Form().Type(1, "1235");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    ReaderResult(kResultRfAgrees);
    ASSERT_EQ(tagLog.Size(), 2u);
    EXPECT_NE(tagLog.Line(0).find(",153dm,"), std::string::npos) << tagLog.Line(0);
    EXPECT_FALSE(MakeLabelInput(data).feetInches);
}

} // namespace
} // namespace velmora::test
