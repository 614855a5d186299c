// Bit numbering, field values in and out of the bit array, and the hex text.
#include "FrameTestHelpers.h"

#include "tagdata/FieldBits.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

using test::RefFrame;

// Bit array with guard bytes on both sides: any write outside the 120 data
// bits would land in a guard.
struct Guarded {
    uint8_t before[64];
    TagBitArray bits{};
    uint8_t after[64];
    Guarded() {
        std::memset(before, 0xA5, sizeof before);
        std::memset(after, 0xA5, sizeof after);
    }
    bool GuardsIntact() const {
        for (uint8_t b : before)
            if (b != 0xA5) return false;
        for (uint8_t b : after)
            if (b != 0xA5) return false;
        return true;
    }
};

int SetCount(const TagBitArray& bits) {
    int n = 0;
    for (uint8_t b : bits) n += b;
    return n;
}

TEST(DataBitIndex, SkipsBitNumbers60To63And124Up) {
    EXPECT_EQ(DataBitIndex(0), 0);
    EXPECT_EQ(DataBitIndex(59), 59);
    EXPECT_EQ(DataBitIndex(64), 60);
    EXPECT_EQ(DataBitIndex(118), 114);
    EXPECT_EQ(DataBitIndex(123), 119);
    for (int b : {-1, 60, 61, 62, 63, 124, 127, 200, 255}) EXPECT_EQ(DataBitIndex(b), -1) << b;
}

TEST(FieldBits, ValueIsWrittenMostSignificantBitFirst) {
    TagBitArray bits{};
    PutFieldBits(0b10110, 10, 5, 0, 0, bits);
    RefFrame ref;
    ref.Put(10, 5, 0b10110);
    EXPECT_EQ(BitsToFrameText(bits), ref.Hex());
    EXPECT_EQ(GetFieldBits(10, 5, bits, 0, 0), 0b10110u);
}

TEST(FieldBits, FieldRunningPastBit59ContinuesAtBit64) {
    TagBitArray bits{};
    PutFieldBits(0x1F, 56, 5, 0, 0, bits); // bits 56, 57, 58, 59 and 64
    RefFrame ref;
    ref.Put(56, 5, 0x1F);
    EXPECT_EQ(BitsToFrameText(bits), ref.Hex());
    EXPECT_EQ(bits[59], 1);
    EXPECT_EQ(bits[60], 1); // data index 60 is bit number 64
    EXPECT_EQ(bits[61], 0);
    EXPECT_EQ(GetFieldBits(56, 5, bits, 0, 0), 0x1Fu);
}

TEST(FieldBits, SplitFieldPutsLowBitsInSecondPart) {
    // 610 in a 12-bit length: 3 high bits at 94, 9 low bits at 47.
    TagBitArray bits{};
    PutFieldBits(610, 94, 3, 47, 9, bits);
    EXPECT_EQ(GetFieldBits(94, 3, bits, 0, 0), 1u);
    EXPECT_EQ(GetFieldBits(47, 9, bits, 0, 0), 98u);
    EXPECT_EQ(GetFieldBits(94, 3, bits, 47, 9), 610u);
    RefFrame ref;
    ref.Put(94, 3, 1);
    ref.Put(47, 9, 98);
    EXPECT_EQ(BitsToFrameText(bits), ref.Hex());
}

TEST(FieldBits, HighBitsBeyondTheFieldAreDropped) {
    TagBitArray bits{};
    PutFieldBits(0xFF, 20, 4, 0, 0, bits);
    EXPECT_EQ(GetFieldBits(20, 4, bits, 0, 0), 0xFu);
    EXPECT_EQ(SetCount(bits), 4);
}

TEST(FieldBits, PutOverwritesZerosAsWellAsOnes) {
    TagBitArray bits{};
    bits.fill(1);
    PutFieldBits(0, 30, 8, 0, 0, bits);
    EXPECT_EQ(GetFieldBits(30, 8, bits, 0, 0), 0u);
    EXPECT_EQ(SetCount(bits), kDataBits - 8);
}

TEST(FieldBits, SixtyFourBitValuesRoundTrip) {
    TagBitArray bits{};
    const uint64_t v = 0xF123456789ABCDEFull;
    PutFieldBits(v, 0, 64, 0, 0, bits);
    EXPECT_EQ(GetFieldBits(0, 64, bits, 0, 0), v);
    // Longer than 64 bits: the positions above the value's bit 63 are zeros.
    TagBitArray wide{};
    wide.fill(1);
    PutFieldBits(v, 0, 100, 0, 0, wide);
    EXPECT_EQ(GetFieldBits(0, 36, wide, 0, 0), 0u);
    EXPECT_EQ(GetFieldBits(0, 100, wide, 0, 0), v);
}

