// Building frames: the conversion of every data type, split fields, the header
// bits, half-frame mode and damaged format records.
#include "FrameTestHelpers.h"

#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::HandRailcar;
using test::MakeFormat;
using test::RefBase27;
using test::RefFrame;
using test::RefSixBit;
using test::Texts;

constexpr bool kFeetInches = true;
constexpr bool kDecimeters = false;

TEST(BuildRailcar, FeetInchesLengthIsConvertedToDecimeters) {
    // 50 feet 0 inches = 600 inches = 152 decimeters.
    const TagFormatData rc = HandRailcar();
    for (const char* typed : {"50-0", "50-00", "50", "50-"}) {
        BuiltFrame f = BuildTagFrame(rc, Texts({"ABCD", "1", "LEFT", typed, "", "4", "1", "0"}), kFeetInches,
                                     false);
        EXPECT_EQ(GetFieldBits(94, 3, f.bits, 47, 9), 152u) << typed;
    }
    BuiltFrame dm = BuildTagFrame(rc, Texts({"ABCD", "1", "LEFT", "152", "", "4", "1", "0"}), kDecimeters,
                                  false);
    EXPECT_EQ(GetFieldBits(94, 3, dm.bits, 47, 9), 152u);
    // 10 feet 11 inches = 131 inches = 33.274 dm -> 33.
    BuiltFrame fi = BuildTagFrame(rc, Texts({"ABCD", "1", "LEFT", "10-11", "", "4", "1", "0"}),
                                  kFeetInches, false);
    EXPECT_EQ(GetFieldBits(94, 3, fi.bits, 47, 9), 33u);
}

