// Field values in and out of the bit array, the hex text, and building frames: the conversion of every data type,
// split fields, the header bits, half-frame mode, damaged format records and the "Raw Data" line of a frame's bits.
#include "FrameTestHelpers.h"

#include "tagdata/FieldBits.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

using test::HandRailcar;
using test::MakeFormat;
using test::RefFrame;
using test::Texts;

constexpr bool kFeetInches = true;
constexpr bool kDecimeters = false;

int SetCount(const TagBitArray& bits) {
    int n = 0;
    for (uint8_t b : bits) n += b;
    return n;
}

TEST(FieldBits, PutAndGetAgainstTheReferenceFrame) {
    struct Case {
        const char* what;
        uint64_t value;
        int start, length, start2, length2;
        RefFrame expect;
        uint64_t readBack;
    };
    const Case cases[] = {
        {"most significant bit first", 0b10110, 10, 5, 0, 0, RefFrame().With(10, 5, 0b10110), 0b10110},
        {"past bit 59 goes on at 64", 0x1F, 56, 5, 0, 0, RefFrame().With(56, 5, 0x1F), 0x1F},
        {"split: low bits in the second part", 610, 94, 3, 47, 9, RefFrame().With(94, 3, 1).With(47, 9, 98), 610},
        {"high bits beyond the field dropped", 0xFF, 20, 4, 0, 0, RefFrame().With(20, 4, 0xF), 0xF},
        {"64-bit value", 0xF123456789ABCDEFull, 0, 64, 0, 0, RefFrame().With(0, 64, 0xF123456789ABCDEFull),
         0xF123456789ABCDEFull},
        {"cut at the last data bit", uint64_t{0x2A} << 34, 118, 40, 0, 0, RefFrame().With(118, 6, 0x2A),
         uint64_t{0x2A} << 34},
    };
    for (const Case& c : cases) {
        TagBitArray bits{};
        PutFieldBits(c.value, c.start, c.length, c.start2, c.length2, bits);
        EXPECT_EQ(BitsToFrameText(bits), c.expect.Hex()) << c.what;
        EXPECT_EQ(GetFieldBits(c.start, c.length, bits, c.start2, c.length2), c.readBack) << c.what;
    }
    // Put writes zeros as well as ones; wider than 64 bits the top positions are zeros.
    TagBitArray ones{};
    ones.fill(1);
    PutFieldBits(0, 30, 8, 0, 0, ones);
    EXPECT_EQ(SetCount(ones), kDataBits - 8);
    ones.fill(1);
    PutFieldBits(~uint64_t{0}, 0, 100, 0, 0, ones);
    EXPECT_EQ(GetFieldBits(0, 36, ones, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(0, 100, ones, 0, 0), ~uint64_t{0});
}

// Damaged format records: Starting Bit or Length out of range.
TEST(FieldBitsDamagedRecord, NeverTouchesAnythingOutsideTheDataBits) {
    struct Guarded {
        uint8_t before[64];
        TagBitArray bits{};
        uint8_t after[64];
    };
    struct Case {
        int start, length, start2, length2;
    };
    for (Case c : {Case{200, 255, 0, 0}, Case{118, 40, 0, 0}, Case{0, 255, 255, 255},
                   Case{123, 255, 60, 200}, Case{255, 255, 255, 255}, Case{62, 8, 0, 0}}) {
        Guarded g;
        std::memset(g.before, 0xA5, sizeof g.before);
        std::memset(g.after, 0xA5, sizeof g.after);
        PutFieldBits(~uint64_t{0}, c.start, c.length, c.start2, c.length2, g.bits);
        (void)GetFieldBits(c.start, c.length, g.bits, c.start2, c.length2);
        for (int i = 0; i < 64; ++i) ASSERT_TRUE(g.before[i] == 0xA5 && g.after[i] == 0xA5) << c.start << "/" << c.length;
    }
    for (int start : {60, 61, 62, 63, 124, 200, 255}) {
        TagBitArray bits{};
        PutFieldBits(0xFFFF, start, 16, 0, 0, bits);
        EXPECT_EQ(SetCount(bits), 0) << start;
        bits.fill(1);
        EXPECT_EQ(GetFieldBits(start, 16, bits, 0, 0), 0u) << start;
    }
}

TEST(FrameText, DigitsBothWays) {
    TagBitArray bits{};
    bits[0] = bits[7] = bits[116] = bits[119] = 1;
    EXPECT_EQ(BitsToFrameText(bits), "810000000000000000000000000009");
    TagBitArray lower{};
    ASSERT_TRUE(FrameTextToBits("9a0181c000aa621900000008000033", 30, lower));
    EXPECT_EQ(BitsToFrameText(lower), "9A0181C000AA621900000008000033");
    // Half frame: fifteen digits, the rest zero, characters after them not looked at.
    ASSERT_TRUE(FrameTextToBits("FFFFFFFFFFFFFFF", 15, bits));
    EXPECT_EQ(BitsToFrameText(bits), "FFFFFFFFFFFFFFF000000000000000");
    ASSERT_TRUE(FrameTextToBits("000000000000001XYZ", 15, bits));
    EXPECT_EQ(SetCount(bits), 1);
}

TEST(FrameText, TooShortOrNonHexIsRefusedAndLeavesBitsCleared) {
    for (std::string_view bad : {std::string_view("0123456789ABCDEF0123456789ABC"),
                                 std::string_view("0123456789ABCDEF0123456789ABCG"),
                                 std::string_view("0123456789 BCDEF0123456789ABCD"),
                                 std::string_view("0123456789\0BCDEF0123456789ABCD", 30), std::string_view()}) {
        TagBitArray bits{};
        bits.fill(1);
        EXPECT_FALSE(FrameTextToBits(bad, 30, bits)) << bad;
        EXPECT_EQ(SetCount(bits), 0) << bad;
    }
}

FieldTexts Railcar(const std::string& initial, const std::string& length) {
    return Texts({initial, "1", "LEFT", length, "", "4", "1", "0"});
}

// One field read back from a built frame: the place and the stored value.
struct FieldCase {
    const char* what;
    TagFormatData format;
    FieldTexts texts;
    bool feetInches;
    int start, length, start2, length2;
    uint64_t value;
};

TEST(BuildFrame, EachTypeStoresItsValue) {
    const TagFormatData rc = HandRailcar();
    const TagFormatData width = MakeFormat("Container", 10, 51, 2, {{"Width", 74, 7, 3, "200", "300"}});
    const TagFormatData len = MakeFormat("L", 0, 0, 2, {{"Length", 0, 12, 7, "100", "4095"}});
    const TagFormatData side = MakeFormat("S", 0, 0, 2, {{"Side", 10, 1, 8}});
    const TagFormatData n32 = MakeFormat("N", 0, 0, 2, {{"N", 0, 32, 3, "", "x"}});
    const FieldCase cases[] = {
        {"feet-inches 50-0 is 152 dm", rc, Railcar("ABCD", "50-0"), kFeetInches, 94, 3, 47, 9, 152},
        {"decimeters 152", rc, Railcar("ABCD", "152"), kDecimeters, 94, 3, 47, 9, 152},
        {"10-11 is 33.27 dm", rc, Railcar("ABCD", "10-11"), kFeetInches, 94, 3, 47, 9, 33},
        // Base 27, the first letter one less: ZZZZ = 25 26 26 26, "AB  " = 0 2 0 0, ABCD = 0 2 3 4, "A B " = 0 0 2 0.
        {"ZZZZ is 511757", rc, Railcar("ZZZZ", "0"), kDecimeters, 7, 19, 0, 0, 511757},
        {"short initial padded", rc, Railcar("AB", "0"), kDecimeters, 7, 19, 0, 0, 1458},
        {"lower case raised", rc, Railcar("ab", "0"), kDecimeters, 7, 19, 0, 0, 1458},
        {"long initial cut", rc, Railcar("ABCDE", "0"), kDecimeters, 7, 19, 0, 0, 1543},
        {"first blank stored like A", rc, Railcar(" BCD", "0"), kDecimeters, 7, 19, 0, 0, 1543},
        {"empty initial", rc, Railcar("", "0"), kDecimeters, 7, 19, 0, 0, 0},
        {"other characters as blanks", rc, Railcar("A1B?", "0"), kDecimeters, 7, 19, 0, 0, 54},
        {"numeric 200 at minimum 200", width, Texts({"200"}), kDecimeters, 74, 7, 0, 0, 0},
        {"numeric 300", width, Texts({"300"}), kDecimeters, 74, 7, 0, 0, 100},
        {"numeric below minimum", width, Texts({"199"}), kDecimeters, 74, 7, 0, 0, 0},
        {"numeric not a number", width, Texts({"abc"}), kDecimeters, 74, 7, 0, 0, 0}, // the parse forms: ValueCheckTest
        {"numeric 2^32 not wrapped", width, Texts({"4294967296"}), kDecimeters, 74, 7, 0, 0, 0},
        {"numeric 32-bit maximum", n32, Texts({"4294967295"}), kDecimeters, 0, 32, 0, 0, 4294967295u},
        {"length without its minimum", len, Texts({"610"}), kDecimeters, 0, 12, 0, 0, 610},
        {"length not a number", len, Texts({"x"}), kDecimeters, 0, 12, 0, 0, 0},
        {"length bad feet-inches", len, Texts({"5-6-7"}), kFeetInches, 0, 12, 0, 0, 0},
        {"side LEFT", side, Texts({"LEFT"}), kDecimeters, 10, 1, 0, 0, 0},
        {"side left", side, Texts({"left"}), kDecimeters, 10, 1, 0, 0, 0},
        {"side RIGHT", side, Texts({"RIGHT"}), kDecimeters, 10, 1, 0, 0, 1},
        {"side empty", side, Texts({""}), kDecimeters, 10, 1, 0, 0, 1},
        {"side LEFTX", side, Texts({"LEFTX"}), kDecimeters, 10, 1, 0, 0, 1},
    };
    for (const FieldCase& c : cases) {
        const BuiltFrame f = BuildTagFrame(c.format, c.texts, c.feetInches, false);
        EXPECT_EQ(GetFieldBits(c.start, c.length, f.bits, c.start2, c.length2), c.value) << c.what;
    }
}

// Whole frames against the reference frame.
struct FrameCase {
    const char* what;
    TagFormatData format;
    FieldTexts texts;
    RefFrame expect;
};

TEST(BuildFrame, WholeFrames) {
    const TagFormatData ascii =
        MakeFormat("ASCII", 0, 0, 2, {{"Characters 1 to 10", 0, 60, 0}, {"Characters 11 to 20", 64, 60, 0}});
    const FrameCase cases[] = {
        {"twenty characters across the gap, no header for code 0", ascii, Texts({"ABCDEFGHIJ", "KLMNOPQRS_"}),
         RefFrame().Chars(0, "ABCDEFGHIJKLMNOPQRS_")},
        {"short text pads with code 0, lower case raised", ascii, Texts({"hi 0", ""}), RefFrame().Chars(0, "HI 0")},
        {"character without a six-bit code is a blank", MakeFormat("A", 0, 0, 2, {{"T", 0, 24, 0}}),
         Texts({std::string("A{\x01\xC3", 4)}), RefFrame().Chars(0, "A")},
        {"split text runs on into the second part",
         MakeFormat("Split", 0, 0, 2, {{"Text", 0, 12, 0}, {"Text", 100, 12, 0}}), Texts({"ABCD", ""}),
         RefFrame().Chars(0, "AB").Chars(100, "CD")},
        {"hex short pads with zeros, long is cut", MakeFormat("Hex", 0, 99, 2, {{"H", 0, 16, 9}, {"G", 16, 8, 9}}),
         Texts({"AB", "123"}), RefFrame().With(0, 24, 0xAB0012)},
        {"blank: six zero bits whatever the length",
         MakeFormat("B", 0, 0, 2, {{"N", 10, 12, 3, "0", "4095"}, {"Blank", 12, 2, 10}}),
         Texts({"4095", "ignored"}), RefFrame().With(10, 2, 3).With(18, 4, 15)},
        {"header written after the fields", MakeFormat("H", 3, 41, 4, {{"Text", 0, 12, 0}, {"Tail", 118, 6, 0}}),
         Texts({"__", "_"}), RefFrame().With(0, 5, 3).With(5, 2, 3).With(7, 5, 0x1F).With(118, 6, 41)},
        {"code 10: format code only", MakeFormat("H", 31, 10, 4, {{"Text", 0, 120, 0}}), Texts({""}),
         RefFrame().With(118, 6, 10)},
        {"code 0: no header", MakeFormat("H", 31, 0, 4, {{"Text", 0, 120, 0}}), Texts({""}), RefFrame()},
        {"code 99: no header", MakeFormat("H", 31, 99, 4, {{"Text", 0, 120, 0}}), Texts({""}), RefFrame()},
        {"code 51: group and tag type", MakeFormat("H", 31, 51, 4, {{"Text", 0, 120, 0}}), Texts({""}),
         RefFrame().With(0, 5, 31).With(5, 2, 3).With(118, 6, 51)},
        {"rows after the first empty name ignored",
         MakeFormat("R", 0, 0, 2, {{"A", 0, 6, 0}, {"", 6, 6, 0}, {"C", 12, 6, 0}}), Texts({"A", "B", "C"}),
         RefFrame().Chars(0, "A")},
    };
    for (const FrameCase& c : cases) EXPECT_EQ(BuildTagFrame(c.format, c.texts, kDecimeters, false).frameText, c.expect.Hex()) << c.what;
    const TagFormatData hex = MakeFormat("Hex", 0, 99, 2, {{"1", 0, 40, 9}, {"2", 40, 40, 9}, {"3", 84, 40, 9}});
    EXPECT_EQ(BuildTagFrame(hex, Texts({"FFFFFFFFFF", "FFFFFFFFFF", "FFFFFFFFFF"}), kDecimeters, false).frameText,
              std::string(30, 'F')); // bits 118-123 stay data
    EXPECT_EQ(BuildTagFrame(HandRailcar(), Texts({"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}), kDecimeters, true)
                  .frameText,
              "9A0181C000AA621900000008000000"); // half frame: no format code, the group still on
    for (int type : {2, 4, 5, 6, 11, 255}) {
        const TagFormatData f = MakeFormat("X", 0, 0, 2, {{"F", 0, 30, type, "0", "ZZZZZ"}});
        EXPECT_EQ(BuildTagFrame(f, Texts({"ABC12"}), kDecimeters, false).frameText, std::string(30, '0')) << type;
    }
}

TEST(BuildDamagedRecord, FieldRunningPastTheLastDataBitIsCut) {
    const TagFormatData f = MakeFormat("D", 0, 0, 2, {{"B", 118, 40, 9}});
    EXPECT_EQ(BuildTagFrame(f, Texts({std::string(10, 'F')}), kDecimeters, false).frameText,
              std::string(28, '0') + "3F"); // data indexes 114..119 only
}

TEST(BuildDamagedRecord, EveryTypeAtOutOfRangePlacesStaysInsideTheFrame) {
    struct Place {
        int start, length;
    };
    for (Place p : {Place{200, 255}, Place{118, 40}, Place{118, 255}, Place{255, 255}, Place{61, 12},
                    Place{0, 255}, Place{119, 255}}) {
        for (int type = 0; type <= 11; ++type) {
            TagFormatData f = MakeFormat("D", 31, 51, 0,
                                         {{"Split", p.start, p.length, type, "A", "ZZZZZZZZZ"},
                                          {"Split", p.start, p.length, type, "A", "ZZZZZZZZZ"},
                                          {"Alone", p.start, p.length, type, "", "ZZZZZZZZZ"}});
            FieldTexts t;
            for (auto& s : t) s = std::string(30, 'Z');
            for (bool feet : {false, true}) {
                BuiltFrame b = BuildTagFrame(f, t, feet, false);
                EXPECT_EQ(b.frameText.size(), 30u);
                EXPECT_EQ(BitsToFrameText(b.bits), b.frameText);
            }
        }
    }
}

TEST(BuildDamagedRecord, UnterminatedTextsEndWithinTheirWidths) {
    // A stored record with no NUL anywhere: every text is cut to its width.
    uint8_t raw[kTagFormatDataSize];
    for (std::size_t i = 0; i < sizeof raw; ++i) raw[i] = static_cast<uint8_t>('A' + i % 26);
    for (int r = 0; r < kFieldRows; ++r) {
        raw[500 + r] = static_cast<uint8_t>(8 * r);      // Starting Bit
        raw[515 + r] = static_cast<uint8_t>(6 + 3 * r);  // Length
        raw[530 + r] = static_cast<uint8_t>(r % 11);     // Type
    }
    const TagFormatData f = DeserializeTagFormat(raw);
    ASSERT_EQ(f.Name().size(), 30u);
    ASSERT_EQ(f.Maximum(0).size(), 9u);
    ASSERT_EQ(f.RowCount(), kFieldRows);
    FieldTexts t;
    for (auto& s : t) s = "ZZZZZZZZZ";
    const ValueCheckResult check = CheckFieldValues(f, t, ShownRows(f), true);
    EXPECT_LE(FieldErrorText(f, check).size(), 249u);
    const BuiltFrame b = BuildTagFrame(f, t, true, false);
    EXPECT_EQ(BitsToFrameText(b.bits), b.frameText);
}

// The "Raw Data" line: the 120 data bits as 6-bit characters and hex digits.
TEST(ShowRawData, CharactersAndDigitsOfTheDataBits) {
    const BuiltFrame f = BuildTagFrame(HandRailcar(),
                                       Texts({"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}), false, false);
    // 9A0181 = 100110 100000 000110 000001 -> "F@&!", and so on, worked out on paper.
    EXPECT_EQ(ShowRawData(f.bits),
              "Raw Data  ASCII [F@&!P \"J8AD    (   S]  Hex [9A0181C000AA621900000008000033]");
    TagBitArray bits{};
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, ' ') + "]  Hex [" + std::string(30, '0') + "]");
    bits.fill(1);
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, '_') + "]  Hex [" + std::string(30, 'F') + "]");
}

} // namespace
} // namespace velmora
