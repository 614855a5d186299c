// The "Raw Data" line: the 120 data bits as 6-bit characters and hex digits.
#include "FrameTestHelpers.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::HandRailcar;
using test::Texts;

TEST(ShowRawData, RailcarExampleLine) {
    BuiltFrame f = BuildTagFrame(HandRailcar(), Texts({"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}),
                                 false, false);
    // 9A0181 = 100110 100000 000110 000001 -> "F@&!", and so on, worked out on paper.
    EXPECT_EQ(ShowRawData(f.bits),
              "Raw Data  ASCII [F@&!P \"J8AD    (   S]  Hex [9A0181C000AA621900000008000033]");
}

TEST(ShowRawData, EmptyAndFullArrays) {
    TagBitArray bits{};
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, ' ') + "]  Hex [" +
                                     std::string(30, '0') + "]");
    bits.fill(1);
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, '_') + "]  Hex [" +
                                     std::string(30, 'F') + "]");
}

TEST(ShowRawData, CharactersFollowTheDataIndexesAcrossTheGap) {
    // An ASCII text across bits 0-59 and 64-123 shows as itself.
    const TagFormatData ascii = test::MakeFormat(
        "ASCII", 0, 0, 2, {{"Characters 1 to 10", 0, 60, 0}, {"Characters 11 to 20", 64, 60, 0}});
    BuiltFrame f = BuildTagFrame(ascii, Texts({"RAW DATA [", "LINE] 0-9?"}), false, false);
    const std::string line = ShowRawData(f.bits);
    EXPECT_EQ(line.substr(0, 38), "Raw Data  ASCII [RAW DATA [LINE] 0-9?]");
    EXPECT_EQ(line.substr(38), "  Hex [" + f.frameText + "]");
}

} // namespace
} // namespace velmora
