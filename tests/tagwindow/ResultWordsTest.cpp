// The words of each outcome: the prompt the operator is left with, what the tag log line says and whether the
// tag was counted, for every format kind, UMLER result, RF result and failure.
#include "WorkflowRig.h"

#include <functional>

namespace velmora::test {
namespace {

struct Case {
    const char* what;
    std::function<void()> run;
    const char* prompt;
    const char* logged; // nullptr: a failure, nothing logged or counted, the prompt blinks
};

// One outcome per row, each on a fresh rig.
class ResultWords : public WorkflowRig, public ::testing::WithParamInterface<int> {
protected:
    std::vector<Case> Cases();
};

std::vector<Case> ResultWords::Cases() {
    auto wabtec = [this] {
        AddWabtecFormat();
        SelectFormat(6);
        const char* typed[] = {"KCS", "23456", "0", "RIGHT"};
        for (int r = 0; r < 4; ++r) Form().Type(r, typed[r]);
        Form().SetTagTypeText("AT5541");
    };
    auto program = [this] {
        wf.CmProgramTag();
        Complete(kResultProgramOk);
    };
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
        hooks.onLot = [this] {
            LastTagRecord r = data.GetLastTagRecord();
            r.reconditioned = 1;
            data.UpdateLastTagRecord(r);
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
             Form().Type(0, "hello");
             Form().Type(1, "world");
             program();
             EXPECT_EQ(data.GetLastTagRecord().FieldText(0), "HELLO     "); // ten characters in 60 bits
         },
         "Tag was successfully programmed", "HELLO"},
        {"EOT device has the RF word only",
         [=, this] {
             SelectFormat(3);
             Form().Type(0, "ABCD"), Form().Type(1, "12"), Form().Type(2, "0");
             program();
         },
         "Tag was successfully programmed, RF not checked", "ABCD"},
        {"WABTEC number with the parts list's digit", [=, this] { wabtec(), program(); },
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
        {"UMLER agrees", [=, this] { umler("1234"); }, "Tag was successfully programmed, UMLER Ok, RF not checked",
         " UMLER Ok RF not checked"},
        {"UMLER disagrees", [=, this] { umler("1300"); },
         "Tag was successfully programmed, UMLER disagrees, RF not checked", " UMLER disagrees RF not checked"},
        {"RF agrees", [=, this] { rf(kResultRfAgrees); }, "Tag was successfully programmed, UMLER not checked, RF Ok",
         " RF Ok"},
        {"RF initial and number only", [=, this] { rf(kResultRfIdOnly); },
         "Tag was successfully programmed, UMLER not checked, RF initial and number checked only", " RF ID only"},
        {"RF cancelled: finished unchecked", [=, this] { rf(kResultRfCancelled); },
         "Tag not certified, not RF checked", " RF not checked"},
        {"certified", [=, this] { certify(false); }, "Tag was successfully programmed, RF checked and certified",
         " Certified RF OK"},
        {"reconditioned", [=, this] { certify(true); }, "Tag was successfully programmed, RF checked and certified",
         " Reconditioned RF OK"},
        {"programming failed: the result stays for the same-data question",
         [=, this] {
             TypeRailcar();
             wf.CmProgramTag();
             Complete(kResultProgramFailed);
             EXPECT_EQ(Prog().operationResult, kResultProgramFailed);
         },
         "Error - could not program tag", nullptr},
        {"reading failed: the result is cleared",
         [=, this] {
             wf.CmReadTag();
             Complete(kResultReadFailed);
             EXPECT_EQ(Prog().operationResult, 0);
         },
         "Error - could not read tag", nullptr},
    };
}

TEST_P(ResultWords, PromptTagLogAndCounter) {
    const std::vector<Case> cases = Cases();
    ASSERT_EQ(cases.size(), 14u);
    const Case& c = cases[static_cast<std::size_t>(GetParam())];
    c.run();
    EXPECT_EQ(op.LastPrompt(), c.prompt) << c.what;
    EXPECT_EQ(op.prompts.back().second, c.logged ? 0 : 1) << c.what;
    EXPECT_EQ(Prog().operationState, 0) << c.what;
    EXPECT_EQ(Total(), c.logged ? 1 : 0) << c.what;
    if (c.logged) {
        ASSERT_EQ(tagLog.Size(), 1u) << c.what;
        EXPECT_NE(tagLog.Line(0).find(c.logged), std::string::npos) << c.what << ": " << tagLog.Line(0);
        EXPECT_EQ(Prog().operationResult, 0) << c.what;
    } else {
        EXPECT_EQ(tagLog.Size(), 0u) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(EachOutcome, ResultWords, ::testing::Range(0, 14));

} // namespace
} // namespace velmora::test
