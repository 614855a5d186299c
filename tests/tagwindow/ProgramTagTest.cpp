// Program Tag: the programmer checks, field errors, the plausibility questions, the WABTEC parts list, the
// same-data question, the hand-over to the programmer link and what follows the programmer's outcome; and the words
// of each outcome: the prompt, what the tag log line says and whether the tag was counted, for every format kind,
// UMLER result, RF result and failure.
#include "WorkflowRig.h"

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
    EditProg([](ProgrammerState& ps) { ps.on = 0; });
    wf.CmProgramTag();
    EditProg([](ProgrammerState& ps) { ps.on = 1, ps.operationState = kOpRead; });
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 2u);
    EXPECT_EQ(Box(op.boxes[0]), std::string("Velmora Error|4|") + kNotOn);
    EXPECT_EQ(op.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(Box(op.boxes[1]), std::string("Velmora Error|1|") + kBusy);
    EXPECT_EQ(Prog().operationState, kOpRead); // the running operation is kept
    EXPECT_TRUE(Form().focused.size() >= 2 && Form().focused.back() == 0);
    for (const auto& prompt : op.prompts) EXPECT_EQ(prompt.first, ""); // at most the previous one cleared
}

TEST_F(ProgramTag, HandsTheFrameToTheProgrammerLink) {
    TypeRailcar("ns", "1234", "40-6");
    wf.CmProgramTag();
    EXPECT_TRUE(op.boxes.empty());
    // What was typed, upper-cased, worked out from the bit layout: "NS  " is 269730 in base 27; 40-6 is
    // 486 in = 123 dm; 4 axles, bearing 1, platform 0. The record holds the texts as the frame does.
    const std::string frame = "9B076880134A7B1900000000000033";
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_EQ(GetText(Prog().frameText), frame);
    EXPECT_EQ(data.GetLastProgrammedFrame(), frame);
    EXPECT_EQ(op.prompts.back(),
              std::make_pair(std::string("Programming Tag - place tag in programmer and hold it down"), 0));
    EXPECT_NE(Form().rawData.find(frame), std::string::npos);
    const LastTagRecord r = data.GetLastTagRecord();
    EXPECT_EQ(std::string(r.FieldText(0)) + "|" + std::string(r.FrameText()) + "|" + std::string(r.TagType()),
              "NS  |" + frame + "|AT5118");
    // Read flag, format, certification and the UMLER result (no register file) in one number.
    EXPECT_EQ(r.readFlag * 1000 + r.formatIndex * 100 + r.certify * 10 + r.umlerResult,
              kRailcarSlot * 100 + kUmlerNotChecked);
}

TEST_F(ProgramTag, FieldErrorsAreListedInThePromptAndMarked) {
    TypeRailcar("AB1", "", "50-13");
    wf.CmProgramTag();
    ASSERT_FALSE(op.prompts.empty());
    EXPECT_EQ(op.prompts.back(), std::make_pair(std::string("The following fields are in error: Equipment Initial, "
                                                            "Car Number, Length"), 1));
    EXPECT_TRUE(op.boxes.empty());
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Form().marks.error[r], r != 2) << r;
    EXPECT_GE(Form().repaints, 1);
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(data.GetLastTagRecord().FieldText(0), ""); // the previous record stays
}

TEST_F(ProgramTag, UnusualValuesAskAndNoStops) {
    struct Case {
        const char *axles, *bearing, *platform;
        std::vector<MsgAnswer> answers;
        std::vector<std::string> asked;
        bool programs;
    };
    const Case cases[] = {
        {"3", "2", "5", {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::No}, {kBearingQ, kPlatformQ, kAxlesQ}, false},
        {"4", "1", "0", {}, {}, true},       {"2", "1", "0", {}, {}, true},
        {"6", "1", "0", {}, {}, true},       {"7", "1", "0", {}, {}, true},
        {"1", "1", "0", {MsgAnswer::Yes}, {kAxlesQ}, true}, {"3", "1", "0", {MsgAnswer::Yes}, {kAxlesQ}, true},
        {"5", "1", "0", {MsgAnswer::No}, {kAxlesQ}, false},
    };
    for (const Case& c : cases) {
        op.boxes.clear();
        EditProg([](ProgrammerState& ps) { ps.operationState = 0; });
        data.UpdateLastProgrammedFrame("");
        TypeRailcar("ABCD", "1", "50-6", c.axles, c.bearing, c.platform);
        op.answers.assign(c.answers.begin(), c.answers.end());
        wf.CmProgramTag();
        EXPECT_EQ(BoxTexts(), c.asked) << c.axles << c.bearing << c.platform;
        for (const auto& b : op.boxes) EXPECT_EQ(Box(b) + (b.buttons == MsgButtons::YesNo ? "" : " not Yes/No"),
                                                  "Velmora for Windows|2|" + b.text);
        EXPECT_EQ(Prog().operationState, c.programs ? kOpProgram : 0) << c.axles << c.bearing << c.platform;
    }
}

