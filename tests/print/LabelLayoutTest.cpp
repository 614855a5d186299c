// The label's lines and boxes in every layout, with made-up font metrics so
// that each rectangle can be checked to the pixel.
#include "data/AEIData.h"
#include "print/ExampleFormats.h"
#include "print/LabelLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace velmora {
namespace {

using Texts = std::vector<std::string>;
constexpr int kRailcar = 0, kLocomotive = 1, kAscii = 2, kEotDevice = 3, kHex = 4, kOperatorSlot = 6;
constexpr int kPage = 1000, kLarge = 80, kNumber = 70, kBig = 90, kText = 40, kFooter = 32;
constexpr int kNumberWidth = 30, kBigWidth = 40;
const std::string kFooterText = "   Nordavex's Velmora Tel. 555 014-2290";

constexpr LabelRect Wide(int top, int height) { return LabelRect{0, top, 2 * kPage, height}; }

struct Label {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    Label() { clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297}; }
    LabelLayout Layout(int format, Texts texts, int rf = kRfNotChecked, bool certify = false, bool recon = false,
                       const char* tagType = "AT5118") {
        LastTagRecord r;
        r.formatIndex = static_cast<uint8_t>(format);
        for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
        r.rfResult = rf;
        r.certify = certify;
        r.reconditioned = recon;
        r.SetTagType(tagType);
        data.UpdateLastTagRecord(r);
        return BuildLabelLayout(MakeLabelInput(data), {kPage, {kLarge, kNumber, kBig, 55, kText, kFooter},
                                                       {35, kNumberWidth, kBigWidth, 25, 18, 14}});
    }
};

const Texts kCar = {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"};
const Texts kCarDm = {"ABCD", "123456", "LEFT", "154", "", "4", "1", "0"};

void Decimeters(AEIData& d) {
    SettingsBlock s = d.GetSettings();
    s.feetInches = 0;
    SetText(s.programmedByCompany, "Shop 7");
    d.UpdateSettings(s);
}

void Wabtec(AEIData& d) { d.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat()); }
void TrackTag(AEIData& d) { d.UpdateTagFormatData(kOperatorSlot, ExampleTrackTagFormat()); }

