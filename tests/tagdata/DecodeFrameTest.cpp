// Decoding frames against the format table: identification, the SARA case,
// half-frame mode, the data types and frames that are not identified.
#include "FrameTestHelpers.h"
#include "TestSupport.h"

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::MakeFormat;
using test::RefFrame;

constexpr bool kFeetInches = true;
constexpr bool kDecimeters = false;

class DecodeFrame : public ::testing::Test {
protected:
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};

    void UseFormats(int32_t region, bool halfFrame) {
        data.SetMarketRegion(region);
        SettingsBlock s = data.GetSettings();
        s.programmerModel = halfFrame ? 1 : 2;
        data.UpdateSettings(s);
        data.BuildBuiltInFormats();
    }
    DecodedFrame Decode(const std::string& text, bool feetInches = kDecimeters, bool halfFrame = false,
                        int32_t region = kRegionNorthAmerica) {
        return DecodeTagFrame(data, text, halfFrame, region, feetInches);
    }
    void SetUp() override { UseFormats(kRegionNorthAmerica, false); }
};

TEST_F(DecodeFrame, OneFieldOfAnOperatorFormat) {
    struct Case {
        const char* what;
        test::RowDef row;
        uint64_t value;
        bool feetInches;
        const char* text;
        int code = 41;
    };
    const test::RowDef length{"Length", 30, 12, 7, "0", "4095"}, initial{"Initial", 7, 19, 1, "A   ", "ZZZZ"};
    const Case cases[] = {
        // 610 dm: 2401.57 in -> 2401 + 2 + 1 = 2404 in = 200 ft 4 in.
        {"feet-inches, two-digit inches", length, 610, kFeetInches, "200-04"},
        {"152 dm is 50-00", length, 152, kFeetInches, "50-00"},
        {"decimeters as stored", length, 152, kDecimeters, "152"},
        {"zero length", length, 0, kFeetInches, "0-00"},
        {"4095 dm is 1343-08", length, 4095, kFeetInches, "1343-08"},
        {"length adds its minimum", {"Length", 30, 12, 7, "100", "4095"}, 52, kDecimeters, "152"},
        {"length with minimum in feet-inches", {"Length", 30, 12, 7, "100", "4095"}, 52, kFeetInches, "50-00"},
        {"ZZZZ", initial, 511757, kDecimeters, "ZZZZ"},
        {"base 27 zero", initial, 0, kDecimeters, "A   "},
        {"base 27 inner blank", initial, 2 * 729 + 4, kDecimeters, "AB D"},
        // All 19 bits: 524287 = 26*19683 + 17*729 + 5*27 + 1 -> first digit 27 has no letter.
        {"first digit past Z", initial, 524287, kDecimeters, "?QEA"},
        // Two letters in 15 bits: 729 = 27 * 27 needs a first digit of 27.
        {"wide base 27 beyond its letters", {"Class", 30, 15, 1, "A", "ZZ"}, 729, kDecimeters, "? "},
        {"base 27 ZZ", {"Class", 30, 15, 1, "A", "ZZ"}, 25 * 27 + 26, kDecimeters, "ZZ"},
        {"base 37 first digit 10+1 is A", {"Class", 30, 15, 2, "0", "ZZZ"}, 10 * 37 * 37 + 10 * 37, kDecimeters,
         "A:0"},
        {"base 37 first digit 37 has no character", {"Class", 30, 15, 2, "0", "ZZ"}, 36 * 37 + 36, kDecimeters, "?Z"},
        {"base 37 zero", {"Class", 30, 15, 2, "0", "ZZ"}, 0, kDecimeters, "10"},
        {"numeric plus minimum 200", {"Width", 74, 7, 3, "200", "300"}, 0, kDecimeters, "200"},
        {"numeric plus minimum 5", {"Number", 10, 20, 3, "5", "999"}, 77, kDecimeters, "82"},
        {"type 4 gives no text", {"Trailer", 45, 10, 4, "0", "9"}, 1023, kDecimeters, ""},
        {"type 5 gives no text", {"Half", 55, 6, 5, "0", "9"}, 63, kDecimeters, ""},
        {"type 6 gives no text", {"Half37", 70, 6, 6, "0", "9"}, 63, kDecimeters, ""},
        {"side 0 is LEFT", {"Side", 80, 1, 8}, 0, kDecimeters, "LEFT"},
        {"side 1 is RIGHT", {"Side", 80, 1, 8}, 1, kDecimeters, "RIGHT"},
        {"code 10 identifies but decodes no field", {"Number", 10, 20, 3, "0", "999"}, 77, kDecimeters, "", 10},
    };
    for (const Case& c : cases) {
        data.UpdateTagFormatData(6, MakeFormat("Op", 28, c.code, 2, {c.row}));
        const DecodedFrame d =
            Decode(RefFrame().With(0, 5, 28).With(c.row.start, c.row.length, c.value).With(118, 6, c.code).Hex(),
                   c.feetInches);
        ASSERT_TRUE(d.identified) << c.what;
        EXPECT_EQ(d.formatIndex, 6) << c.what;
        EXPECT_EQ(d.texts[0], c.text) << c.what;
        EXPECT_EQ(d.sideRow, c.row.type == 8 ? 0 : -1) << c.what;
    }
}

