// Program Tag: the programmer checks, field errors, the plausibility
// questions, the WABTEC parts list, the same-data question, the hand-over to
// the programmer link and the programmer's outcome.
#include "WorkflowRig.h"

#include "tagdata/TagFrame.h"

namespace velmora::test {
namespace {

constexpr const char* kNotOn =
    "Progammer is not on or connected to the computer.  Please turn on or check the cable connection.";
constexpr const char* kBusy =
    "The progammer is busy programming or reading a tag.  Please wait until this operation has completed.";
constexpr const char* kBearingQ =
    "It is unusual to have a bearing code that is not \"1\". Do you want to continue programming the tag?";
constexpr const char* kPlatformQ =
    "Most cars are not articulated and, therefore, do not have multiple platforms. If this is not an "
    "articulated car in should have a platform code of \"0\".  Do you want to continue programming the tag?";
constexpr const char* kAxlesQ =
    "The number of axles to you want to program into the tag is unusual.  Please check.  Do you want to "
    "continue programming the tag?";
constexpr const char* kSameQ =
    "You are programming a tag with the same data as the last tag you programmed.  Do you want to continue?";

using ProgramTag = WorkflowRig;

TEST_F(ProgramTag, RefusedWhenTheProgrammerIsOffOrBusy) {
    TypeRailcar();
    ProgrammerState ps = Prog();
    ps.on = 0;
    data.UpdateProgrammerRecord(ps);
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].text, kNotOn);
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(op.boxes[0].buttons, MsgButtons::Ok);

    ps.on = 1;
    ps.operationState = kOpRead;
    data.UpdateProgrammerRecord(ps);
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 2u);
    EXPECT_EQ(op.boxes[1].text, kBusy);
    EXPECT_EQ(op.boxes[1].icon, MsgIcon::Information);
    EXPECT_EQ(Prog().operationState, kOpRead); // the running operation is kept
    EXPECT_TRUE(Form().focused.size() >= 2 && Form().focused.back() == 0);
    for (const auto& prompt : op.prompts) EXPECT_EQ(prompt.first, ""); // at most the previous one cleared
}

TEST_F(ProgramTag, HandsTheFrameToTheProgrammerLink) {
    TypeRailcar("abcd", "1234", "40-6");
    wf.CmProgramTag();
    EXPECT_TRUE(op.boxes.empty());
    const ProgrammerState ps = Prog();
    EXPECT_EQ(ps.operationState, kOpProgram);
    const std::string frame(GetText(ps.frameText));
    ASSERT_EQ(frame.size(), 30u);
    EXPECT_EQ(data.GetLastProgrammedFrame(), frame);
    EXPECT_EQ(op.LastPrompt(), "Programming Tag - place tag in programmer and hold it down");
    EXPECT_EQ(op.prompts.back().second, 0);
    EXPECT_EQ(Form().rawData.rfind("Raw Data  ASCII [", 0), 0u);
    EXPECT_NE(Form().rawData.find(frame), std::string::npos);

    // The frame carries what was typed, upper-cased.
    const DecodedFrame d = DecodeTagFrame(data, frame, false, kRegionNorthAmerica, true);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, kRailcarSlot);
    EXPECT_EQ(d.texts[0], "ABCD");
    EXPECT_EQ(d.texts[1], "1234");
    EXPECT_EQ(d.texts[2], "RIGHT");
    EXPECT_EQ(d.texts[3], "40-06"); // 486 inches, 123 dm, 486 inches

    const LastTagRecord r = data.GetLastTagRecord();
    EXPECT_EQ(r.readFlag, 0);
    EXPECT_EQ(r.formatIndex, kRailcarSlot);
    EXPECT_EQ(r.FieldText(0), "ABCD");
    EXPECT_EQ(r.FrameText(), frame);
    EXPECT_EQ(r.TagType(), "AT5118");
    EXPECT_EQ(r.umlerResult, kUmlerNotChecked); // no register file
    EXPECT_EQ(r.certify, 0);
}

TEST_F(ProgramTag, PadsTextsAsTheFrameHoldsThem) {
    TypeRailcar("NS", "77");
    wf.CmProgramTag();
    EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "NS  ");
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), "77");
}

