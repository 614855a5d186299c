// The certification fill, the number-stepping commands, the tag counter reset, the format change, the length
// units and the values of a new form.
#include "WorkflowRig.h"

#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"

#include <tuple>

namespace velmora::test {
namespace {

class Certification : public WorkflowRig {
protected:
    std::deque<uint32_t> randoms;
    void SetUp() override {
        WorkflowRig::SetUp();
        wf.SetRandomSource([this] {
            uint32_t r = randoms.empty() ? 0 : randoms.front();
            if (!randoms.empty()) randoms.pop_front();
            return r;
        });
    }
};

TEST_F(Certification, NumberIsDayOfYearAndCount) {
    clock.local = {2026, 2, 3, 10, 0, 0, 34};
    SettingsBlock s = data.GetSettings();
    s.certifiedCount = 1234;
    SetText(s.certificationInitial, "AB  ");
    data.UpdateSettings(s);
    randoms = {3, 69, 11, 85}; // RIGHT, 104 feet, 11 inches, 6 axles
    wf.CmCertifyTag();
    EXPECT_EQ(Shown({0, 1, 2, 3, 5, 6, 7}), "AB  ,34234,RIGHT,104-11,6,1,0");
    EXPECT_EQ(Prog().operationState, kOpProgram);
    const LastTagRecord r = data.GetLastTagRecord();
    EXPECT_EQ(r.certify * 10 + r.umlerResult, 10 + kUmlerNotChecked); // never compared with the register
    EXPECT_EQ(Form().focused.back(), 0);

    // Side, feet, inches and axles wrap into their ranges; 35 feet = 420 in = 106 dm.
    SetOption(&SettingsBlock::feetInches, 0);
    NewForm(false);
    randoms = {2, 0, 0, 84};
    wf.CertificationFill();
    EXPECT_EQ(Shown({2, 3, 5}), "LEFT,106,4");
    randoms = {1, 70, 12, 95};
    wf.CertificationFill();
    EXPECT_EQ(Shown({2, 3, 5}), "RIGHT,106,8");
}

TEST_F(Certification, FromAnotherFormatTheRailcarFormIsBuiltFirst) {
    SelectFormat(2);
    wf.CmCertifyTag();
    EXPECT_EQ(forms[1]->replaceCalls, std::vector<bool>{true});
    EXPECT_EQ(data.GetSettings().currentFormat, kRailcarSlot);
    EXPECT_EQ(Form().texts[0], "XXXX");
    EXPECT_EQ(Prog().operationState, kOpProgram);
}

TEST_F(Certification, WithoutARailcarFormatNothingHappens) {
    CopyFormat(kRailcarSlot, kRailcarSlot, "Wagon");
    wf.CmCertifyTag();
    EXPECT_TRUE(Prog().operationState == 0 && op.boxes.empty() && Form().texts[0].empty());
}

TEST(CertificationNumber, DayOfYearThenTheCountsLastThreeDigits) {
    const std::tuple<int, int, int> cases[] = {{34, 1234, 34234}, {366, 999, 366999}, {1, 1000, 1000}, {5, -7, 5000}};
    for (auto [day, count, number] : cases) EXPECT_EQ(CertificationNumber(day, count), number) << day << "/" << count;
}

using Stepping = WorkflowRig;

TEST_F(Stepping, EachCommandWalksSidesAndStaysWithinTheNumberRange) {
    struct Case {
        void (TagWorkflows::*command)();
        const char *number, *side, *newNumber, *newSide;
    };
    const Case cases[] = {
        {&TagWorkflows::CmNextTag, "123", "LEFT", "123", "RIGHT"},
        {&TagWorkflows::CmNextTag, "123", "RIGHT", "124", "LEFT"},
        {&TagWorkflows::CmPreviousTag, "124", "LEFT", "123", "RIGHT"},
        {&TagWorkflows::CmPreviousTag, "123", "RIGHT", "123", "LEFT"},
        {&TagWorkflows::CmPreviousTag, "0", "LEFT", "0", nullptr},
        {&TagWorkflows::CmNextTag, "999999", "RIGHT", "999999", nullptr},
        {&TagWorkflows::CmAdd100, "999950", "LEFT", "999999", "LEFT"},
        {&TagWorkflows::CmAdd10, "150", "LEFT", "160", "LEFT"},
        {&TagWorkflows::CmAdd10, "", "LEFT", "10", "LEFT"},
        {&TagWorkflows::CmSubtract10, "5", "LEFT", "0", "LEFT"},
        {&TagWorkflows::CmSubtract100, "250", "RIGHT", "150", "RIGHT"},
    };
    for (const Case& c : cases) {
        Form().Type(1, c.number);
        Form().Type(2, c.side);
        (wf.*c.command)();
        EXPECT_EQ(Form().texts[1], c.newNumber) << c.number << " " << c.side;
        if (c.newSide) EXPECT_EQ(Form().texts[2], c.newSide) << c.number << " " << c.side;
    }
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(Form().focused.back(), 0);
}

TEST_F(Stepping, OnlyOnRailcarAndLocomotiveForms) {
    SelectFormat(3); // EOT Device: group 6
    Form().Type(1, "5");
    for (auto cmd : {&TagWorkflows::CmNextTag, &TagWorkflows::CmAdd10, &TagWorkflows::CmAdd100,
                     &TagWorkflows::CmPreviousTag, &TagWorkflows::CmSubtract10, &TagWorkflows::CmSubtract100})
        (wf.*cmd)();
    const std::string next = "Next button can only be used when a locomotive or railcar tag format is displayed.",
                      previous = "Previous button can only be used when a locomotive or railcar tag format is "
                                 "displayed.";
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{next, next, next, previous, previous, previous}));
    EXPECT_EQ(Box(op.boxes[0]), "Velmora Error|4|" + next);
    EXPECT_EQ(Form().texts[1], "5");
}