TEST_F(ProgramTag, AMissingBearingRowCountsAsZero) {
    CopyFormat(kRailcarSlot, 8, "Short Railcar", [](TagFormatData& f) {
        for (int r = 6; r < kFieldRows; ++r) SetText(f.fieldName[r], "");
    });
    SelectFormat(8);
    TypeRailcar();
    wf.CmProgramTag();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kBearingQ});
}

TEST_F(ProgramTag, SameDataAsksUnlessTheLastAttemptFailed) {
    TypeRailcar();
    wf.CmProgramTag();
    EXPECT_TRUE(Complete(kResultProgramOk));
    op.boxes.clear();
    wf.CmProgramTag();
    EXPECT_EQ(Box(op.boxes.at(0)), std::string("Velmora for Windows|2|") + kSameQ);
    EXPECT_EQ(Prog().operationState, 0); // declined

    Answer({MsgAnswer::Yes});
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_TRUE(Complete(kResultProgramFailed));

    wf.CmProgramTag(); // the retry of the failed attempt does not ask
    EXPECT_EQ(op.boxes.size(), 2u);
    EXPECT_EQ(Prog().operationState, kOpProgram);
}

TEST_F(ProgramTag, AProgrammerLostDuringAQuestionIsNotGivenTheRequest) {
    // The timer runs while a question is open: the link may find the programmer gone meanwhile.
    op.onQuestion = [this] { EditProg([](ProgrammerState& ps) { ps.on = 0; }); };
    Answer({MsgAnswer::Yes});
    TypeRailcar("ABCD", "1", "50-0", "3"); // 3 axles ask
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(Prog().on, 0); // not overwritten by a stale copy
    EXPECT_EQ(op.boxes.back().text, kNotOn);
}

TEST_F(ProgramTag, SuccessLogsCountsAndPrints) {
    TypeRailcar();
    wf.CmProgramTag();
    EXPECT_TRUE(Complete(kResultProgramOk));
    ASSERT_EQ(tagLog.Size(), 1u);
    EXPECT_NE(TagLogFile().find(tagLog.Line(0)), std::string::npos);
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].FieldText(1), "1234");

    SetOption(&SettingsBlock::labelPrintingOn, 0);
    TypeRailcar("ABCD", "1235");
    wf.CmProgramTag();
    Complete(kResultProgramOk);
    EXPECT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(Total(), 2);
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

TEST_F(ProgramTag, LotNumberDialogOnlyForCertifiedTagsWithTheReconditionCheck) {
    struct Case {
        const char* what;
        bool reconditionCheck, certify;
        LotDialogResult answer;
        int dialogs, labels, reconditioned;
    };
    const Case cases[] = {
        {"not certified", true, false, LotDialogResult::Ok, 0, 1, 0},
        {"check off", false, true, LotDialogResult::Ok, 0, 1, 0},
        {"cancelled", true, true, LotDialogResult::Cancel, 1, 0, 0},
        {"lot stored", true, true, LotDialogResult::Ok, 1, 1, 1},
    };
    hooks.onLot = [this] { // the dialog stores the lot data in the record
        LastTagRecord r = data.GetLastTagRecord();
        r.reconditioned = 1, r.lotDay = 100;
        data.UpdateLastTagRecord(r);
    };
    SetReaderPort(1);
    for (const Case& c : cases) {
        hooks.labels.clear();
        hooks.lotDialogs = 0;
        hooks.lotAnswer = c.answer;
        SetOption(&SettingsBlock::reconditionCheck, c.reconditionCheck);
        data.UpdateLastProgrammedFrame("");
        const int32_t before = Total();
        if (c.certify) {
            wf.CmCertifyTag();
        } else {
            TypeRailcar();
            wf.CmProgramTag();
            LastTagRecord r = data.GetLastTagRecord(); // left from an earlier tag: reset
            r.reconditioned = 1, r.lotDay = 5;
            data.UpdateLastTagRecord(r);
        }
        Complete(kResultProgramOk);
        if (c.certify) EXPECT_TRUE(ReaderResult(kResultRfAgrees)) << c.what;
        EXPECT_EQ(hooks.lotDialogs * 10 + Total() - before, c.dialogs * 10 + 1) << c.what;
        ASSERT_EQ(static_cast<int>(hooks.labels.size()), c.labels) << c.what;
        if (c.labels)
            EXPECT_EQ(hooks.labels[0].reconditioned * 1000 + hooks.labels[0].lotDay, c.reconditioned * 1100) << c.what;
    }
}