TEST_F(ProgramTag, FieldErrorsAreListedInThePromptAndMarked) {
    TypeRailcar("AB1", "", "50-13");
    wf.CmProgramTag();
    ASSERT_FALSE(op.prompts.empty());
    EXPECT_EQ(op.LastPrompt(), "The following fields are in error: Equipment Initial, Car Number, Length");
    EXPECT_EQ(op.prompts.back().second, 1);
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(Form().marks.error[0], 1);
    EXPECT_EQ(Form().marks.error[1], 1);
    EXPECT_EQ(Form().marks.error[2], 0);
    EXPECT_EQ(Form().marks.error[3], 1);
    EXPECT_GE(Form().repaints, 1);
    EXPECT_EQ(Prog().operationState, 0);
    // A stop before the record is stored leaves the previous record.
    EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "");
}

TEST_F(ProgramTag, UnusualValuesAskAndNoStops) {
    TypeRailcar("ABCD", "1", "50-6", "3", "2", "5");
    Answer({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::No});
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 3u);
    EXPECT_EQ(op.boxes[0].text, kBearingQ);
    EXPECT_EQ(op.boxes[1].text, kPlatformQ);
    EXPECT_EQ(op.boxes[2].text, kAxlesQ);
    for (const auto& b : op.boxes) {
        EXPECT_EQ(b.caption, "Velmora for Windows");
        EXPECT_EQ(b.icon, MsgIcon::Question);
        EXPECT_EQ(b.buttons, MsgButtons::YesNo);
    }
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_TRUE(data.GetLastProgrammedFrame().empty());
}

TEST_F(ProgramTag, OnlyOneThreeAndFiveAxlesAsk) {
    for (const char* axles : {"2", "4", "6", "7"}) {
        op.boxes.clear();
        TypeRailcar("ABCD", "1", "50-6", axles);
        wf.ProgramTag(true, false);
        EXPECT_TRUE(op.boxes.empty()) << axles;
        ProgrammerState ps = Prog();
        ps.operationState = 0;
        data.UpdateProgrammerRecord(ps);
        data.UpdateLastProgrammedFrame("");
    }
    for (const char* axles : {"1", "3", "5"}) {
        op.boxes.clear();
        TypeRailcar("ABCD", "1", "50-6", axles);
        wf.ProgramTag(true, false);
        ASSERT_EQ(op.boxes.size(), 1u) << axles;
        EXPECT_EQ(op.boxes[0].text, kAxlesQ);
    }
}

TEST_F(ProgramTag, PlatformMinusOneAndZeroDoNotAsk) {
    TypeRailcar("ABCD", "1", "50-6", "4", "1", "0");
    wf.CmProgramTag();
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(ProgramTag, AMissingBearingRowCountsAsZero) {
    TagFormatData f = data.GetTagFormatData(kRailcarSlot);
    f.systemSlot = 0;
    SetText(f.formatName, "Short Railcar");
    for (int r = 6; r < kFieldRows; ++r) SetText(f.fieldName[r], "");
    data.UpdateTagFormatData(8, f);
    SelectFormat(8);
    TypeRailcar();
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, kBearingQ);
}

TEST_F(ProgramTag, SameDataAsksUnlessTheLastAttemptFailed) {
    TypeRailcar();
    wf.CmProgramTag();
    EXPECT_TRUE(Complete(kResultProgramOk));
    op.boxes.clear();

    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, kSameQ);
    EXPECT_EQ(op.boxes[0].caption, "Velmora for Windows");
    EXPECT_EQ(Prog().operationState, 0); // declined

    Answer({MsgAnswer::Yes});
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_TRUE(Complete(kResultProgramFailed));
    EXPECT_EQ(op.LastPrompt(), "Error - could not program tag");
    EXPECT_EQ(op.prompts.back().second, 1);
    EXPECT_EQ(Prog().operationResult, kResultProgramFailed);
    EXPECT_EQ(Prog().operationState, 0);

    op.boxes.clear();
    wf.CmProgramTag(); // the retry of the failed attempt does not ask
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(Prog().operationState, kOpProgram);
}

TEST_F(ProgramTag, AProgrammerLostDuringAQuestionIsNotGivenTheRequest) {
    // The timer runs while a question is open: the link may find the
    // programmer gone meanwhile.
    struct LosingOperator : ScriptedOperator {
        AEIData* data = nullptr;
        MsgAnswer MessageBox(const std::string& c, const std::string& t, MsgIcon i, MsgButtons b) override {
            if (b == MsgButtons::YesNo && data) {
                ProgrammerState ps = data->GetProgrammerRecord();
                ps.on = 0;
                data->UpdateProgrammerRecord(ps);
            }
            const MsgAnswer a = ScriptedOperator::MessageBox(c, t, i, b);
            return b == MsgButtons::YesNo ? MsgAnswer::Yes : a;
        }
    } lose;
    FakeClock c;
    AEIData d(lose, c);
    lose.data = &d;
    ProgrammerState ps = d.GetProgrammerRecord();
    ps.on = 1;
    d.UpdateProgrammerRecord(ps);
    TagLogList list;
    RecordingHooks h;
    TagWorkflows w(d, list, h);
    FakeTagForm form(d);
    w.SetForm(&form);
    form.Type(0, "ABCD");
    form.Type(1, "1");
    form.Type(2, "LEFT");
    form.Type(3, "50-0");
    form.Type(5, "3"); // asks
    form.Type(6, "1");
    form.Type(7, "0");
    w.CmProgramTag();
    EXPECT_EQ(d.GetProgrammerRecord().operationState, 0);
    EXPECT_EQ(d.GetProgrammerRecord().on, 0); // not overwritten by a stale copy
    EXPECT_EQ(lose.boxes.back().text, kNotOn);
}

