// The label's lines and boxes in every layout, with made-up font metrics so
// that each rectangle can be checked to the pixel.
#include "data/AEIData.h"
#include "print/ExampleFormats.h"
#include "print/LabelLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

using test::FakeClock;
using test::ScriptedOperator;

constexpr int kRailcar = 0;
constexpr int kLocomotive = 1;
constexpr int kAscii = 2;
constexpr int kEotDevice = 3;
constexpr int kHex = 4;
constexpr int kOperatorSlot = 6;

constexpr int kPage = 1000;
constexpr int kLarge = 80, kNumber = 70, kBig = 90, kSmall = 55, kText = 40, kFooter = 32;
constexpr int kNumberWidth = 30, kBigWidth = 40;

LabelMetrics Metrics() {
    LabelMetrics m;
    m.pageWidth = kPage;
    m.lineHeight = {kLarge, kNumber, kBig, kSmall, kText, kFooter};
    m.averageWidth = {35, kNumberWidth, kBigWidth, 25, 18, 14};
    return m;
}

constexpr LabelRect Wide(int top, int height) { return LabelRect{0, top, 2 * kPage, height}; }

struct Expected {
    LabelFont font;
    std::string text;
    LabelRect rect;
    LabelAlign align = LabelAlign::Left;
};

void ExpectLines(const LabelLayout& layout, const std::vector<Expected>& expected) {
    ASSERT_EQ(layout.lines.size(), expected.size()) << ::testing::PrintToString(layout.Texts());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(layout.lines[i].text, expected[i].text);
        EXPECT_EQ(static_cast<int>(layout.lines[i].font), static_cast<int>(expected[i].font));
        EXPECT_EQ(layout.lines[i].rect, expected[i].rect);
        EXPECT_EQ(layout.lines[i].align, expected[i].align);
    }
}

class LabelLayoutTest : public ::testing::Test {
protected:
    LabelLayoutTest() : data(op, clock) { clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297}; }

    LabelLayout Layout(int format, std::vector<std::string> texts, int rf = kRfNotChecked, bool certify = false,
                       bool reconditioned = false, const char* tagType = "AT5118") {
        LastTagRecord r;
        r.formatIndex = static_cast<uint8_t>(format);
        for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
        r.rfResult = rf;
        r.certify = certify;
        r.reconditioned = reconditioned;
        r.SetTagType(tagType);
        data.UpdateLastTagRecord(r);
        return BuildLabelLayout(MakeLabelInput(data), Metrics());
    }
    void SetFeetInches(bool on) {
        SettingsBlock s = data.GetSettings();
        s.feetInches = on;
        data.UpdateSettings(s);
    }

    ScriptedOperator op;
    FakeClock clock;
    AEIData data;
};

const std::string kFooterText = "   Nordavex's Velmora Tel. 555 014-2290";

// --- railcar and locomotive -------------------------------------------------------

TEST_F(LabelLayoutTest, RailcarInFeetInches) {
    LabelLayout l = Layout(kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, kRfOk);
    EXPECT_EQ(l.kind, LabelKind::Standard);
    ExpectLines(l, {
                       {LabelFont::Large, "ABCD 123456  RIGHT  ", Wide(0, kLarge)},
                       {LabelFont::Text, "10/24/18 13:05  Railcar(19)  50' 6\"  4  1  0  ", Wide(76, kText)},
                       {LabelFont::Text, "RF Ok  ", Wide(116, kText)},
                       {LabelFont::Text, "Prog by Unknown", Wide(156, kText)},
                       {LabelFont::Footer, kFooterText, Wide(204, kFooter)},
                   });
    EXPECT_TRUE(l.boxes.empty());
    EXPECT_TRUE(l.hasFooter);
}

TEST_F(LabelLayoutTest, WholeFeetShowZeroInches) {
    LabelLayout l = Layout(kRailcar, {"ABCD", "123456", "RIGHT", "50", "", "4", "1", "0"});
    EXPECT_EQ(l.lines[1].text, "10/24/18 13:05  Railcar(19)  50' 0\"  4  1  0  ");
    EXPECT_EQ(l.lines[2].text, "RF not checked  ");
}

TEST_F(LabelLayoutTest, RailcarInDecimetersAndTheProgrammedByText) {
    SetFeetInches(false);
    SettingsBlock s = data.GetSettings();
    SetText(s.programmedByCompany, "Shop 7");
    data.UpdateSettings(s);
    LabelLayout l = Layout(kRailcar, {"ABCD", "123456", "LEFT", "154", "", "4", "1", "0"}, kRfIdOnly);
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"ABCD 123456  LEFT  ",
                                                   "10/24/18 13:05  Railcar(19)  154dm  4  1  0  ",
                                                   "RF ID only  ", "Prog by Shop 7", kFooterText}));
}