TEST(LabelLayout, EachLayoutRule) {
    const struct {
        const char* rule;
        std::function<void(AEIData&)> setup;
        int format;
        Texts texts;
        int rf;
        Texts lines;
        LabelKind kind = LabelKind::Standard;
        bool certify = false, recon = false;
        const char* tagType = "AT5118";
    } cases[] = {
        {"railcar in feet and inches", {}, kRailcar, kCar, kRfOk,
         {"ABCD 123456  RIGHT  ", "10/24/18 13:05  Railcar(19)  50' 6\"  4  1  0  ", "RF Ok  ", "Prog by Unknown", kFooterText}},
        {"whole feet show zero inches", {}, kRailcar, {"ABCD", "123456", "RIGHT", "50", "", "4", "1", "0"}, kRfNotChecked,
         {"ABCD 123456  RIGHT  ", "10/24/18 13:05  Railcar(19)  50' 0\"  4  1  0  ", "RF not checked  ", "Prog by Unknown",
          kFooterText}},
        {"decimeters and the programmed-by text", Decimeters, kRailcar, kCarDm, kRfIdOnly,
         {"ABCD 123456  LEFT  ", "10/24/18 13:05  Railcar(19)  154dm  4  1  0  ", "RF ID only  ", "Prog by Shop 7", kFooterText}},
        {"with no initial the length runs into the first line", Decimeters, kLocomotive, {"", "1234", "LEFT", "70", "6", "1"},
         kRfOk, {"1234 LEFT  70dm  ", "10/24/18 13:05  Locomotive(5)  6  1  ", "RF Ok  ", "Prog by Shop 7", kFooterText}},
        {"other formats: no RF text", {}, kHex, {"0123456789", "ABCDEF0123", "456789ABCD"}, kRfOk,
         {"0123456789 ABCDEF0123  456789ABCD  ", "10/24/18 13:05  Hex(0)  ", "", "Prog by Unknown", kFooterText}},
        {"format code 0: no blank after the first text", {}, kAscii, {"HELLO", "WORLD"}, kRfOk,
         {"HELLOWORLD  ", "10/24/18 13:05  ASCII(0)  ", "", "Prog by Unknown", kFooterText}},
        {"EOT device is a railcar code", {}, kEotDevice, {"CSXE", "123456", "0", "RIGHT"}, kRfOk,
         {"CSXE 123456  0  ", "10/24/18 13:05  EOT Device(6)  RIGHT  ", "RF Ok  ", "Prog by Unknown", kFooterText}},
        {"SARA: four fields on the first line, blanks left out",
         [](AEIData& d) {
             d.SetMarketRegion(kRegionSARA);
             d.BuildBuiltInFormats();
         },
         4, {"WAGON", "X", "ABC", "", "123456", "Y", "R"}, kRfNotChecked,
         {"WAGON X  ABC  123456  ", "10/24/18 13:05  SARA  R  ", "", "Prog by Unknown", kFooterText}},
        {"track tag below milepost 50", TrackTag, kOperatorSlot, {"BNSF", "N", "12", "2", "A"}, kRfOk,
         {"TRK 2A North-End", "10/24/18 13:05  Track Tag(0)  N122A", "", "Prog by Unknown", kFooterText}},
        {"track tag from the first non-empty field", TrackTag, kOperatorSlot, {"", "S", "60", "4", "B"}, kRfOk,
         {"TRK 4B North-End", "10/24/18 13:05  Track Tag(0)  604B", "", "Prog by Unknown", kFooterText}},
        {"WABTEC: the tag type chooses the parts list row", Wabtec, kOperatorSlot, {"BNQ", "12345", "0", "RIGHT"}, kRfOk,
         {"4728    12345", "12345", "4728"}, LabelKind::Wabtec, false, false, "AT5545"},
        {"WABTEC without a parts list entry", Wabtec, kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, {},
         LabelKind::WabtecEmpty, false, false, "AT5545"},
        {"certified WABTEC tag", Wabtec, kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk,
         {"CERTIFIED FOR REUSE", "10/24/18 13:05 CR  923456  0  R  ", "Certified by Unknown", kFooterText},
         LabelKind::Certification, true, false, "AT5541"},
        {"reconditioned railcar", Decimeters, kRailcar, kCarDm, kRfOk,
         {"RECONDITIONED", "10/24/18 13:05 ABCD  123456  L  154dm  4  1  0  ", "Reconditioned by Shop 7", kFooterText},
         LabelKind::Certification, true, true},
        {"an empty record", {}, kRailcar, {}, kRfNotChecked,
         {"", "10/24/18 13:05  Railcar(19)  ", "RF not checked  ", "Prog by Unknown", kFooterText}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        Label label;
        if (c.setup) c.setup(label.data);
        const LabelLayout l = label.Layout(c.format, c.texts, c.rf, c.certify, c.recon, c.tagType);
        EXPECT_EQ(l.kind, c.kind);
        EXPECT_EQ(l.Texts(), c.lines);
        EXPECT_EQ(l.hasFooter, !c.lines.empty() && c.lines.back() == kFooterText);
    }
}

struct Expected {
    LabelFont font;
    LabelRect rect;
    LabelAlign align = LabelAlign::Left;
};

void ExpectGeometry(const LabelLayout& l, const std::vector<Expected>& expected) {
    ASSERT_EQ(l.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(static_cast<int>(l.lines[i].font), static_cast<int>(expected[i].font)) << i;
        EXPECT_EQ(l.lines[i].rect, expected[i].rect) << i;
        EXPECT_EQ(l.lines[i].align, expected[i].align) << i;
    }
}

TEST(LabelLayout, FontsAndRectanglesOfEachKind) {
    Label label;
    const LabelLayout car = label.Layout(kRailcar, kCar, kRfOk);
    ExpectGeometry(car, {{LabelFont::Large, Wide(0, kLarge)}, {LabelFont::Text, Wide(76, kText)},
                         {LabelFont::Text, Wide(116, kText)}, {LabelFont::Text, Wide(156, kText)},
                         {LabelFont::Footer, Wide(204, kFooter)}});
    EXPECT_TRUE(car.boxes.empty());
    EXPECT_EQ(static_cast<int>(label.Layout(kHex, {"0123456789"}).lines[0].font), static_cast<int>(LabelFont::SmallTitle));
    EXPECT_EQ(static_cast<int>(label.Layout(kEotDevice, {"CSXE"}).lines[0].font), static_cast<int>(LabelFont::Large));

    const LabelLayout cert = label.Layout(kRailcar, kCar, kRfOk, true);
    EXPECT_EQ(cert.Texts(), (Texts{"CERTIFIED FOR REUSE", "10/24/18 13:05 ABCD  123456  R  50' 6\"  4  1  0  ",
                                   "Certified by Unknown", kFooterText}));
    ExpectGeometry(cert, {{LabelFont::Large, Wide(0, kLarge)}, {LabelFont::Text, Wide(76, kText)},
                          {LabelFont::Text, Wide(116, kText)}, {LabelFont::Footer, Wide(164, kFooter)}});

    // Another format keeps its lines and puts the certification block under them.
    const LabelLayout other = label.Layout(kAscii, {"HELLO", "WORLD"}, kRfNotChecked, true);
    EXPECT_EQ(other.kind, LabelKind::Standard);
    const Texts otherTexts = other.Texts();
    EXPECT_EQ(Texts(otherTexts.begin() + 4, otherTexts.end()),
              (Texts{"CERTIFIED FOR REUSE", "10/24/18 13:05 HELLO  WORLD  ", "Certified by Unknown", kFooterText}));
    ExpectGeometry(other, {{LabelFont::SmallTitle, Wide(0, kLarge)}, {LabelFont::Text, Wide(76, kText)},
                           {LabelFont::Text, Wide(116, kText)}, {LabelFont::Text, Wide(156, kText)},
                           {LabelFont::Text, Wide(196, kText)}, {LabelFont::Text, Wide(272, kText)},
                           {LabelFont::Text, Wide(312, kText)}, {LabelFont::Footer, Wide(360, kFooter)}});

    // WABTEC: "CR" is padded to "CR  " and found as part 4511 for an AT5541 tag.
    Wabtec(label.data);
    const LabelLayout w = label.Layout(kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, false, false, "AT5541");
    EXPECT_EQ(w.kind, LabelKind::Wabtec);
    EXPECT_EQ(w.Texts(), (Texts{"4511    923456", "923456", "4511"}));
    const LabelRect number{0, 0, 20 * kNumberWidth, kNumber}, eot{0, 2 * kNumber, 8 * kBigWidth, kBig};
    ExpectGeometry(w, {{LabelFont::Number, number, LabelAlign::Center},
                       {LabelFont::BigNumber, eot, LabelAlign::Center},
                       {LabelFont::BigNumber, {0, 2 * kNumber + kBig, 8 * kBigWidth, kBig}, LabelAlign::Center}});
    EXPECT_EQ(w.boxes, (std::vector<LabelRect>{number, eot}));
    EXPECT_FALSE(w.hasFooter);
}

TEST(LabelLayout, DateTextHasNoPadding) {
    Label label;
    label.clock.local = LocalDateTime{2026, 3, 4, 9, 5, 0, 63};
    EXPECT_EQ(label.Layout(kRailcar, kCar).lines[1].text.substr(0, 13), "3/4/26 9:05  ");
}

TEST(TrackDirection, WordsBelowAndFromMilepostFifty) {
    const char* cases[][3] = {{"N", "49", "North"},   {"S", "0", "South"},      {"W", "12", "West"},
                              {"E", "-3", "East"},    {"N", "50", "South"},     {"S", "50", "North"},
                              {"W", "75 MP", "East"}, {"E", "99999999999999", "West"},
                              {"NORTH", "10", "North"}, {"n", "10", "Unknown"}, {"", "10", "Unknown"},
                              {"X", "", "Unknown"},   {"N", "", "North"}};
    for (const auto& c : cases) EXPECT_EQ(TrackDirectionWord(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(LabelFonts, SizesWeightsAndPixelHeights) {
    const std::pair<LabelFont, int> points[] = {{LabelFont::Large, 20},     {LabelFont::Number, 18},
                                                {LabelFont::BigNumber, 22}, {LabelFont::SmallTitle, 14},
                                                {LabelFont::Text, 10},      {LabelFont::Footer, 8}};
    for (auto [font, pt] : points) {
        EXPECT_EQ(SpecOf(font).points, pt);
        EXPECT_EQ(SpecOf(font).weight, pt >= 14 ? 700 : 400);
    }
    const int heights[][3] = {{20, 300, 83}, {10, 300, 42}, {8, 96, 11}, {22, 600, 183}, {1, 36, 1}, {14, 72, 14}, {18, 0, 0}};
    for (const auto& h : heights) EXPECT_EQ(LabelFontPixelHeight(h[0], h[1]), h[2]) << h[0] << " pt at " << h[1];
}

TEST(LabelTexts, RfTextAndFormatNamePrefixes) {
    TagFormatData f;
    LastTagRecord r;
    f.dataFormatCode = 41;
    for (auto [rf, text] : std::vector<std::pair<int, const char*>>{
             {kRfNotChecked, "RF not checked  "}, {kRfOk, "RF Ok  "}, {kRfIdOnly, "RF ID only  "}, {7, ""}}) {
        r.rfResult = rf;
        EXPECT_EQ(LabelRfText(r, f), text);
    }
    f.dataFormatCode = 99;
    EXPECT_EQ(LabelRfText(r, f), "");
    // Name prefixes: the first nine characters "EOT WABTE", "Track Tag", "SARA".
    for (const auto& [name, wabtec, track, sara] : std::vector<std::tuple<const char*, bool, bool, bool>>{
             {"EOT WABTEX special", true, false, false}, {"EOT WABT", false, false, false},
             {"Track Tags East", false, true, false}, {"SARA 2", false, false, true}, {"sara", false, false, false}}) {
        SetText(f.formatName, name);
        EXPECT_EQ(IsWabtecFormat(f), wabtec) << name;
        EXPECT_EQ(IsTrackTagFormat(f), track) << name;
        EXPECT_EQ(IsSaraFormat(f), sara) << name;
    }
}

} // namespace
} // namespace velmora
