// Bit numbering, field values in and out of the bit array, and the hex text.
#include "FrameTestHelpers.h"

#include "tagdata/FieldBits.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

using test::RefFrame;

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
    TagBitArray upper{}, lower{};
    ASSERT_TRUE(FrameTextToBits("9A0181C000AA621900000008000033", 30, upper));
    ASSERT_TRUE(FrameTextToBits("9a0181c000aa621900000008000033", 30, lower));
    EXPECT_EQ(upper, lower);
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

} // namespace
} // namespace velmora