// ---- the outcome ----------------------------------------------------------------------

TEST_F(ProgramTag, SuccessLogsPromptsAndPrints) {
    TypeRailcar();
    wf.CmProgramTag();
    EXPECT_TRUE(Complete(kResultProgramOk));
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF not checked");
    EXPECT_EQ(Prog().operationResult, 0);
    EXPECT_EQ(Total(), 1);
    ASSERT_EQ(tagLog.Size(), 1u);
    EXPECT_NE(tagLog.Line(0).find("\"Railcar,ABCD,1234,RIGHT,50'6\",4,1,0\" 51,19,2"), std::string::npos);
    const std::string file = TagLogFile();
    EXPECT_NE(file.find(std::string(data.GetLastTagRecord().FrameText()) + "\r\n"), std::string::npos);
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].FieldText(1), "1234");
    EXPECT_EQ(hooks.lotDialogs, 0);
}

TEST_F(ProgramTag, NoLabelWithLabelPrintingOff) {
    SetOption(&SettingsBlock::labelPrintingOn, 0);
    TypeRailcar();
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    EXPECT_TRUE(hooks.labels.empty());
    EXPECT_EQ(Total(), 1);
}

TEST_F(ProgramTag, OtherFormatsHaveNoUmlerOrRfWords) {
    SelectFormat(2); // ASCII
    Form().Type(0, "hello");
    Form().Type(1, "world");
    SetOption(&SettingsBlock::autoRfCheck, 1);
    wf.CmProgramTag();
    EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "HELLO     ");
    EXPECT_TRUE(Complete(kResultProgramOk)); // no RF check for this format
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed");
    EXPECT_EQ(hooks.readerSearches, 0);
}

TEST_F(ProgramTag, EotDeviceGetsTheRfWordOnly) {
    SelectFormat(3);
    Form().Type(0, "ABCD");
    Form().Type(1, "12");
    Form().Type(2, "0");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, RF not checked");
}

TEST_F(ProgramTag, LogFileThatCannotBeWrittenIsReported) {
    data.SetTagLogFileName(dir.File("no such dir/tag log.txt"));
    TypeRailcar();
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_NE(op.boxes[0].text.find("no such dir/tag log.txt"), std::string::npos);
    EXPECT_EQ(Total(), 1); // still counted
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF not checked");
}

TEST_F(ProgramTag, LotNumberOnlyForCertifiedTagsWithTheReconditionCheck) {
    // Not certified: no dialog even with the check on; the lot fields reset.
    SetOption(&SettingsBlock::reconditionCheck, 1);
    TypeRailcar();
    wf.CmProgramTag();
    LastTagRecord r = data.GetLastTagRecord();
    r.reconditioned = 1;
    r.lotDay = 5;
    data.UpdateLastTagRecord(r);
    Complete(kResultProgramOk);
    EXPECT_EQ(hooks.lotDialogs, 0);
    EXPECT_EQ(data.GetLastTagRecord().reconditioned, 0);
    EXPECT_EQ(data.GetLastTagRecord().lotDay, 0u);
    EXPECT_EQ(hooks.labels.size(), 1u);
}

TEST_F(ProgramTag, NoLotDialogWithoutTheReconditionCheck) {
    SetReaderPort(1);
    wf.CmCertifyTag();
    Complete(kResultProgramOk);
    EXPECT_TRUE(ReaderResult(kResultRfAgrees));
    EXPECT_EQ(hooks.lotDialogs, 0);
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].reconditioned, 0);
}

