// The comparison of a typed railcar or locomotive with the UMLER register, and
// the UMLER Lookup command that fills the form from it.
#include "WorkflowRig.h"

namespace velmora::test {
namespace {

constexpr const char* kUmlerQ =
    "Some fields are in disagreement with the vehicle's UMLER data.  Do you want to continue programming the tag?";

class Umler : public WorkflowRig {
protected:
    void SetUp() override {
        WorkflowRig::SetUp();
        WriteUmler({{"ABCD", 1234, "A405", 600, 4, 0},
                    {"ABCD", 1300, "A405", 600, 4, 2},
                    {"LOCO", 77, "D123", 720, 6, 0},
                    {"NS", 5, "L612", 480, 4, 0}});
    }
};

TEST_F(Umler, LengthAgreesWithinSixInches) {
    // 594 and 607 inches disagree; 595 to 606 agree.
    const std::pair<const char*, int> cases[] = {
        {"49-6", kUmlerDisagrees}, {"49-7", kUmlerAgrees}, {"50-0", kUmlerAgrees},
        {"50-6", kUmlerAgrees},    {"50-7", kUmlerDisagrees}};
    for (const auto& [length, want] : cases) {
        TypeRailcar("ABCD", "1234", length);
        EXPECT_EQ(wf.CompareWithUmler(), want) << length;
        EXPECT_EQ(Form().marks.umlerValue[3], want == kUmlerAgrees ? -1 : 600) << length;
    }
    EXPECT_EQ(data.GetVehicleKey(), "ABCD001234");
    EXPECT_EQ(data.GetUMLERRecord().lengthInches, 600);
    EXPECT_EQ(hooks.umlerRefreshes, 5);
}

TEST_F(Umler, DecimeterLengthsAreComparedInInches) {
    SetOption(&SettingsBlock::feetInches, 0);
    NewForm(false);
    TypeRailcar("ABCD", "1234", "152"); // 600 inches
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerAgrees);
    TypeRailcar("ABCD", "1234", "150"); // 593 inches
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerDisagrees);
}

TEST_F(Umler, AxlesAndPlatformsDisagreeAndAreMarked) {
    TypeRailcar("ABCD", "1234", "50-0", "6", "1", "1");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerDisagrees);
    EXPECT_EQ(Form().marks.umlerValue[5], 4);
    EXPECT_EQ(Form().marks.umlerValue[7], 0);
    EXPECT_EQ(Form().marks.umlerValue[3], -1);
    EXPECT_EQ(Form().marks.umlerClass, -1);
    EXPECT_GE(Form().repaints, 1);
}

TEST_F(Umler, DisagreementAsksAndNoStopsWithTheMarksKept) {
    TypeRailcar("ABCD", "1300"); // register has 2 platforms
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, kUmlerQ);
    EXPECT_EQ(op.boxes[0].caption, "Velmora for Windows");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(Form().marks.umlerValue[7], 2);
    Answer({MsgAnswer::Yes});
    wf.CmProgramTag();
    EXPECT_EQ(Prog().operationState, kOpProgram);
    EXPECT_EQ(data.GetLastTagRecord().umlerResult, kUmlerDisagrees);
}

TEST_F(Umler, ALocomotiveOnTheRailcarFormIsMarked) {
    TypeRailcar("LOCO", "77", "60-0", "6");
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, kUmlerQ);
    EXPECT_EQ(Form().marks.umlerClass, 0); // "UMLER Locomotive"
    SelectFormat(kLocomotiveSlot);
    Form().Type(0, "ABCD");
    Form().Type(1, "1234");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerDisagrees);
    EXPECT_EQ(Form().marks.umlerClass, 1); // "UMLER Railcar"
}

TEST_F(Umler, NotCheckedForAnUnknownVehicleWithTheCheckOffOrAnotherFormatCode) {
    TypeRailcar("ZZZZ", "1");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerNotChecked);
    EXPECT_FALSE(data.GetUMLERRecord().IsRecord());

    SetOption(&SettingsBlock::autoUmlerCheck, 0);
    TypeRailcar("ABCD", "1300"); // would disagree
    wf.CmProgramTag();
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(data.GetLastTagRecord().umlerResult, kUmlerNotChecked);

    TagFormatData f = data.GetTagFormatData(kRailcarSlot);
    f.systemSlot = 0;
    f.dataFormatCode = 41;
    SetText(f.formatName, "Railcar 41");
    data.UpdateTagFormatData(9, f);
    SelectFormat(9);
    TypeRailcar("ABCD", "1300");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerNotChecked);
}

// ---- UMLER Lookup -----------------------------------------------------------------------

