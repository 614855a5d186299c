// The "Raw Data" line: the 120 data bits as 6-bit characters and hex digits.
#include "FrameTestHelpers.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ShowRawData, CharactersAndDigitsOfTheDataBits) {
    const BuiltFrame f = BuildTagFrame(test::HandRailcar(),
                                       test::Texts({"ABCD", "42", "RIGHT", "610", "", "4", "1", "0"}), false, false);
    // 9A0181 = 100110 100000 000110 000001 -> "F@&!", and so on, worked out on paper.
    EXPECT_EQ(ShowRawData(f.bits),
              "Raw Data  ASCII [F@&!P \"J8AD    (   S]  Hex [9A0181C000AA621900000008000033]");
    TagBitArray bits{};
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, ' ') + "]  Hex [" + std::string(30, '0') + "]");
    bits.fill(1);
    EXPECT_EQ(ShowRawData(bits), "Raw Data  ASCII [" + std::string(20, '_') + "]  Hex [" + std::string(30, 'F') + "]");
    // An ASCII text across bits 0-59 and 64-123 shows as itself.
    const TagFormatData ascii = test::MakeFormat(
        "ASCII", 0, 0, 2, {{"Characters 1 to 10", 0, 60, 0}, {"Characters 11 to 20", 64, 60, 0}});
    const BuiltFrame a = BuildTagFrame(ascii, test::Texts({"RAW DATA [", "LINE] 0-9?"}), false, false);
    EXPECT_EQ(ShowRawData(a.bits), "Raw Data  ASCII [RAW DATA [LINE] 0-9?]  Hex [" + a.frameText + "]");
}

} // namespace
} // namespace velmora