TEST_F(ProgramTag, LotDialogCancelLogsWithoutLabel) {
    SetOption(&SettingsBlock::reconditionCheck, 1);
    SetReaderPort(1);
    hooks.lotAnswer = LotDialogResult::Cancel;
    wf.CmCertifyTag();
    Complete(kResultProgramOk);
    EXPECT_TRUE(ReaderResult(kResultRfAgrees));
    EXPECT_EQ(hooks.lotDialogs, 1);
    EXPECT_EQ(Total(), 1);
    EXPECT_TRUE(hooks.labels.empty());
}

TEST_F(ProgramTag, LotDialogOkLogsAndLabelsTheReconditionedTag) {
    SetOption(&SettingsBlock::reconditionCheck, 1);
    SetReaderPort(1);
    hooks.lotAnswer = LotDialogResult::Ok;
    hooks.onLot = [this] { // the dialog stores the lot data in the record
        LastTagRecord r = data.GetLastTagRecord();
        r.reconditioned = 1;
        r.lotDay = 100;
        r.lotYear = 24;
        data.UpdateLastTagRecord(r);
    };
    wf.CmCertifyTag();
    Complete(kResultProgramOk);
    ReaderResult(kResultRfAgrees);
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].reconditioned, 1);
    EXPECT_EQ(hooks.labels[0].lotDay, 100u);
    EXPECT_NE(tagLog.Line(0).find(" Reconditioned RF OK"), std::string::npos);
}

// ---- the WABTEC parts list ------------------------------------------------------------

class WabtecRig : public WorkflowRig {
protected:
    void SetUp() override {
        WorkflowRig::SetUp();
        TagFormatData f = data.GetTagFormatData(3); // EOT Device rows
        f.systemSlot = 0;
        SetText(f.formatName, "EOT WABTEC");
        data.UpdateTagFormatData(6, f);
        SelectFormat(6);
    }
    // KCS : prefix 9, type 0, side RIGHT, AT5541.
    void TypeEot(const std::string& mark, const std::string& number, const std::string& type,
                 const std::string& side, const std::string& tagType) {
        Form().Type(0, mark);
        Form().Type(1, number);
        Form().Type(2, type);
        Form().Type(3, side);
        Form().SetTagTypeText(tagType);
    }
};

TEST_F(WabtecRig, TagTypeMustBeOneOfTheTwo) {
    TypeEot("KCS", "23456", "0", "RIGHT", "AT5549");
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "The tag type must be either \"AT5541\" or \"AT5545\".");
    EXPECT_EQ(op.boxes[0].caption, "Velmora for Windows");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(Prog().operationState, 0);
}

TEST_F(WabtecRig, InitialMustBeOnTheList) {
    TypeEot("ZZZ", "23456", "0", "RIGHT", "AT5541");
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "The EOT Initial you entered is not on WABTEC's parts list.  Please check.");
    // GTWQ is listed only for AT5541.
    op.boxes.clear();
    TypeEot("GTWQ", "1", "0", "LEFT", "AT5545");
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "The EOT Initial you entered is not on WABTEC's parts list.  Please check.");
}

TEST_F(WabtecRig, TypeCodeMustMatch) {
    TypeEot("CSXE", "1", "0", "RIGHT", "AT5541"); // listed with type 2
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text,
              "The EOT Type Code you entered does not match WABTEC's parts list.  The correct EOT Type "
              "should be \"2\".");
}

TEST_F(WabtecRig, SideMustMatchAndTheMessageNamesTheListedSide) {
    TypeEot("KCS", "1", "0", "LEFT", "AT5541"); // listed RIGHT
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text,
              "The EOT Side Code you entered does not match WABTEC's parts list.  The correct Side Code "
              "should be \"RIGHT\"");
    op.boxes.clear();
    TypeEot("CNQ", "1", "0", "RIGHT", "AT5541"); // listed LEFT
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text,
              "The EOT Side Code you entered does not match WABTEC's parts list.  The correct Side Code "
              "should be \"LEFT\"");
}

TEST_F(WabtecRig, ThePartsListGivesTheLeadingDigit) {
    // A copy of the table entry with prefix 1 is not built in; KCS has 9.
    TypeEot("KCS", "23456", "0", "RIGHT", "AT5541");
    wf.CmProgramTag();
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), "923456");
    Complete(kResultProgramOk);
    EXPECT_NE(tagLog.Line(0).find(",KCS ,923456,"), std::string::npos);

    // A six-digit number that begins with another digit is refused before
    // anything is handed to the programmer.
    TypeEot("BNQ", "123456", "0", "RIGHT", "AT5541"); // prefix 0
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_NE(op.boxes[0].text.find("\"0\""), std::string::npos) << op.boxes[0].text;
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), "923456");
}

} // namespace
} // namespace velmora::test
