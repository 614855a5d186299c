// Read Tag and the RF check of a programmed tag with the portable reader: every outcome, with and without a
// reader port. The words each outcome leaves are in ProgramTagTest.
#include "WorkflowRig.h"

namespace velmora::test {
namespace {

constexpr const char* kSearchQ =
    "A communication port has not been assigned to the portable reader.  Would you like to system to "
    "search for the portable reader?";
constexpr const char* kAssignQ = "Would you like to manually assign a communication port to the portable reader?";
constexpr const char* kPrintQ = "Would you like to print the label without an RF check?";
constexpr const char* kCannotCertify =
    "A tag cannot be certified for reuse unless it is successfully checked with an RF reader.";
constexpr const char* kPartial =
    "The portable reader can only do a partial check of the data programmed into the tag.  To get the latest "
    "portable reader firmware version contact Corvelle at 555 014-2290 or 555 014-3381.";
constexpr const char* kOldFirmware =
    "A tag cannot be certified by a portable reader that has firmware version prior to 1.6.  To get the "
    "latest firmware contact Corvelle at 555 014-2290 or 555 014-3381.";
constexpr const char* kDisagreeQ =
    "The data in the tag read by the portable RF reader disagrees with the data programmed into the tag.  Do "
    "you want to try to read the tag again?";
constexpr const char* kDisagreeCertifyQ =
    "The data in the tag read by the portable RF reader disagrees with the data programmed into the tag.  The "
    "tag cannot be certified.  Do you want to try to read the tag again?";
constexpr const char* kPrintAnywayQ =
    "Do you want to print the label anyway?  The label will show that the tag was not RF checked.";

class ReadTag : public WorkflowRig {
protected:
    // The programmer's answer to a read: one character, then the frame.
    void Response(const std::string& frame) {
        EditProg([&](ProgrammerState& ps) { SetText(ps.response, "R" + frame); });
    }
};

// NS, 4321, LEFT, 40-6 (123 dm), 4 axles, bearing 1, platform 0, worked out from the bit layout.
constexpr const char* kRailcarFrame = "9B07688043847B1900000000000033";

TEST_F(ReadTag, RequestsARead) {
    wf.CmReadTag();
    EXPECT_EQ(Prog().operationState, kOpRead);
    EXPECT_EQ(GetText(Prog().frameText), "");
    EXPECT_EQ(op.LastPrompt(), "Reading Tag - place tag in programmer and hold it down");
    EXPECT_EQ(Form().focused.back(), 0);
}

TEST_F(ReadTag, ATagFillsTheFormOfItsFormat) {
    for (int shown : {kRailcarSlot, 2}) { // the railcar form, or ASCII replaced by it
        SelectFormat(shown);
        const std::size_t before = forms.size();
        Response(kRailcarFrame);
        EXPECT_TRUE(Complete(kResultReadOk));
        EXPECT_EQ(forms.size(), before + (shown != kRailcarSlot)) << shown;
        if (shown != kRailcarSlot) EXPECT_EQ(forms[before - 1]->replaceCalls, std::vector<bool>{false});
        EXPECT_EQ(data.GetSettings().currentFormat * 10 + Form().formatIndex, kRailcarSlot * 11);
        EXPECT_EQ(Shown({0, 1, 2, 3, 5}), "NS  ,4321,LEFT,40-06,4"); // as the frame holds them
        EXPECT_EQ(Form().sideRow, 2);
        EXPECT_EQ(op.LastPrompt(), "Tag was successfully read");
        EXPECT_NE(Form().rawData.find(kRailcarFrame), std::string::npos);
        EXPECT_EQ(data.GetLastTagRecord().readFlag, 0);
        EXPECT_EQ(Prog().operationResult, kResultReadOk); // stays until the next outcome
    }
}

class RfCheck : public WorkflowRig {
protected:
    void SetUp() override {
        WorkflowRig::SetUp();
        SetOption(&SettingsBlock::autoRfCheck, 1);
    }
    // Programs a railcar and lets the programmer succeed.
    bool ProgramRailcar(const std::string& number = "1234") {
        data.UpdateLastProgrammedFrame("");
        TypeRailcar("ABCD", number);
        wf.CmProgramTag();
        EXPECT_EQ(Prog().operationState, kOpProgram);
        return Complete(kResultProgramOk);
    }
    bool ReadRequested(int port) { return GetCommLinkData(data, port).reader.rfReadRequested == 1; }
    void ClearReadRequest(int port) {
        CommLinkData l = GetCommLinkData(data, port);
        l.reader.rfReadRequested = 0;
        UpdateCommLinkData(data, port, l);
    }
};

TEST_F(RfCheck, AReaderPortStartsTheReadingUnlessTheCheckIsOff) {
    SetReaderPort(1);
    EXPECT_FALSE(ProgramRailcar("1"));
    EXPECT_EQ(Prog().operationState, kOpRfCheck);
    EXPECT_TRUE(ReadRequested(1));
    EXPECT_FALSE(ReadRequested(0));
    EXPECT_EQ(op.LastPrompt(), "Please read the tag with the portable reader");
    EXPECT_TRUE(Total() == 0 && op.boxes.empty());
    ClearReadRequest(1);
    EXPECT_TRUE(ReaderResult(kResultRfAgrees));
    EXPECT_EQ(Total(), 1);
    EXPECT_EQ(hooks.labels.back().rfResult, kRfOk);

    SetOption(&SettingsBlock::autoRfCheck, 0);
    EXPECT_TRUE(ProgramRailcar("2"));
    EXPECT_EQ(Total(), 2);
    EXPECT_FALSE(ReadRequested(1));
}

TEST_F(RfCheck, PartialCheckNoticeOnceARun) {
    SetReaderPort(1);
    ProgramRailcar("1");
    EXPECT_TRUE(ReaderResult(kResultRfIdOnly));
    ProgramRailcar("2");
    ReaderResult(kResultRfIdOnly);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(Box(op.boxes[0]), std::string("Velmora for Windows|4|") + kPartial);
    EXPECT_EQ(Total(), 2);
}

TEST_F(RfCheck, DisagreementRetriesOrPrintsOrDrops) {
    SetReaderPort(1);
    ProgramRailcar("1");
    ClearReadRequest(1);
    Answer({MsgAnswer::Yes});
    EXPECT_TRUE(ReaderResult(kResultRfDisagrees));
    EXPECT_EQ(op.boxes.back().caption + "|" + op.boxes.back().text, std::string("Velmora Error|") + kDisagreeQ);
    EXPECT_TRUE(Prog().operationState == kOpRfCheck && ReadRequested(1));
    EXPECT_EQ(op.LastPrompt(), "Please read the tag with the portable reader");

    Answer({MsgAnswer::No, MsgAnswer::Yes});
    EXPECT_TRUE(ReaderResult(kResultRfDisagrees));
    EXPECT_EQ(op.boxes.back().text, kPrintAnywayQ);
    EXPECT_EQ(Total(), 1);
    EXPECT_EQ(hooks.labels.back().rfResult, kRfNotChecked);
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF not checked");
    EXPECT_EQ(Prog().operationResult, 0);

    ProgramRailcar("2");
    Answer({MsgAnswer::No, MsgAnswer::No});
    EXPECT_TRUE(ReaderResult(kResultRfDisagrees));
    EXPECT_TRUE(Total() == 1 && hooks.labels.size() == 1u); // neither logged nor labelled
    EXPECT_EQ(Prog().operationState * 10 + Prog().operationResult, 0);
    EXPECT_EQ(data.GetLastTagRecord().rfResult, kRfNotChecked);
}

TEST_F(RfCheck, NoReaderPortAsksUpToThreeQuestionsAndALaterPortResumesATagNotLogged) {
    struct Case {
        int port;
        std::vector<MsgAnswer> answers;
        std::vector<std::string> asked;
        bool finished;
        int searches, dialogs, logged;
    };
    const Case cases[] = {
        {255, {MsgAnswer::Yes}, {kSearchQ}, false, 1, 0, 0},
        {255, {MsgAnswer::No, MsgAnswer::Yes}, {kSearchQ, kAssignQ}, false, 0, 1, 0},
        {255, {MsgAnswer::No, MsgAnswer::No, MsgAnswer::Yes}, {kSearchQ, kAssignQ, kPrintQ}, true, 0, 0, 1},
        {255, {MsgAnswer::No, MsgAnswer::No, MsgAnswer::No}, {kSearchQ, kAssignQ, kPrintQ}, true, 0, 0, 0},
        {7, {MsgAnswer::No, MsgAnswer::No, MsgAnswer::No}, {kSearchQ, kAssignQ, kPrintQ}, true, 0, 0, 0},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        op.boxes.clear();
        hooks.labels.clear();
        hooks.readerSearches = hooks.portDialogs = 0;
        const int32_t before = Total();
        SetReaderPort(c.port);
        op.answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(ProgramRailcar(std::to_string(row)), c.finished);
        EXPECT_EQ(BoxTexts(), c.asked);
        EXPECT_EQ(Box(op.boxes[0]), "Velmora Error|2|" + c.asked[0]);
        EXPECT_EQ(hooks.readerSearches * 10 + hooks.portDialogs, c.searches * 10 + c.dialogs);
        EXPECT_EQ((Total() - before) * 10 + static_cast<int>(hooks.labels.size()), c.logged * 11);
        // Left standing for a reader port found or assigned later, unless already finished: the port
        // dialog's OK then resumes the check.
        EXPECT_EQ(Prog().operationState * 10 + Prog().operationResult, c.logged ? 0 : kResultProgramOk);
        SetReaderPort(2);
        EXPECT_EQ(wf.ProgrammerCompletion(), c.logged == 1);
        EXPECT_EQ(ReadRequested(2), !c.logged);
        if (!c.logged) {
            EXPECT_TRUE(ReaderResult(kResultRfAgrees));
            EXPECT_EQ(Total() - before, 1);
            EXPECT_EQ(hooks.labels.back().FieldText(1), std::to_string(row)); // the tag left standing
        }
        ClearReadRequest(2);
    }
}

TEST_F(RfCheck, APortDialogThatResumesFromInsideIsHandled) {
    hooks.onPortDialog = [this] {
        SetReaderPort(3);
        EXPECT_FALSE(wf.ProgrammerCompletion());
    };
    Answer({MsgAnswer::No, MsgAnswer::Yes});
    EXPECT_FALSE(ProgramRailcar());
    EXPECT_EQ(Prog().operationState, kOpRfCheck);
    EXPECT_TRUE(ReadRequested(3));
}

TEST_F(RfCheck, AStandingResultTwoIsNotResumedDuringAnotherOperation) {
    Answer({MsgAnswer::No, MsgAnswer::No, MsgAnswer::No});
    ProgramRailcar("1");
    data.UpdateLastProgrammedFrame("");
    TypeRailcar("ABCD", "2");
    wf.CmProgramTag(); // the next tag is being programmed
    SetReaderPort(2);
    EXPECT_TRUE(wf.ProgrammerCompletion()); // the port dialog's OK meanwhile
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_FALSE(ReadRequested(2));
}

class CertifyRf : public RfCheck {
protected:
    void SetUp() override {
        RfCheck::SetUp();
        SetOption(&SettingsBlock::autoRfCheck, 0); // a certification always waits
    }
    bool Certify() {
        data.UpdateLastProgrammedFrame("");
        wf.CmCertifyTag();
        EXPECT_EQ(Prog().operationState, kOpProgram);
        EXPECT_EQ(data.GetLastTagRecord().certify, 1);
        return Complete(kResultProgramOk);
    }
};

TEST_F(CertifyRf, CancelledOrOldReaderOrDisagreementNeverLogs) {
    SetReaderPort(0);
    EXPECT_FALSE(Certify()); // a certification always waits for its reading
    EXPECT_TRUE(ReaderResult(kResultRfCancelled));
    EXPECT_EQ(Box(op.boxes.back()), std::string("Velmora Error|4|") + kCannotCertify);
    EXPECT_EQ(op.LastPrompt(), "Tag not certified, not RF checked");

    Certify();
    EXPECT_TRUE(ReaderResult(kResultRfIdOnly));
    EXPECT_EQ(Box(op.boxes.back()), std::string("Velmora for Windows|4|") + kOldFirmware);
    EXPECT_EQ(Prog().operationResult, 0);

    Certify();
    Answer({MsgAnswer::No});
    EXPECT_TRUE(ReaderResult(kResultRfDisagrees));
    EXPECT_EQ(op.boxes.back().text, kDisagreeCertifyQ);
    EXPECT_EQ(Prog().operationState * 10 + Prog().operationResult, kResultRfDisagrees);
    EXPECT_TRUE(Total() == 0 && hooks.labels.empty() && data.GetSettings().certifiedCount == 0);
}

TEST_F(CertifyRf, WithoutAReaderACertificationIsNotFinished) {
    Answer({MsgAnswer::No, MsgAnswer::No});
    EXPECT_TRUE(Certify());
    ASSERT_EQ(op.boxes.size(), 3u);
    EXPECT_EQ(op.boxes[2].text, kCannotCertify);
    EXPECT_TRUE(Total() == 0 && hooks.labels.empty());
    EXPECT_EQ(Prog().operationResult, kResultProgramOk); // a reader port resumes it
    SetReaderPort(1);
    EXPECT_FALSE(wf.ProgrammerCompletion());
    EXPECT_TRUE(ReaderResult(kResultRfAgrees) && Total() == 1);
}

} // namespace
} // namespace velmora::test