TEST_F(Umler, LookupRefusals) {
    auto expectLast = [&](const std::string& text, int focus) {
        ASSERT_FALSE(op.boxes.empty());
        EXPECT_EQ(op.boxes.back().text, text);
        EXPECT_EQ(op.boxes.back().caption, "Velmora Error");
        EXPECT_EQ(op.boxes.back().icon, MsgIcon::Stop);
        EXPECT_EQ(Form().focused.back(), focus);
    };
    wf.CmUmlerLookup();
    expectLast("There is no data in the \"Equipment Initial\" field.", 0);
    Form().Type(0, "ABCD");
    wf.CmUmlerLookup();
    expectLast("There is no data in the \"Equipment Number\" field.", 1);
    Form().Type(1, "1235");
    wf.CmUmlerLookup();
    expectLast("Cannot find \"ABCD001235\" in UMLER", 0);
    EXPECT_FALSE(data.GetUMLERRecord().IsRecord());

    SelectFormat(2);
    wf.CmUmlerLookup();
    expectLast("UMLER data can only be found when a locomotive or railcar tag format is displayed.", 0);

    TagFormatData f = data.GetTagFormatData(kRailcarSlot);
    f.systemSlot = 0;
    SetText(f.formatName, "No Initial");
    f.startingBit[0] = 8;
    data.UpdateTagFormatData(10, f);
    SelectFormat(10);
    wf.CmUmlerLookup();
    expectLast("Could not find \"Equipment Initial\" field in tag format.", 0);
    f.startingBit[0] = 7;
    f.startingBit[1] = 27;
    data.UpdateTagFormatData(10, f);
    SelectFormat(10);
    wf.CmUmlerLookup();
    expectLast("Could not find \"Equipment Number\" field in tag format.", 0);
}

TEST_F(Umler, LookupFillsTheRegisterValues) {
    Form().Type(0, "abcd");
    Form().Type(1, "1300");
    Form().Type(2, "LEFT");
    Form().Type(5, "2");
    Form().Type(6, "3");
    wf.CmUmlerLookup();
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(Shown({0, 2, 3, 5, 6, 7}), "abcd,LEFT,50-00,4,3,2");
    EXPECT_TRUE(Form().replaceCalls.empty());
    EXPECT_EQ(data.GetLastTagRecord().readFlag, 0);
    EXPECT_EQ(data.GetVehicleKey(), "ABCD001300");
    EXPECT_EQ(Form().focused.back(), 0);

    SetOption(&SettingsBlock::feetInches, 0);
    wf.CmUmlerLookup();
    EXPECT_EQ(Form().texts[3], "152");
}

TEST_F(Umler, LookupOfALocomotiveSwitchesTheRailcarForm) {
    Form().Type(0, "LOCO");
    Form().Type(1, "77");
    Form().Type(2, "LEFT");
    Form().Type(6, "3");
    wf.CmUmlerLookup();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0]->replaceCalls, std::vector<bool>{false});
    EXPECT_EQ(data.GetSettings().currentFormat, kLocomotiveSlot);
    FakeTagForm& loco = Form();
    EXPECT_EQ(loco.formatIndex, kLocomotiveSlot);
    EXPECT_EQ(Shown({0, 1, 2, 3, 4, 5}), "LOCO,77,LEFT,60-00,6,1"); // bearing code 1
    EXPECT_EQ(data.GetLastTagRecord().readFlag, 0);
    EXPECT_EQ(data.GetLastTagRecord().formatIndex, kLocomotiveSlot);

    // And back: a railcar on the locomotive form.
    loco.Type(0, "NS");
    loco.Type(1, "5");
    wf.CmUmlerLookup();
    EXPECT_EQ(data.GetSettings().currentFormat, kRailcarSlot);
    EXPECT_EQ(Shown({0, 3, 5, 6, 7}), "NS,40-00,4,1,0");
}

TEST_F(Umler, LookupWhileATagAwaitsItsRfCheckKeepsThatTag) {
    SetReaderPort(1);
    SetOption(&SettingsBlock::autoRfCheck, 1);
    TypeRailcar("ABCD", "1234", "50-0");
    wf.CmProgramTag();
    EXPECT_FALSE(Complete(kResultProgramOk));
    EXPECT_EQ(Prog().operationState, kOpRfCheck);

    Form().Type(0, "LOCO"); // the next vehicle, looked up meanwhile
    Form().Type(1, "77");
    wf.CmUmlerLookup();
    EXPECT_EQ(Form().texts[3], "60-00");
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), "1234");

    EXPECT_TRUE(ReaderResult(kResultRfAgrees));
    EXPECT_NE(tagLog.Line(0).find("Railcar,ABCD,1234,"), std::string::npos);
    EXPECT_EQ(hooks.labels.back().FieldText(0), "ABCD");
}

} // namespace
} // namespace velmora::test