TEST_F(Stepping, ClearTagCounter) {
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 57;
    s.programmedToday = 3;
    data.UpdateSettings(s);
    wf.CmClearTagCounter();
    EXPECT_EQ(Total() * 10 + data.GetSettings().programmedToday, 3);
    EXPECT_EQ(hooks.counters.back(), "Programmed Counter 0");
    EXPECT_EQ(Form().focused.back(), 0);
}

using FormatChange = WorkflowRig;

TEST_F(FormatChange, LabelStockNotices) {
    AddWabtecFormat();
    wf.CmFormatChange("EOT WABTEC");
    EXPECT_EQ(data.GetSettings().currentFormat * 10 + Form().formatIndex, 66);
    EXPECT_EQ(Box(op.boxes.at(0)), "Velmora for Windows|1|Switch labels in printer to 30331.");
    for (const char* name : {"Railcar", "ASCII", "ASCII", "No Format"}) wf.CmFormatChange(name); // shown, unknown
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{BoxTexts()[0], "Switch labels in printer to 30252."}));
    EXPECT_EQ(forms.size() * 10 + data.GetSettings().currentFormat, 42u);
}

using LengthUnits = WorkflowRig;

TEST_F(LengthUnits, TypedValuesAreCarriedAndLengthsConverted) {
    TypeRailcar("ABCD", "77", "40-6", "6");
    EXPECT_FALSE(wf.CmLengthUnits());
    EXPECT_TRUE(data.GetSettings().feetInches == 0 && hooks.unitChanges == std::vector<bool>{false});
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(Shown({0, 1, 2, 3, 5}), "ABCD,77,RIGHT,123,6");
    EXPECT_EQ(data.GetLastTagRecord().readFlag, 0);

    EXPECT_TRUE(wf.CmLengthUnits());
    EXPECT_EQ(Shown({0, 3}), "ABCD,40-6");
}

TEST(ConvertLengthText, BothWays) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"40-6", false, "123"}, {"123", true, "40-6"}, {"40", false, "121"}, {"", true, "0-0"},
        {"", false, "0"},       {"40-", false, "121"}, {"1", true, "0-6"}}; // 3 + 2 inches + rounding
    for (auto [text, toFeetInches, converted] : cases)
        EXPECT_EQ(ConvertLengthText(text, toFeetInches), converted) << text;
    EXPECT_EQ(ConvertLengthText("99999999999999999999", true), ConvertLengthText("999999999", true));
    EXPECT_EQ(ConvertLengthText("99999999999-99999999999", false),
              ConvertLengthText("999999999-999999999", false));
}

TEST(LeadingInteger, SignedDigitsAfterBlanksSaturated) {
    const std::pair<const char*, int> cases[] = {{"", 0},   {"12ab", 12}, {"  -1", -1}, {"+7", 7}, {"x1", 0},
                                                 {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (auto [text, value] : cases) EXPECT_EQ(LeadingInteger(text), value) << text;
}

using NewFormValues = WorkflowRig;

TEST_F(NewFormValues, DefaultsAndSideLists) {
    EXPECT_EQ(Shown({2, 5, 6, 0}), "LEFT,4,1,");
    SelectFormat(3); // EOT Device: side default "1"
    EXPECT_EQ(Shown({2, 3}), "0,RIGHT");
}

TEST_F(NewFormValues, ARecordOfAnotherFormatIsNotShownAndNotLooped) {
    LastTagRecord r;
    r.readFlag = 1, r.formatIndex = 2;
    r.SetFieldText(0, "HELLO");
    data.UpdateLastTagRecord(r);
    NewForm(false); // the railcar form
    EXPECT_EQ(Form().texts[0], "");

    r.formatIndex = 39; // an undefined slot
    data.UpdateLastTagRecord(r);
    wf.FillFormFromRecord();
    EXPECT_EQ(forms.size(), 2u);
    EXPECT_EQ(data.GetSettings().currentFormat * 10 + data.GetLastTagRecord().readFlag, kRailcarSlot * 10);
}

} // namespace
} // namespace velmora::test