TEST(BuildRailcar, HalfFrameModeNeverWritesTheFormatCode) {
    BuiltFrame f = BuildTagFrame(HandRailcar(), Texts({"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}),
                                 kDecimeters, true);
    EXPECT_EQ(GetFieldBits(118, 6, f.bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(0, 5, f.bits, 0, 0), 19u); // the 51/41 header still goes on
    EXPECT_EQ(f.frameText, "9A0181C000AA621900000008000000");
}

TEST(BuildAlpha27, ZZZZIs511757AndFits19Bits) {
    BuiltFrame f = BuildTagFrame(HandRailcar(), Texts({"ZZZZ", "0", "LEFT", "0", "", "1", "0", "0"}),
                                 kDecimeters, false);
    const uint64_t expected = 25u * 19683 + 26u * 729 + 26u * 27 + 26u;
    ASSERT_EQ(expected, 511757u);
    ASSERT_LT(expected, 1u << 19);
    EXPECT_EQ(GetFieldBits(7, 19, f.bits, 0, 0), expected);
}

TEST(BuildAlpha27, ShortTextIsPaddedWithBlanksAndLongTextCutToTheMaximum) {
    const TagFormatData rc = HandRailcar();
    BuiltFrame shortText = BuildTagFrame(rc, Texts({"AB", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(GetFieldBits(7, 19, shortText.bits, 0, 0), RefBase27("AB  "));
    BuiltFrame lower = BuildTagFrame(rc, Texts({"ab", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(lower.frameText, shortText.frameText);
    BuiltFrame longText = BuildTagFrame(rc, Texts({"ABCDE", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(GetFieldBits(7, 19, longText.bits, 0, 0), RefBase27("ABCD"));
}

TEST(BuildAlpha27, FirstBlankIsStoredLikeAAndOtherCharactersAsBlanks) {
    const TagFormatData rc = HandRailcar();
    BuiltFrame blank = BuildTagFrame(rc, Texts({" BCD", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(GetFieldBits(7, 19, blank.bits, 0, 0), RefBase27("ABCD"));
    BuiltFrame empty = BuildTagFrame(rc, Texts({"", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(GetFieldBits(7, 19, empty.bits, 0, 0), 0u);
    BuiltFrame digits = BuildTagFrame(rc, Texts({"A1B?", "0", "LEFT", "0", "", "1", "0", "0"}), kDecimeters, false);
    EXPECT_EQ(GetFieldBits(7, 19, digits.bits, 0, 0), RefBase27("A B "));
}

TEST(BuildAscii, TwentyCharactersRunAcrossTheGap) {
    const TagFormatData ascii = MakeFormat("ASCII", 0, 0, 2,
                                           {{"Characters 1 to 10", 0, 60, 0}, {"Characters 11 to 20", 64, 60, 0}});
    const std::string first = "ABCDEFGHIJ", second = "KLMNOPQRS_";
    BuiltFrame f = BuildTagFrame(ascii, Texts({first, second}), kDecimeters, false);
    RefFrame ref;
    for (int i = 0; i < 10; ++i) {
        ref.Put(6 * i, 6, RefSixBit(first[i]));
        ref.Put(64 + 6 * i, 6, RefSixBit(second[i]));
    }
    EXPECT_EQ(f.frameText, ref.Hex());
    EXPECT_EQ(GetFieldBits(118, 6, f.bits, 0, 0), RefSixBit('_')); // code 0: no header
}

TEST(BuildAscii, ShortTextPadsWithBlankCodeZeroAndLowerCaseIsRaised) {
    const TagFormatData ascii = MakeFormat("ASCII", 0, 0, 2,
                                           {{"Characters 1 to 10", 0, 60, 0}, {"Characters 11 to 20", 64, 60, 0}});
    BuiltFrame f = BuildTagFrame(ascii, Texts({"hi 0", ""}), kDecimeters, false);
    RefFrame ref;
    ref.Put(0, 6, RefSixBit('H'));
    ref.Put(6, 6, RefSixBit('I'));
    ref.Put(12, 6, 0);
    ref.Put(18, 6, RefSixBit('0'));
    EXPECT_EQ(f.frameText, ref.Hex());
}

TEST(BuildAscii, CharacterWithoutASixBitCodeIsStoredAsBlank) {
    const TagFormatData ascii = MakeFormat("A", 0, 0, 2, {{"T", 0, 24, 0}});
    BuiltFrame f = BuildTagFrame(ascii, Texts({std::string("A{\x01\xC3", 4)}), kDecimeters, false);
    RefFrame ref;
    ref.Put(0, 6, RefSixBit('A'));
    EXPECT_EQ(f.frameText, ref.Hex());
}

TEST(BuildAscii, SplitFieldRunsOnFromFirstPartIntoSecond) {
    const TagFormatData f = MakeFormat("Split", 0, 0, 2, {{"Text", 0, 12, 0}, {"Text", 100, 12, 0}});
    BuiltFrame b = BuildTagFrame(f, Texts({"ABCD", ""}), kDecimeters, false);
    RefFrame ref;
    ref.Put(0, 6, RefSixBit('A'));
    ref.Put(6, 6, RefSixBit('B'));
    ref.Put(100, 6, RefSixBit('C'));
    ref.Put(106, 6, RefSixBit('D'));
    EXPECT_EQ(b.frameText, ref.Hex());
}

TEST(BuildHex, HexFormatCarriesNoFormatCode) {
    const TagFormatData hex = MakeFormat("Hex", 0, 99, 2,
                                         {{"Charcters 1 to 10", 0, 40, 9},
                                          {"Charcters 11 to 20", 40, 40, 9},
                                          {"Charcters 21 to 30", 84, 40, 9}});
    BuiltFrame f = BuildTagFrame(hex, Texts({"0123456789", "abcdef0123", "456789ABCD"}), kDecimeters, false);
    EXPECT_EQ(f.frameText, "0123456789ABCDEF0123456789ABCD");
    BuiltFrame ones = BuildTagFrame(hex, Texts({"FFFFFFFFFF", "FFFFFFFFFF", "FFFFFFFFFF"}), kDecimeters, false);
    EXPECT_EQ(ones.frameText, std::string(30, 'F')); // bits 118-123 stay data
}

TEST(BuildHex, ShortTextPadsWithZerosLongTextIsCut) {
    const TagFormatData hex = MakeFormat("Hex", 0, 99, 2, {{"H", 0, 16, 9}, {"G", 16, 8, 9}});
    BuiltFrame f = BuildTagFrame(hex, Texts({"AB", "123"}), kDecimeters, false);
    EXPECT_EQ(f.frameText.substr(0, 6), "AB0012");
}

TEST(BuildNumeric, ValueIsTextMinusMinimum) {
    // Container "Width": 200 is stored as 0, 300 as 100.
    const TagFormatData c = MakeFormat("Container", 10, 51, 2, {{"Width", 74, 7, 3, "200", "300"}});
    EXPECT_EQ(GetFieldBits(74, 7, BuildTagFrame(c, Texts({"200"}), kDecimeters, false).bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(74, 7, BuildTagFrame(c, Texts({"300"}), kDecimeters, false).bits, 0, 0), 100u);
    EXPECT_EQ(GetFieldBits(74, 7, BuildTagFrame(c, Texts({"0250"}), kDecimeters, false).bits, 0, 0), 50u);
}

TEST(BuildNumeric, BadOrBelowMinimumTextIsStoredAsZeroNeverWrapped) {
    const TagFormatData c = MakeFormat("Container", 10, 51, 2, {{"Width", 74, 7, 3, "200", "300"}});
    for (const char* text : {"199", "", "abc", "-5", "4294967296", "99999999999999999999"})
        EXPECT_EQ(GetFieldBits(74, 7, BuildTagFrame(c, Texts({text}), kDecimeters, false).bits, 0, 0), 0u)
            << text;
    const TagFormatData n = MakeFormat("N", 0, 0, 2, {{"N", 0, 32, 3, "", "x"}});
    EXPECT_EQ(GetFieldBits(0, 32, BuildTagFrame(n, Texts({"4294967295"}), kDecimeters, false).bits, 0, 0),
              4294967295u);
}

TEST(BuildLength, ValueIsStoredWithoutTheMinimum) {
    const TagFormatData f = MakeFormat("L", 0, 0, 2, {{"Length", 0, 12, 7, "100", "4095"}});
    EXPECT_EQ(GetFieldBits(0, 12, BuildTagFrame(f, Texts({"610"}), kDecimeters, false).bits, 0, 0), 610u);
    EXPECT_EQ(GetFieldBits(0, 12, BuildTagFrame(f, Texts({"x"}), kDecimeters, false).bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(0, 12, BuildTagFrame(f, Texts({"5-6-7"}), kFeetInches, false).bits, 0, 0), 0u);
}

TEST(BuildSide, LeftIsZeroAnythingElseOne) {
    const TagFormatData f = MakeFormat("S", 0, 0, 2, {{"Side", 10, 1, 8}});
    EXPECT_EQ(GetFieldBits(10, 1, BuildTagFrame(f, Texts({"LEFT"}), kDecimeters, false).bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(10, 1, BuildTagFrame(f, Texts({"left"}), kDecimeters, false).bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(10, 1, BuildTagFrame(f, Texts({"RIGHT"}), kDecimeters, false).bits, 0, 0), 1u);
    EXPECT_EQ(GetFieldBits(10, 1, BuildTagFrame(f, Texts({""}), kDecimeters, false).bits, 0, 0), 1u);
    EXPECT_EQ(GetFieldBits(10, 1, BuildTagFrame(f, Texts({"LEFTX"}), kDecimeters, false).bits, 0, 0), 1u);
}

TEST(BuildBlank, SixZeroBitsAtTheStartWhateverTheLength) {
    const TagFormatData f = MakeFormat("B", 0, 0, 2, {{"N", 10, 12, 3, "0", "4095"}, {"Blank", 12, 2, 10}});
    BuiltFrame b = BuildTagFrame(f, Texts({"4095", "ignored"}), kDecimeters, false);
    RefFrame ref;
    ref.Put(10, 2, 3);
    ref.Put(18, 4, 15);
    EXPECT_EQ(b.frameText, ref.Hex());
}

TEST(BuildUnconvertedTypes, Base37AndDividedTypesLeaveTheirBitsZero) {
    for (int type : {2, 4, 5, 6, 11, 255}) {
        const TagFormatData f = MakeFormat("X", 0, 0, 2, {{"F", 0, 30, type, "0", "ZZZZZ"}});
        EXPECT_EQ(BuildTagFrame(f, Texts({"ABC12"}), kDecimeters, false).frameText, std::string(30, '0')) << type;
    }
}

TEST(BuildHeader, WrittenAfterTheFieldsAndOverwritingThem) {
    const TagFormatData f = MakeFormat("H", 3, 41, 4, {{"Text", 0, 12, 0}, {"Tail", 118, 6, 0}});
    BuiltFrame b = BuildTagFrame(f, Texts({"__", "_"}), kDecimeters, false);
    RefFrame ref;
    ref.Put(0, 12, 0xFFF);
    ref.Put(0, 5, 3);
    ref.Put(5, 2, 3);
    ref.Put(118, 6, 41);
    EXPECT_EQ(b.frameText, ref.Hex());
}

TEST(BuildHeader, OnlyCodes51And41GetGroupAndTagType) {
    auto frameOf = [](int code) {
        TagFormatData f = MakeFormat("H", 31, code, 4, {{"Text", 0, 120, 0}});
        return BuildTagFrame(f, Texts({""}), kDecimeters, false);
    };
    for (int code : {0, 99}) EXPECT_EQ(frameOf(code).frameText, std::string(30, '0')) << code;
    BuiltFrame other = frameOf(10); // format code only
    EXPECT_EQ(GetFieldBits(0, 7, other.bits, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(118, 6, other.bits, 0, 0), 10u);
    for (int code : {41, 51}) {
        BuiltFrame b = frameOf(code);
        EXPECT_EQ(GetFieldBits(0, 5, b.bits, 0, 0), 31u);
        EXPECT_EQ(GetFieldBits(5, 2, b.bits, 0, 0), 3u);
        EXPECT_EQ(GetFieldBits(118, 6, b.bits, 0, 0), static_cast<uint64_t>(code));
    }
}

TEST(BuildRows, RowsAfterTheFirstEmptyNameAreIgnored) {
    TagFormatData f = MakeFormat("R", 0, 0, 2, {{"A", 0, 6, 0}, {"", 6, 6, 0}, {"C", 12, 6, 0}});
    BuiltFrame b = BuildTagFrame(f, Texts({"A", "B", "C"}), kDecimeters, false);
    RefFrame ref;
    ref.Put(0, 6, RefSixBit('A'));
    EXPECT_EQ(b.frameText, ref.Hex());
}

TEST(BuildDamagedRecord, FieldRunningPastTheLastDataBitIsCut) {
    const TagFormatData f = MakeFormat("D", 0, 0, 2, {{"B", 118, 40, 9}});
    BuiltFrame b = BuildTagFrame(f, Texts({std::string(10, 'F')}), kDecimeters, false);
    EXPECT_EQ(b.frameText, std::string(28, '0') + "3F"); // data indexes 114..119 only
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

} // namespace
} // namespace velmora