TEST_F(LabelLayoutTest, LengthOnTheFirstLineInDecimeters) {
    // With no initial, the first three non-empty fields run into the length.
    SetFeetInches(false);
    LabelLayout l = Layout(kLocomotive, {"", "1234", "LEFT", "70", "6", "1"}, kRfOk);
    EXPECT_EQ(l.lines[0].text, "1234 LEFT  70dm  ");
    EXPECT_EQ(l.lines[1].text, "10/24/18 13:05  Locomotive(5)  6  1  ");
}

TEST_F(LabelLayoutTest, DateTextHasNoPadding) {
    clock.local = LocalDateTime{2026, 3, 4, 9, 5, 0, 63};
    LabelLayout l = Layout(kRailcar, {"ABCD", "1", "RIGHT", "50-6"});
    EXPECT_EQ(l.lines[1].text.substr(0, 13), "3/4/26 9:05  ");
}

// --- other formats ---------------------------------------------------------------

TEST_F(LabelLayoutTest, OtherFormatsUseTheSmallTitleFontAndNoRfText) {
    LabelLayout l = Layout(kHex, {"0123456789", "ABCDEF0123", "456789ABCD"}, kRfOk);
    ExpectLines(l, {
                       {LabelFont::SmallTitle, "0123456789 ABCDEF0123  456789ABCD  ", Wide(0, kLarge)},
                       {LabelFont::Text, "10/24/18 13:05  Hex(0)  ", Wide(76, kText)},
                       {LabelFont::Text, "", Wide(116, kText)},
                       {LabelFont::Text, "Prog by Unknown", Wide(156, kText)},
                       {LabelFont::Footer, kFooterText, Wide(204, kFooter)},
                   });
}

TEST_F(LabelLayoutTest, DataFormatCodeZeroPutsNoBlankAfterTheFirstText) {
    LabelLayout l = Layout(kAscii, {"HELLO", "WORLD"});
    EXPECT_EQ(l.lines[0].text, "HELLOWORLD  ");
    EXPECT_EQ(static_cast<int>(l.lines[0].font), static_cast<int>(LabelFont::SmallTitle));
}

TEST_F(LabelLayoutTest, EotDeviceIsARailcarCodeAndUsesTheLargeFont) {
    LabelLayout l = Layout(kEotDevice, {"CSXE", "123456", "0", "RIGHT"}, kRfOk);
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"CSXE 123456  0  ", "10/24/18 13:05  EOT Device(6)  RIGHT  ",
                                                   "RF Ok  ", "Prog by Unknown", kFooterText}));
    EXPECT_EQ(static_cast<int>(l.lines[0].font), static_cast<int>(LabelFont::Large));
}

TEST_F(LabelLayoutTest, SaraTakesFourFieldsOnItsFirstLineAndLeavesBlanksOut) {
    data.SetMarketRegion(kRegionSARA);
    data.BuildBuiltInFormats();
    ASSERT_EQ(data.GetTagFormatData(4).Name(), "SARA");
    LabelLayout l = Layout(4, {"WAGON", "X", "ABC", "", "123456", "Y", "R"});
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"WAGON X  ABC  123456  ", "10/24/18 13:05  SARA  R  ", "",
                                                   "Prog by Unknown", kFooterText}));
}

// --- Track Tag -------------------------------------------------------------------

TEST_F(LabelLayoutTest, TrackTagNamesTheEndByDirectionAndMilepost) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleTrackTagFormat());
    LabelLayout l = Layout(kOperatorSlot, {"BNSF", "N", "12", "2", "A"});
    ExpectLines(l, {
                       {LabelFont::SmallTitle, "TRK 2A North-End", Wide(0, kLarge)},
                       {LabelFont::Text, "10/24/18 13:05  Track Tag(0)  N122A", Wide(76, kText)},
                       {LabelFont::Text, "", Wide(116, kText)},
                       {LabelFont::Text, "Prog by Unknown", Wide(156, kText)},
                       {LabelFont::Footer, kFooterText, Wide(204, kFooter)},
                   });
    EXPECT_EQ(Layout(kOperatorSlot, {"BNSF", "N", "75", "2", "A"}).lines[0].text, "TRK 2A South-End");
}

