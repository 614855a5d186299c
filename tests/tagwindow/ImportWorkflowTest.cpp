// A fleet list in the Program Tag workflow: each F1 programs the line on the form, logs it, records it in the progress
// file and puts the next line on the form; opening the list again settles what a killed run left half done.
#include "WorkflowRig.h"

#include "tagwindow/ImportProgress.h"

namespace velmora::test {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class ImportWorkflow : public WorkflowRig {
protected:
    std::string list;
    void WriteList(const std::string& text) {
        list = dir.File("fleet.txt");
        WriteFileBytes(list, std::vector<uint8_t>(text.begin(), text.end()));
    }
    void WriteProgress(const std::string& text) {
        WriteFileBytes(ProgressFilePath(list), std::vector<uint8_t>(text.begin(), text.end()));
    }
    // A list of two railcars, opened; returns the first line's frame.
    std::string OpenTwoLines() {
        WriteList("TTX,1,RIGHT,89-4\nTTX,2,RIGHT,89-4\n");
        EXPECT_EQ(wf.OpenImportList(list), "");
        return wf.Import().List().lines[0].frameText;
    }
    // The list closed, a progress file left behind, the list opened again.
    void Reopen(const std::string& progress) {
        wf.Import().Close();
        WriteProgress(progress);
        EXPECT_EQ(wf.OpenImportList(list), "");
    }
};

TEST_F(ImportWorkflow, FiftyPressesOfF1ProgramTheListInOrder) {
    std::string text;
    for (int n = 1; n <= 50; ++n) text += "TTX," + std::to_string(1000 + n) + ",RIGHT,89-4\n";
    WriteList(text);
    ASSERT_EQ(wf.OpenImportList(list), "");
    EXPECT_EQ(Form().FieldText(1), "1001");
    for (int n = 1; n <= 50; ++n) {
        wf.CmProgramTag();
        ASSERT_EQ(Prog().operationState, kOpProgram) << n << ": " << op.prompts.back().first;
        Complete(kResultProgramOk);
        if (n < 50) EXPECT_EQ(Form().FieldText(1), std::to_string(1001 + n));
    }
    EXPECT_EQ(Total(), 50);
    const std::string log = TagLogFile();
    ASSERT_EQ(Count(log, "\r\n"), 50u);
    std::size_t at = 0;
    for (int n = 1; n <= 50; ++n) {
        const std::size_t found = log.find(",TTX ," + std::to_string(1000 + n) + ",", at);
        ASSERT_NE(found, std::string::npos) << n;
        at = found;
    }
    EXPECT_EQ(wf.Import().Counts().programmed, 50);
    EXPECT_EQ(Count(ReadFileText(ProgressFilePath(list)), "done "), 50u);
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF not checked - every line of "
                               "the list is done");
}

TEST_F(ImportWorkflow, AHandChangedLineIsATypedTagAndLeavesTheListAlone) {
    OpenTwoLines();
    Form().Type(1, "7");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    EXPECT_EQ(wf.Import().Counts().waiting, 2);
    EXPECT_EQ(Form().FieldText(1), "7");
    EXPECT_EQ(ReadFileText(ProgressFilePath(list)), "");
}

TEST_F(ImportWorkflow, ARunKilledAfterTheLogLineIsCountedOnceAndNotProgrammedAgain) {
    const std::string frame = OpenTwoLines();
    const std::string logLine = "12/07/2026 04:20 - \"Railcar,TTX ,1,RIGHT,89'4\",4,1,0\" 51,19,2,"+ frame + "\r\n";
    WriteFileBytes(dir.File("tag log.txt"), std::vector<uint8_t>(logLine.begin(), logLine.end()));
    Reopen("sent 1 " + frame + "\nprogrammed 1 " + frame + " 0 0\n");
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(Total(), 1);
    EXPECT_EQ(TagLogFile(), logLine);
    EXPECT_EQ(wf.Import().List().lines[0].state, ImportLineState::Programmed);
    EXPECT_EQ(Form().FieldText(1), "2");

    // Killed before the log line instead: logged and counted now.
    Reopen("programmed 1 " + frame + " " + std::to_string(logLine.size()) + " 1\n");
    EXPECT_EQ(Total(), 2);
    EXPECT_EQ(Count(TagLogFile(), frame), 2u);
}

TEST_F(ImportWorkflow, ALostAnswerIsSettledByReadingTheTagBack) {
    const std::string frame = OpenTwoLines();
    Reopen("sent 1 " + frame + "\n");
    auto readBack = [&](const std::string& tag) {
        wf.CmProgramTag();
        ASSERT_EQ(Prog().operationState, kOpRead);
        EditProg([&](ProgrammerState& ps) { SetText(ps.response, "#" + tag); });
        Complete(kResultReadOk);
    };
    // Another tag on the programmer: the next F1 programs the line.
    readBack("9A0181C000AE981900000000000033");
    EXPECT_EQ(Total(), 0);
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, kOpProgram);
    Complete(kResultProgramFailed);

    // Reopened with the line's own tag on the programmer: logged, not programmed.
    Reopen("sent 1 " + frame + "\n");
    readBack(frame);
    EXPECT_EQ(Total(), 1);
    EXPECT_EQ(Count(TagLogFile(), frame), 1u);
    EXPECT_EQ(Form().FieldText(1), "2");
}

} // namespace
} // namespace velmora::test