TEST_F(ProgramTag, WabtecPartsListRefusals) {
    AddWabtecFormat();
    SelectFormat(6);
    const std::string kNotListed = "The EOT Initial you entered is not on WABTEC's parts list.  Please check.";
    const std::string kSide = "The EOT Side Code you entered does not match WABTEC's parts list.  The correct "
                              "Side Code should be ";
    struct Case {
        const char *mark, *side, *tagType;
        std::string message;
    };
    const Case cases[] = {
        {"KCS", "RIGHT", "AT5549", "The tag type must be either \"AT5541\" or \"AT5545\"."},
        {"ZZZ", "RIGHT", "AT5541", kNotListed},
        {"GTWQ", "LEFT", "AT5545", kNotListed}, // listed only for AT5541
        {"CSXE", "RIGHT", "AT5541",
         "The EOT Type Code you entered does not match WABTEC's parts list.  The correct EOT Type should be \"2\"."},
        {"KCS", "LEFT", "AT5541", kSide + "\"RIGHT\""},
        {"CNQ", "RIGHT", "AT5541", kSide + "\"LEFT\""},
    };
    for (const Case& c : cases) {
        op.boxes.clear();
        TypeRows({c.mark, "23456", "0", c.side});
        Form().SetTagTypeText(c.tagType);
        wf.CmProgramTag();
        ASSERT_EQ(BoxTexts(), std::vector<std::string>{c.message}) << c.mark;
        EXPECT_EQ(Box(op.boxes[0]), "Velmora for Windows|4|" + c.message);
        EXPECT_EQ(Prog().operationState, 0);
    }
}

struct OutcomeCase {
    const char* what;
    std::function<void()> run;
    const char* prompt;
    const char* logged; // nullptr: a failure, nothing logged or counted, the prompt blinks
};

// One outcome per row, each on a fresh rig.
class ResultWords : public WorkflowRig, public ::testing::WithParamInterface<int> {
protected:
    std::vector<OutcomeCase> Cases();
};