TEST(TrackDirection, WordsBelowAndFromMilepostFifty) {
    EXPECT_EQ(TrackDirectionWord("N", "49"), "North");
    EXPECT_EQ(TrackDirectionWord("S", "0"), "South");
    EXPECT_EQ(TrackDirectionWord("W", "12"), "West");
    EXPECT_EQ(TrackDirectionWord("E", "-3"), "East");
    EXPECT_EQ(TrackDirectionWord("N", "50"), "South");
    EXPECT_EQ(TrackDirectionWord("S", "50"), "North");
    EXPECT_EQ(TrackDirectionWord("W", "75 MP"), "East");
    EXPECT_EQ(TrackDirectionWord("E", "99999999999999"), "West");
    EXPECT_EQ(TrackDirectionWord("NORTH", "10"), "North"); // the first letter counts
    EXPECT_EQ(TrackDirectionWord("n", "10"), "Unknown");
    EXPECT_EQ(TrackDirectionWord("", "10"), "Unknown");
    EXPECT_EQ(TrackDirectionWord("X", ""), "Unknown");
    EXPECT_EQ(TrackDirectionWord("N", ""), "North"); // no milepost counts as 0
}

TEST_F(LabelLayoutTest, TrackTagStartsFromTheFirstNonEmptyField) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleTrackTagFormat());
    LabelLayout l = Layout(kOperatorSlot, {"", "S", "60", "4", "B"});
    EXPECT_EQ(l.lines[0].text, "TRK 4B North-End");
    EXPECT_EQ(l.lines[1].text, "10/24/18 13:05  Track Tag(0)  604B");
}

// --- WABTEC --------------------------------------------------------------------

TEST_F(LabelLayoutTest, WabtecLabelIsBoxedAroundThePartNumberAndHasNoFooter) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat());
    // "CR" is padded to "CR  " and found as part 4511 for an AT5541 tag.
    LabelLayout l = Layout(kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, false, false, "AT5541");
    EXPECT_EQ(l.kind, LabelKind::Wabtec);
    const LabelRect number{0, 0, 20 * kNumberWidth, kNumber};
    const LabelRect eot{0, 2 * kNumber, 8 * kBigWidth, kBig};
    const LabelRect part{0, 2 * kNumber + kBig, 8 * kBigWidth, kBig};
    ExpectLines(l, {
                       {LabelFont::Number, "4511    923456", number, LabelAlign::Center},
                       {LabelFont::BigNumber, "923456", eot, LabelAlign::Center},
                       {LabelFont::BigNumber, "4511", part, LabelAlign::Center},
                   });
    EXPECT_EQ(l.boxes, (std::vector<LabelRect>{number, eot}));
    EXPECT_FALSE(l.hasFooter);
}

TEST_F(LabelLayoutTest, WabtecTagTypeChoosesThePartsListRow) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat());
    LabelLayout l = Layout(kOperatorSlot, {"BNQ", "12345", "0", "RIGHT"}, kRfOk, false, false, "AT5545");
    ASSERT_EQ(l.kind, LabelKind::Wabtec);
    EXPECT_EQ(l.lines[0].text, "4728    12345");
}

TEST_F(LabelLayoutTest, WabtecWithoutAPartsListEntryIsAnEmptyPage) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat());
    // "CR  " has no row for AT5545 tags.
    LabelLayout l = Layout(kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, false, false, "AT5545");
    EXPECT_EQ(l.kind, LabelKind::WabtecEmpty);
    EXPECT_TRUE(l.lines.empty());
    EXPECT_TRUE(l.boxes.empty());
    EXPECT_FALSE(l.hasFooter);
}

// --- certification --------------------------------------------------------------

TEST_F(LabelLayoutTest, CertifiedRailcarPrintsOnlyTheCertificationBlock) {
    LabelLayout l =
        Layout(kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, kRfOk, true, false);
    EXPECT_EQ(l.kind, LabelKind::Certification);
    ExpectLines(l, {
                       {LabelFont::Large, "CERTIFIED FOR REUSE", Wide(0, kLarge)},
                       {LabelFont::Text, "10/24/18 13:05 ABCD  123456  R  50' 6\"  4  1  0  ", Wide(76, kText)},
                       {LabelFont::Text, "Certified by Unknown", Wide(116, kText)},
                       {LabelFont::Footer, kFooterText, Wide(164, kFooter)},
                   });
}

TEST_F(LabelLayoutTest, ReconditionedRailcarInDecimeters) {
    SetFeetInches(false);
    LabelLayout l = Layout(kRailcar, {"ABCD", "123456", "LEFT", "154", "", "4", "1", "0"}, kRfOk, true, true);
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"RECONDITIONED",
                                                   "10/24/18 13:05 ABCD  123456  L  154dm  4  1  0  ",
                                                   "Reconditioned by Unknown", kFooterText}));
}

TEST_F(LabelLayoutTest, CertifiedWabtecTagIsACertificationLabel) {
    data.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat());
    LabelLayout l = Layout(kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, true, false, "AT5541");
    EXPECT_EQ(l.kind, LabelKind::Certification);
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"CERTIFIED FOR REUSE", "10/24/18 13:05 CR  923456  0  R  ",
                                                   "Certified by Unknown", kFooterText}));
}

