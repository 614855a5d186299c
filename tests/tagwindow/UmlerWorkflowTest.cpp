// The comparison of a typed railcar or locomotive with the UMLER register, and the UMLER Lookup command.
#include "WorkflowRig.h"

#include <tuple>

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
    // Against 600 inches: 594 and 607 disagree; 595 to 606 agree. Decimeters are compared in inches.
    const std::tuple<bool, const char*, int> cases[] = {
        {true, "49-6", kUmlerDisagrees}, {true, "49-7", kUmlerAgrees}, {true, "50-0", kUmlerAgrees},
        {true, "50-6", kUmlerAgrees},    {true, "50-7", kUmlerDisagrees},
        {false, "152", kUmlerAgrees}, // 600 inches
        {false, "150", kUmlerDisagrees}}; // 593 inches
    for (const auto& [feetInches, length, want] : cases) {
        if (feetInches != (data.GetSettings().feetInches == 1)) {
            SetOption(&SettingsBlock::feetInches, feetInches);
            NewForm(false);
        }
        TypeRailcar("ABCD", "1234", length);
        EXPECT_EQ(wf.CompareWithUmler(), want) << length;
        EXPECT_EQ(Form().marks.umlerValue[3], want == kUmlerAgrees ? -1 : 600) << length;
    }
    EXPECT_EQ(data.GetVehicleKey(), "ABCD001234");
    EXPECT_EQ(data.GetUMLERRecord().lengthInches, 600);
    EXPECT_EQ(hooks.umlerRefreshes, 7);
}

TEST_F(Umler, AxlesAndPlatformsDisagreeAndAreMarked) {
    TypeRailcar("ABCD", "1234", "50-0", "6", "1", "1");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerDisagrees);
    const TagFormMarks& m = Form().marks;
    EXPECT_EQ((std::array{m.umlerValue[3], m.umlerValue[5], m.umlerValue[7], m.umlerClass}),
              (std::array{-1, 4, 0, -1}));
    EXPECT_GE(Form().repaints, 1);
}

TEST_F(Umler, DisagreementAsksAndNoStopsWithTheMarksKept) {
    TypeRailcar("ABCD", "1300"); // register has 2 platforms
    wf.CmProgramTag();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(Box(op.boxes[0]), std::string("Velmora for Windows|2|") + kUmlerQ);
    EXPECT_EQ(Prog().operationState, 0);
    EXPECT_EQ(Form().marks.umlerValue[7], 2); // a Yes goes on: the UMLER disagrees row of ProgramTagTest
}

TEST_F(Umler, ALocomotiveOnTheRailcarFormIsMarked) {
    TypeRailcar("LOCO", "77", "60-0", "6");
    wf.CmProgramTag();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kUmlerQ});
    EXPECT_EQ(Form().marks.umlerClass, 0); // "UMLER Locomotive"
    SelectFormat(kLocomotiveSlot);
    TypeRows({"ABCD", "1234"});
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

    CopyFormat(kRailcarSlot, 9, "Railcar 41", [](TagFormatData& f) { f.dataFormatCode = 41; });
    SelectFormat(9);
    TypeRailcar("ABCD", "1300");
    EXPECT_EQ(wf.CompareWithUmler(), kUmlerNotChecked);
}

TEST_F(Umler, LookupRefusals) {
    CopyFormat(kRailcarSlot, 10, "No Initial", [](TagFormatData& f) { f.startingBit[0] = 8; });
    CopyFormat(kRailcarSlot, 11, "No Number", [](TagFormatData& f) { f.startingBit[1] = 27; });
    const struct {
        int format;
        const char *initial, *number, *text;
        int focus;
    } cases[] = {
        {kRailcarSlot, "", "", "There is no data in the \"Equipment Initial\" field.", 0},
        {kRailcarSlot, "ABCD", "", "There is no data in the \"Equipment Number\" field.", 1},
        {kRailcarSlot, "ABCD", "1235", "Cannot find \"ABCD001235\" in UMLER", 0},
        {2, "", "", "UMLER data can only be found when a locomotive or railcar tag format is displayed.", 0},
        {10, "", "", "Could not find \"Equipment Initial\" field in tag format.", 0},
        {11, "", "", "Could not find \"Equipment Number\" field in tag format.", 0},
    };
    for (const auto& c : cases) {
        SelectFormat(c.format);
        TypeRows({c.initial, c.number});
        op.boxes.clear();
        wf.CmUmlerLookup();
        ASSERT_EQ(op.boxes.size(), 1u) << c.text;
        EXPECT_EQ(Box(op.boxes[0]), std::string("Velmora Error|4|") + c.text);
        EXPECT_EQ(Form().focused.back(), c.focus) << c.text;
        EXPECT_FALSE(data.GetUMLERRecord().IsRecord()) << c.text;
    }
}

TEST_F(Umler, LookupFillsTheRegisterValues) {
    TypeRailcar("abcd", "1300", "", "2", "3");
    Form().Type(2, "LEFT");
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
    TypeRailcar("LOCO", "77", "", "4", "3");
    Form().Type(2, "LEFT");
    wf.CmUmlerLookup();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0]->replaceCalls, std::vector<bool>{false});
    EXPECT_EQ(data.GetSettings().currentFormat, kLocomotiveSlot);
    EXPECT_EQ(Form().formatIndex, kLocomotiveSlot);
    EXPECT_EQ(Shown({0, 1, 2, 3, 4, 5}), "LOCO,77,LEFT,60-00,6,1"); // bearing code 1
    EXPECT_EQ(data.GetLastTagRecord().readFlag * 10 + data.GetLastTagRecord().formatIndex, kLocomotiveSlot);

    // And back: a railcar on the locomotive form.
    TypeRows({"NS", "5"});
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

    TypeRailcar("LOCO", "77"); // the next vehicle, looked up meanwhile
    wf.CmUmlerLookup();
    EXPECT_EQ(Form().texts[3], "60-00");
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), "1234");

    EXPECT_TRUE(ReaderResult(kResultRfAgrees));
    EXPECT_NE(tagLog.Line(0).find("Railcar,ABCD,1234,"), std::string::npos);
    EXPECT_EQ(hooks.labels.back().FieldText(0), "ABCD");
}

} // namespace
} // namespace velmora::test