TEST_F(DecodeFrame, ShortNonHexOrUnknownIsNotIdentified) {
    const std::string good = RefFrame().With(0, 5, 19).With(5, 2, 1).With(118, 6, 51).Hex();
    ASSERT_TRUE(Decode(good).identified);
    const std::string bad[] = {good.substr(0, 29), std::string(), good.substr(0, 15) + "G" + good.substr(16),
                               RefFrame().With(118, 6, 33).Hex(), // a code no format has
                               RefFrame().With(0, 5, 7).With(118, 6, 51).Hex()}; // code 51, a group no format has
    for (const std::string& text : bad) {
        const DecodedFrame d = Decode(text);
        EXPECT_FALSE(d.identified) << text;
        EXPECT_EQ(d.formatIndex, -1) << text;
        for (const auto& t : d.texts) EXPECT_EQ(t, "") << text;
    }
}

TEST_F(DecodeFrame, CodeZeroTakesTheHighestCodeZeroFormatWhateverTheGroup) {
    // The last character, a blank, leaves bits 118-123 at 0; bits 0-4 hold 20.
    const DecodedFrame d = Decode(RefFrame().Chars(0, "HELLO WORLD 1234567 ").Hex());
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 2);
    EXPECT_EQ(d.texts[0] + "|" + d.texts[1], "HELLO WORL|D 1234567 ");
}

TEST_F(DecodeFrame, SaraFallbackWhenTheDelimitersAreZero) {
    UseFormats(kRegionSARA, false);
    // Asset Type "WAGON1", Owner Code "SA", Wagon Number "12345678", Orientation "L" (code 44).
    const RefFrame ref = RefFrame().Chars(0, "WAGON1").Chars(42, "SA").Chars(64, "12345678").Chars(118, "L");
    const DecodedFrame d = Decode(ref.Hex(), kDecimeters, false, kRegionSARA);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 4); // "SARA"; blank rows are skipped
    EXPECT_EQ(d.texts[0] + "|" + d.texts[1] + "|" + d.texts[2] + "|" + d.texts[4] + "|" + d.texts[6],
              "WAGON1||SA|12345678|L");

    // The same frame outside the SARA region is not identified.
    EXPECT_FALSE(Decode(ref.Hex(), kDecimeters, false, kRegionNorthAmerica).identified);
    // A non-zero delimiter at bit 36, 54 or 112 refuses the fallback.
    for (int delimiter : {36, 54, 112}) {
        RefFrame bad = ref;
        bad.Put(delimiter + 5, 1, 1);
        EXPECT_FALSE(Decode(bad.Hex(), kDecimeters, false, kRegionSARA).identified) << delimiter;
    }
}

TEST_F(DecodeFrame, SaraFallbackNeedsTheSaraSlotToHoldAFormat) {
    const std::string frame = RefFrame().With(118, 6, 33).Hex();
    // North American formats, but the reading names the SARA region: slot 4 is "Hex".
    const DecodedFrame d = Decode(frame, kDecimeters, false, kRegionSARA);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 4);
    EXPECT_EQ(d.texts[0], "0000000000");
    TagFormatData empty;
    empty.systemSlot = 1;
    data.UpdateTagFormatData(4, empty);
    EXPECT_FALSE(Decode(frame, kDecimeters, false, kRegionSARA).identified);
}

TEST_F(DecodeFrame, HalfFrameTakesFifteenDigitsAndSlotZero) {
    UseFormats(kRegionNorthAmerica, true);
    const std::string fifteen = RefFrame().Chars(0, "HALF FRAME").Hex().substr(0, 15);
    // Digits after the fifteenth are not read; fewer than fifteen identify nothing.
    const DecodedFrame d = Decode(fifteen + "FFFFFFFFFFFFFFF", kDecimeters, true);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 0);
    EXPECT_EQ(d.texts[0], "HALF FRAME");
    EXPECT_EQ(BitsToFrameText(d.bits), fifteen + std::string(15, '0'));
    EXPECT_FALSE(Decode(fifteen.substr(0, 14), kDecimeters, true).identified);
    // A railcar frame read in half-frame mode is still slot 0.
    EXPECT_EQ(Decode(RefFrame().With(0, 5, 19).With(5, 2, 1).With(118, 6, 51).Hex(), kDecimeters, true).formatIndex,
              0);
}

TEST_F(DecodeFrame, DamagedOperatorFormatReadsOnlyInsideTheFrame) {
    data.UpdateTagFormatData(6, MakeFormat("Damaged", 28, 41, 2,
                                           {{"A", 200, 255, 0},
                                            {"B", 118, 40, 9},
                                            {"C", 0, 255, 3, "999999999"},
                                            {"D", 0, 255, 7, "999999999"},
                                            {"E", 0, 255, 1, "", "ZZZZZZZZZ"},
                                            {"F", 0, 255, 2, "", "ZZZZZZZZZ"},
                                            {"G", 61, 8, 8}}));
    RefFrame ref;
    ref.Put(0, 5, 28);
    ref.Put(118, 6, 41);
    for (int b = 8; b < 118; b += 3) ref.Put(b, 1, 1);
    for (bool feet : {false, true}) {
        DecodedFrame d = Decode(ref.Hex(), feet);
        ASSERT_TRUE(d.identified);
        EXPECT_EQ(d.texts[0], std::string(42, ' '));      // no place in the frame: blanks
        EXPECT_EQ(d.texts[1].size(), 10u);
        EXPECT_EQ(d.texts[1].substr(0, 2), "A4");         // indexes 114..119, then zeros
        EXPECT_EQ(d.texts[1].substr(2), std::string(8, '0'));
        EXPECT_EQ(d.texts[4].size(), 9u);
        EXPECT_EQ(d.texts[6], "LEFT");                    // bit 61 has no place: reads 0
    }
}

} // namespace
} // namespace velmora