// Damaged format records: Starting Bit or Length out of range.
TEST(FieldBitsDamagedRecord, NeverTouchesAnythingOutsideTheDataBits) {
    struct Case {
        int start, length, start2, length2;
    };
    for (Case c : {Case{200, 255, 0, 0}, Case{118, 40, 0, 0}, Case{0, 255, 255, 255},
                   Case{123, 255, 60, 200}, Case{255, 255, 255, 255}, Case{62, 8, 0, 0}}) {
        Guarded g;
        PutFieldBits(~uint64_t{0}, c.start, c.length, c.start2, c.length2, g.bits);
        EXPECT_TRUE(g.GuardsIntact()) << c.start << "/" << c.length;
        (void)GetFieldBits(c.start, c.length, g.bits, c.start2, c.length2);
    }
}

TEST(FieldBitsDamagedRecord, FieldIsCutAtTheLastDataBit) {
    // Start 118 (index 114), 40 bits: only indexes 114..119 exist. They are
    // the field's six most significant positions.
    TagBitArray bits{};
    PutFieldBits(uint64_t{0x2A} << 34, 118, 40, 0, 0, bits);
    EXPECT_EQ(GetFieldBits(118, 6, bits, 0, 0), 0x2Au);
    EXPECT_EQ(SetCount(bits), 3);
    EXPECT_EQ(GetFieldBits(118, 40, bits, 0, 0), uint64_t{0x2A} << 34);
}

TEST(FieldBitsDamagedRecord, StartOutsideTheDataBitsPlacesNothing) {
    for (int start : {60, 61, 62, 63, 124, 200, 255}) {
        TagBitArray bits{};
        PutFieldBits(0xFFFF, start, 16, 0, 0, bits);
        EXPECT_EQ(SetCount(bits), 0) << start;
        bits.fill(1);
        EXPECT_EQ(GetFieldBits(start, 16, bits, 0, 0), 0u) << start;
    }
}

TEST(FieldPlace, SecondPartFollowsFirstInPositionOrder) {
    FieldPlace p{94, 3, 47, 9};
    EXPECT_EQ(p.Total(), 12);
    EXPECT_EQ(p.IndexAt(0), 90);
    EXPECT_EQ(p.IndexAt(2), 92);
    EXPECT_EQ(p.IndexAt(3), 47);
    EXPECT_EQ(p.IndexAt(11), 55);
    EXPECT_EQ(p.IndexAt(12), -1);
    EXPECT_EQ(p.IndexAt(-1), -1);
}

TEST(FrameText, ThirtyUpperCaseDigitsMostSignificantBitFirst) {
    TagBitArray bits{};
    bits[0] = 1;   // first digit 8
    bits[7] = 1;   // second digit 1
    bits[116] = 1; // last digit 8
    bits[119] = 1; // last digit 9
    EXPECT_EQ(BitsToFrameText(bits), "810000000000000000000000000009");
    TagBitArray all{};
    all.fill(1);
    EXPECT_EQ(BitsToFrameText(all), std::string(30, 'F'));
}

TEST(FrameText, ParsesEitherCaseAlike) {
    TagBitArray upper{}, lower{};
    ASSERT_TRUE(FrameTextToBits("9A0181C000AA621900000008000033", 30, upper));
    ASSERT_TRUE(FrameTextToBits("9a0181c000aa621900000008000033", 30, lower));
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(BitsToFrameText(lower), "9A0181C000AA621900000008000033");
}

TEST(FrameText, TooShortOrNonHexIsRefusedAndLeavesBitsCleared) {
    TagBitArray bits{};
    bits.fill(1);
    EXPECT_FALSE(FrameTextToBits("0123456789ABCDEF0123456789ABC", 30, bits)); // 29 digits
    EXPECT_EQ(SetCount(bits), 0);
    bits.fill(1);
    EXPECT_FALSE(FrameTextToBits("0123456789ABCDEF0123456789ABCG", 30, bits));
    EXPECT_EQ(SetCount(bits), 0);
    EXPECT_FALSE(FrameTextToBits("0123456789 BCDEF0123456789ABCD", 30, bits));
    EXPECT_FALSE(FrameTextToBits(std::string_view("0123456789\0BCDEF0123456789ABCD", 30), 30, bits));
    EXPECT_FALSE(FrameTextToBits("", 30, bits));
}

TEST(FrameText, HalfFrameTakesFifteenDigitsAndLeavesTheRestZero) {
    TagBitArray bits{};
    ASSERT_TRUE(FrameTextToBits("FFFFFFFFFFFFFFF", 15, bits));
    EXPECT_EQ(SetCount(bits), 60);
    EXPECT_EQ(BitsToFrameText(bits), "FFFFFFFFFFFFFFF000000000000000");
    // Characters after the digits taken are not looked at.
    ASSERT_TRUE(FrameTextToBits("000000000000001XYZ", 15, bits));
    EXPECT_EQ(SetCount(bits), 1);
}

} // namespace
} // namespace velmora
