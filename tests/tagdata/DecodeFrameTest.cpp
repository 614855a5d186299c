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

// The railcar example: ABCD, 42, RIGHT, 610 dm, 4 axles, bearing 1, platform 0.
RefFrame RailcarFrame(uint64_t initial = 1543, uint64_t number = 42, uint64_t lengthDm = 610) {
    RefFrame ref;
    ref.Put(0, 5, 19);
    ref.Put(5, 2, 1);
    ref.Put(7, 19, initial);
    ref.Put(26, 20, number);
    ref.Put(46, 1, 1);
    ref.Put(94, 3, lengthDm >> 9);
    ref.Put(47, 9, lengthDm & 0x1FF);
    ref.Put(56, 5, 3);
    ref.Put(65, 3, 1);
    ref.Put(118, 6, 51);
    return ref;
}

// One text of a decoded frame.
struct TextCase {
    const char* what;
    std::string frame;
    bool feetInches;
    int row;
    const char* text;
};

TEST_F(DecodeFrame, TextsOfTheBuiltIns) {
    RefFrame container;
    container.With(0, 5, 10).With(5, 2, 1).With(74, 7, 0).With(81, 7, 5).With(88, 9, 410).With(118, 6, 51);
    const TextCase cases[] = {
        // 610 dm: 2401.57 in -> 2401 + 2 + 1 = 2404 in = 200 ft 4 in.
        {"feet-inches, two-digit inches", RailcarFrame().Hex(), kFeetInches, 3, "200-04"},
        {"152 dm is 50-00", RailcarFrame(1543, 42, 152).Hex(), kFeetInches, 3, "50-00"},
        {"decimeters as stored", RailcarFrame(1543, 42, 152).Hex(), kDecimeters, 3, "152"},
        {"zero length", RailcarFrame(1543, 42, 0).Hex(), kFeetInches, 3, "0-00"},
        {"4095 dm is 1343-08", RailcarFrame(1543, 42, 4095).Hex(), kFeetInches, 3, "1343-08"},
        {"ZZZZ", RailcarFrame(511757).Hex(), kDecimeters, 0, "ZZZZ"},
        {"base 27 zero", RailcarFrame(0).Hex(), kDecimeters, 0, "A   "},
        {"base 27 inner blank", RailcarFrame(2 * 729 + 4).Hex(), kDecimeters, 0, "AB D"},
        // All 19 bits: 524287 = 26*19683 + 17*729 + 5*27 + 1 -> first digit 27 has no letter.
        {"first digit past Z", RailcarFrame(524287).Hex(), kDecimeters, 0, "?QEA"},
        {"width read plus minimum 200", container.Hex(), kDecimeters, 5, "200"},
        {"type code plus minimum 1", container.Hex(), kDecimeters, 6, "6"},
        {"weight plus minimum 45", container.Hex(), kDecimeters, 7, "455"},
    };
    for (const TextCase& c : cases) {
        const DecodedFrame d = Decode(c.frame, c.feetInches);
        ASSERT_TRUE(d.identified) << c.what;
        EXPECT_EQ(d.texts[c.row], c.text) << c.what;
    }
    EXPECT_EQ(Decode(RailcarFrame().Hex()).sideRow, 2);
    EXPECT_EQ(Decode(container.Hex()).sideRow, -1);
}

TEST_F(DecodeFrame, ShortOrNonHexTextIsNotIdentified) {
    const std::string good = RailcarFrame().Hex();
    for (const std::string& bad : {good.substr(0, 29), std::string(), good.substr(0, 15) + "G" + good.substr(16)}) {
        DecodedFrame d = Decode(bad);
        EXPECT_FALSE(d.identified);
        EXPECT_EQ(d.formatIndex, -1);
        for (const auto& t : d.texts) EXPECT_EQ(t, "");
    }
}

TEST_F(DecodeFrame, CodeZeroTakesTheHighestCodeZeroFormatWhateverTheGroup) {
    // The last character, a blank, leaves bits 118-123 at 0; bits 0-4 hold 20.
    DecodedFrame d = Decode(RefFrame().Chars(0, "HELLO WORLD 1234567 ").Hex());
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 2);
    EXPECT_EQ(d.texts[0], "HELLO WORL");
    EXPECT_EQ(d.texts[1], "D 1234567 ");
}

TEST_F(DecodeFrame, UnknownCodesAreNotIdentifiedOutsideSara) {
    RefFrame ref;
    ref.Put(118, 6, 33);
    EXPECT_FALSE(Decode(ref.Hex()).identified);
    ref.Put(0, 5, 7); // code 51 with a group no format has
    ref.Put(118, 6, 51);
    EXPECT_FALSE(Decode(ref.Hex()).identified);
}