TEST_F(LabelLayoutTest, CertifiedOtherFormatPutsTheBlockUnderItsLines) {
    LabelLayout l = Layout(kAscii, {"HELLO", "WORLD"}, kRfNotChecked, true, false);
    EXPECT_EQ(l.kind, LabelKind::Standard);
    ExpectLines(l, {
                       {LabelFont::SmallTitle, "HELLOWORLD  ", Wide(0, kLarge)},
                       {LabelFont::Text, "10/24/18 13:05  ASCII(0)  ", Wide(76, kText)},
                       {LabelFont::Text, "", Wide(116, kText)},
                       {LabelFont::Text, "Prog by Unknown", Wide(156, kText)},
                       {LabelFont::Text, "CERTIFIED FOR REUSE", Wide(196, kText)},
                       {LabelFont::Text, "10/24/18 13:05 HELLO  WORLD  ", Wide(272, kText)},
                       {LabelFont::Text, "Certified by Unknown", Wide(312, kText)},
                       {LabelFont::Footer, kFooterText, Wide(360, kFooter)},
                   });
}

// --- fonts and texts --------------------------------------------------------------

TEST(LabelFonts, PixelHeightIsPointsTimesResolutionOver72Rounded) {
    EXPECT_EQ(LabelFontPixelHeight(20, 300), 83);  // 83.33
    EXPECT_EQ(LabelFontPixelHeight(10, 300), 42);  // 41.67
    EXPECT_EQ(LabelFontPixelHeight(8, 96), 11);    // 10.67
    EXPECT_EQ(LabelFontPixelHeight(22, 600), 183); // 183.33
    EXPECT_EQ(LabelFontPixelHeight(1, 36), 1);     // 0.5 rounds up
    EXPECT_EQ(LabelFontPixelHeight(14, 72), 14);
    EXPECT_EQ(LabelFontPixelHeight(18, 0), 0);
}

TEST(LabelFonts, SixFontsOfTheirSizesAndWeights) {
    EXPECT_EQ(SpecOf(LabelFont::Large).points, 20);
    EXPECT_EQ(SpecOf(LabelFont::Number).points, 18);
    EXPECT_EQ(SpecOf(LabelFont::BigNumber).points, 22);
    EXPECT_EQ(SpecOf(LabelFont::SmallTitle).points, 14);
    EXPECT_EQ(SpecOf(LabelFont::Text).points, 10);
    EXPECT_EQ(SpecOf(LabelFont::Footer).points, 8);
    for (LabelFont f : {LabelFont::Large, LabelFont::Number, LabelFont::BigNumber, LabelFont::SmallTitle})
        EXPECT_EQ(SpecOf(f).weight, 700);
    EXPECT_EQ(SpecOf(LabelFont::Text).weight, 400);
    EXPECT_EQ(SpecOf(LabelFont::Footer).weight, 400);
}

TEST(LabelTexts, RfTextOnlyForRailcarAndLocomotiveCodes) {
    TagFormatData f;
    LastTagRecord r;
    f.dataFormatCode = 41;
    r.rfResult = kRfNotChecked;
    EXPECT_EQ(LabelRfText(r, f), "RF not checked  ");
    r.rfResult = kRfOk;
    EXPECT_EQ(LabelRfText(r, f), "RF Ok  ");
    r.rfResult = kRfIdOnly;
    EXPECT_EQ(LabelRfText(r, f), "RF ID only  ");
    r.rfResult = 7;
    EXPECT_EQ(LabelRfText(r, f), "");
    r.rfResult = kRfOk;
    f.dataFormatCode = 99;
    EXPECT_EQ(LabelRfText(r, f), "");
}

TEST(LabelTexts, FormatNamePrefixes) {
    TagFormatData f;
    SetText(f.formatName, "EOT WABTEX special");
    EXPECT_TRUE(IsWabtecFormat(f)); // the first nine characters count
    SetText(f.formatName, "EOT WABT");
    EXPECT_FALSE(IsWabtecFormat(f));
    SetText(f.formatName, "Track Tags East");
    EXPECT_TRUE(IsTrackTagFormat(f));
    SetText(f.formatName, "SARA 2");
    EXPECT_TRUE(IsSaraFormat(f));
    SetText(f.formatName, "sara");
    EXPECT_FALSE(IsSaraFormat(f));
}

TEST_F(LabelLayoutTest, AnEmptyRecordStillGivesAWholeLabel) {
    LabelLayout l = Layout(kRailcar, {});
    EXPECT_EQ(l.Texts(), (std::vector<std::string>{"", "10/24/18 13:05  Railcar(19)  ", "RF not checked  ",
                                                   "Prog by Unknown", kFooterText}));
}

} // namespace
} // namespace velmora