std::vector<OutcomeCase> ResultWords::Cases() {
    auto wabtec = [this] {
        AddWabtecFormat();
        SelectFormat(6);
        TypeRows({"KCS", "23456", "0", "RIGHT"});
        Form().SetTagTypeText("AT5541");
    };
    auto program = [this] { wf.CmProgramTag(), Complete(kResultProgramOk); };
    auto rf = [this, program](uint8_t result) {
        SetOption(&SettingsBlock::autoRfCheck, 1);
        SetReaderPort(1);
        TypeRailcar();
        program();
        ReaderResult(result);
    };
    auto certify = [this](bool recondition) {
        SetReaderPort(1);
        SetOption(&SettingsBlock::reconditionCheck, recondition);
        hooks.lotAnswer = LotDialogResult::Ok;
        hooks.onLot = [this] { // the dialog marks the tag reconditioned
            LastTagRecord r = data.GetLastTagRecord();
            r.reconditioned = 1, data.UpdateLastTagRecord(r);
        };
        wf.CmCertifyTag();
        Complete(kResultProgramOk);
        ReaderResult(kResultRfAgrees);
        EXPECT_EQ(data.GetSettings().certifiedCount, 1);
    };
    auto umler = [this, program](const char* number) {
        WriteUmler({{"ABCD", 1234, "A405", 600, 4, 0}, {"ABCD", 1300, "A405", 600, 4, 2}});
        TypeRailcar("ABCD", number, "50-0");
        Answer({MsgAnswer::Yes});
        program();
    };
    return {
        {"railcar", [=, this] { TypeRailcar(), program(); },
         "Tag was successfully programmed, UMLER not checked, RF not checked", " UMLER not checked RF not checked"},
        {"ASCII has neither word",
         [=, this] {
             SetOption(&SettingsBlock::autoRfCheck, 1);
             SelectFormat(2);
             TypeRows({"hello", "world"});
             program();
             EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "HELLO     "); // ten characters in 60 bits
         },
         "Tag was successfully programmed", "HELLO"},
        {"EOT device has the RF word only", [=, this] { SelectFormat(3), TypeRows({"ABCD", "12", "0"}), program(); },
         "Tag was successfully programmed, RF not checked", "ABCD"},
        {"WABTEC number with the parts list's digit", [=] { wabtec(), program(); },
         "Tag was successfully programmed, RF not checked", ",KCS ,923456,"},
        {"WABTEC read by an old reader",
         [=, this] {
             SetOption(&SettingsBlock::autoRfCheck, 1);
             SetReaderPort(0);
             wabtec();
             program();
             ReaderResult(kResultRfIdOnly);
             EXPECT_TRUE(op.boxes.empty()); // no partial-check notice for these tags
         },
         "Tag was successfully programmed, RF initial and number checked only", "KCS"},
        {"UMLER agrees", [=] { umler("1234"); }, "Tag was successfully programmed, UMLER Ok, RF not checked",
         " UMLER Ok RF not checked"},
        {"UMLER disagrees", [=] { umler("1300"); },
         "Tag was successfully programmed, UMLER disagrees, RF not checked", " UMLER disagrees RF not checked"},
        {"RF agrees", [=] { rf(kResultRfAgrees); }, "Tag was successfully programmed, UMLER not checked, RF Ok",
         " RF Ok"},
        {"RF initial and number only", [=] { rf(kResultRfIdOnly); },
         "Tag was successfully programmed, UMLER not checked, RF initial and number checked only", " RF ID only"},
        {"RF cancelled: finished unchecked", [=] { rf(kResultRfCancelled); },
         "Tag not certified, not RF checked", " RF not checked"},
        {"certified", [=] { certify(false); }, "Tag was successfully programmed, RF checked and certified",
         " Certified RF OK"},
        {"reconditioned", [=] { certify(true); }, "Tag was successfully programmed, RF checked and certified",
         " Reconditioned RF OK"},
        {"programming failed: the result stays for the same-data question",
         [=, this] {
             TypeRailcar(), wf.CmProgramTag(), Complete(kResultProgramFailed);
             EXPECT_EQ(Prog().operationResult, kResultProgramFailed);
         },
         "Error - could not program tag", nullptr},
        {"reading failed: the result is cleared",
         [=, this] {
             wf.CmReadTag(), Complete(kResultReadFailed);
             EXPECT_EQ(Prog().operationResult, 0);
         },
         "Error - could not read tag", nullptr},
    };
}

TEST_P(ResultWords, PromptTagLogAndCounter) {
    const std::vector<OutcomeCase> cases = Cases();
    ASSERT_EQ(cases.size(), 14u);
    const OutcomeCase& c = cases[static_cast<std::size_t>(GetParam())];
    c.run();
    EXPECT_EQ(op.LastPrompt(), c.prompt) << c.what;
    EXPECT_EQ(op.prompts.back().second, c.logged ? 0 : 1) << c.what;
    EXPECT_EQ(Prog().operationState, 0) << c.what;
    EXPECT_EQ(Total(), c.logged ? 1 : 0) << c.what;
    ASSERT_EQ(tagLog.Size(), c.logged ? 1u : 0u) << c.what;
    if (c.logged) EXPECT_NE(tagLog.Line(0).find(c.logged), std::string::npos) << c.what << ": " << tagLog.Line(0);
    if (c.logged) EXPECT_EQ(Prog().operationResult, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(EachOutcome, ResultWords, ::testing::Range(0, 14));

} // namespace
} // namespace velmora::test