TEST_F(DecodeFrame, SaraFallbackWhenTheDelimitersAreZero) {
    UseFormats(kRegionSARA, false);
    // Asset Type "WAGON1", Owner Code "SA", Wagon Number "12345678", Orientation "L" (code 44).
    const std::string asset = "WAGON1", owner = "SA", number = "12345678";
    RefFrame ref;
    ref.Chars(0, asset).Chars(42, owner).Chars(64, number).Chars(118, "L");
    DecodedFrame d = Decode(ref.Hex(), kDecimeters, false, kRegionSARA);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 4);
    EXPECT_EQ(data.GetTagFormatData(4).Name(), "SARA");
    EXPECT_EQ(d.texts[0], asset);
    EXPECT_EQ(d.texts[1], ""); // blank rows are skipped
    EXPECT_EQ(d.texts[2], owner);
    EXPECT_EQ(d.texts[4], number);
    EXPECT_EQ(d.texts[6], "L");

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
    RefFrame ref;
    ref.Put(118, 6, 33);
    // North American formats, but the reading names the SARA region: slot 4 is "Hex".
    DecodedFrame d = Decode(ref.Hex(), kDecimeters, false, kRegionSARA);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 4);
    EXPECT_EQ(d.texts[0], "0000000000");
    TagFormatData empty;
    empty.systemSlot = 1;
    data.UpdateTagFormatData(4, empty);
    EXPECT_FALSE(Decode(ref.Hex(), kDecimeters, false, kRegionSARA).identified);
}

TEST_F(DecodeFrame, HalfFrameTakesFifteenDigitsAndSlotZero) {
    UseFormats(kRegionNorthAmerica, true);
    const std::string text = "HALF FRAME";
    RefFrame ref;
    ref.Chars(0, text);
    const std::string fifteen = ref.Hex().substr(0, 15);
    DecodedFrame d = Decode(fifteen, kDecimeters, true);
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 0);
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "ASCII Half Frame");
    EXPECT_EQ(d.texts[0], text);
    EXPECT_EQ(BitsToFrameText(d.bits), fifteen + std::string(15, '0'));
    // Digits after the fifteenth are not read; fewer than fifteen identify nothing.
    EXPECT_EQ(Decode(fifteen + "FFFFFFFFFFFFFFF", kDecimeters, true).texts[0], text);
    EXPECT_FALSE(Decode(fifteen.substr(0, 14), kDecimeters, true).identified);
    // A railcar frame read in half-frame mode is still slot 0.
    EXPECT_EQ(Decode(RailcarFrame().Hex(), kDecimeters, true).formatIndex, 0);
}

TEST_F(DecodeFrame, OtherCodesIdentifyTheFormatButDecodeNoFields) {
    data.UpdateTagFormatData(6, MakeFormat("Code Ten", 3, 10, 2, {{"Number", 10, 20, 3, "0", "999"}}));
    RefFrame ref;
    ref.Put(0, 5, 3);
    ref.Put(10, 20, 77);
    ref.Put(118, 6, 10);
    DecodedFrame d = Decode(ref.Hex());
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 6);
    EXPECT_EQ(d.texts[0], "");
}

TEST_F(DecodeFrame, Code41OperatorFormatIsDecoded) {
    data.UpdateTagFormatData(6, MakeFormat("Code 41", 28, 41, 2,
                                           {{"Number", 10, 20, 3, "5", "999"},
                                            {"Class", 30, 15, 2, "0", "ZZZ"},
                                            {"Trailer", 45, 10, 4, "0", "9"},
                                            {"Half", 55, 6, 5, "0", "9"},
                                            {"Half37", 70, 6, 6, "0", "9"},
                                            {"Side", 80, 1, 8}}));
    RefFrame ref;
    ref.Put(0, 5, 28);
    ref.Put(10, 20, 77);
    ref.Put(30, 15, 10 * 37 * 37 + 10 * 37 + 0); // first digit 10+1 = "A", then ":" and "0"
    ref.Put(45, 10, 1023);
    ref.Put(118, 6, 41);
    DecodedFrame d = Decode(ref.Hex());
    ASSERT_TRUE(d.identified);
    EXPECT_EQ(d.formatIndex, 6);
    EXPECT_EQ(d.texts[0], "82");
    EXPECT_EQ(d.texts[1], "A:0");
    EXPECT_EQ(d.texts[2], ""); // types 4, 5 and 6 give empty texts
    EXPECT_EQ(d.texts[3], "");
    EXPECT_EQ(d.texts[4], "");
    EXPECT_EQ(d.texts[5], "LEFT");
    EXPECT_EQ(d.sideRow, 5);
}

TEST_F(DecodeFrame, OneFieldOfAnOperatorFormat) {
    struct Case {
        const char* what;
        test::RowDef row;
        uint64_t value;
        bool feetInches;
        const char* text;
    };
    const Case cases[] = {
        {"base 37 first digit 37 has no character", {"Class", 30, 15, 2, "0", "ZZ"}, 36 * 37 + 36, false, "?Z"},
        {"base 37 zero", {"Class", 30, 15, 2, "0", "ZZ"}, 0, false, "10"},
        // Two letters in 15 bits: 729 = 27 * 27 needs a first digit of 27.
        {"wide base 27 beyond its letters", {"Class", 30, 15, 1, "A", "ZZ"}, 729, false, "? "},
        {"base 27 ZZ", {"Class", 30, 15, 1, "A", "ZZ"}, 25 * 27 + 26, false, "ZZ"},
        {"length adds its minimum", {"Length", 30, 12, 7, "100", "4095"}, 52, false, "152"},
        {"length with minimum in feet-inches", {"Length", 30, 12, 7, "100", "4095"}, 52, true, "50-00"},
    };
    for (const Case& c : cases) {
        data.UpdateTagFormatData(6, MakeFormat("Op", 28, 41, 2, {c.row}));
        RefFrame ref;
        ref.With(0, 5, 28).With(c.row.start, c.row.length, c.value).With(118, 6, 41);
        EXPECT_EQ(Decode(ref.Hex(), c.feetInches).texts[0], c.text) << c.what;
    }
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
