// The tag frame: 120 data bits (bit numbers 0-59 and 64-123; 60-63 and
// 124-127 are never used), carried as 30 upper-case hex digits. Field texts
// go in with BuildTagFrame and come out with DecodeTagFrame.
#pragma once

#include "tagdata/TagFormatData.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

inline constexpr int kDataBits = 120;
inline constexpr int kFrameDigits = 30;
inline constexpr int kHalfFrameDigits = 15;

// One entry per data bit index, each 0 or 1.
using TagBitArray = std::array<uint8_t, kDataBits>;
using FieldTexts = std::array<std::string, kFieldRows>;

// Data bit index of a bit number: itself for 0..59, minus 4 for 64..123;
// -1 for a bit number outside the frame's data bits.
int DataBitIndex(int bitNumber);

// Moves a value in and out of the bit array. A second length of 0 means no
// second part; for a split field the second part holds the low-order bits.
// Bits outside the 120 data bits are neither written nor read.
void PutFieldBits(uint64_t value, int startBit, int length, int startBit2, int length2,
                  TagBitArray& bits);
uint64_t GetFieldBits(int startBit, int length, const TagBitArray& bits, int startBit2,
                      int length2);

// The 30-digit frame text of the bit array.
std::string BitsToFrameText(const TagBitArray& bits);
// Parses hex digits (either case) into data indexes 0 onward. Returns false,
// leaving bits cleared, when the text has fewer than `digits` hex digits at
// its start or a non-hex character among them.
bool FrameTextToBits(std::string_view text, int digits, TagBitArray& bits);

struct BuiltFrame {
    TagBitArray bits{};
    std::string frameText; // 30 hex digits
};

// Builds the frame from the texts of the format's rows (index = row), each
// upper-cased first. Expects the value check to have passed; never writes
// outside the data bits even for a damaged format record, and settles texts
// the check would refuse as TagFrame.cpp describes.
BuiltFrame BuildTagFrame(const TagFormatData& format, const FieldTexts& texts, bool feetInches,
                         bool halfFrame);

struct DecodedFrame {
    bool identified = false;
    int formatIndex = -1;
    FieldTexts texts;   // one per row; continuation and blank rows stay empty
    int sideRow = -1;   // the side indicator row, -1 when none
    TagBitArray bits{};
};

// Decodes a frame text (30 digits, 15 in half-frame mode; either case; any
// characters after those digits are not read) with the format table of
// `data`. A frame that is too short, holds a non-hex digit among its digits,
// whose codes match no format (outside the SARA case), or that names a slot
// holding no format (half-frame slot 0, SARA slot 4) is not identified: the
// result is then all cleared. Fields are decoded only for data format codes
// 0, 41 and 51; for other codes the format is identified and the texts stay
// empty.
DecodedFrame DecodeTagFrame(AEIData& data, std::string_view frameText, bool halfFrame,
                            int32_t marketRegion, bool feetInches);

// "Raw Data  ASCII [%s]  Hex [%s]" with the 20 six-bit characters and the
// 30 hex digits of the array.
std::string ShowRawData(const TagBitArray& bits);

} // namespace velmora
