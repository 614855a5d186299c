// Field texts into the tag frame and back, by the data type of each row.
//
// Rows: taken in order up to the first empty Field Name. A row named like the
// row before it is the low part of a split field: its first row converts the
// whole field over both parts (first part high). For ASCII and hex rows the
// characters run on from the first part into the second.
//
// Values the conversion rules leave open are settled as follows:
//   - ASCII: a character without a 6-bit code (outside " ".."_" after
//     upper-casing) is stored as a blank. The value check flags such texts.
//   - Hex: a character that is not a hex digit is stored as 0 (the value check
//     flags it).
//   - Base 27: a character other than a letter counts as a blank (digit 0).
//     The first character's digit is reduced by 1 but never below 0, so a
//     first blank is stored like "A". (The value check flags non-letters, and
//     a first blank sorts before any letter Minimum.)
//   - Numeric: a text that is not a decimal number within 32 bits counts as 0;
//     a text below the Minimum is stored as 0 instead of wrapping around.
//   - Decoding base 27 and base 37: the first digit is the whole value divided
//     by the weight of the first position; when that digit plus 1 has no
//     letter ("Z" is 26 in base 27, 36 in base 37) the character is "?".
//   - Decoding numeric and length fields: value plus Minimum; a sum past 64
//     bits shows the largest 64-bit number.
//   - Data type codes outside 0..10 convert like types 4, 5 and 6: no bits
//     when building, an empty text when reading.
#include "tagdata/TagFrame.h"

#include "data/AEIData.h"
#include "tagdata/FieldBits.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <limits>

namespace velmora {

namespace {

constexpr int kFormatCodeBit = 118;
constexpr int kEquipmentBit = 0;
constexpr int kTagTypeBit = 5;

// The field of row `row`, joined with its continuation row when there is one.
FieldPlace PlaceOfRow(const TagFormatData& f, int row, int rowCount) {
    FieldPlace p{f.startingBit[row], f.length[row], 0, 0};
    const int next = row + 1;
    if (next < rowCount && f.IsContinuation(next)) {
        p.startBit2 = f.startingBit[next];
        p.length2 = f.length[next];
    }
    return p;
}

uint64_t Power(uint64_t base, int exponent) {
    uint64_t v = 1;
    for (int i = 0; i < exponent; ++i) v *= base;
    return v;
}

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    const uint64_t s = a + b;
    return s < a ? std::numeric_limits<uint64_t>::max() : s;
}

// --- building -------------------------------------------------------------------

uint8_t SixBitCode(char c) {
    if (!IsSixBitChar(c)) return 0;
    return static_cast<uint8_t>(static_cast<unsigned char>(UpperAscii(c)) - 32);
}

uint8_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    return 0;
}

uint64_t Base27Value(std::string_view text, int n) {
    uint64_t value = 0;
    for (int i = 0; i < n; ++i) {
        const char c = i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : ' ';
        int digit = (c >= 'A' && c <= 'Z') ? c - 'A' + 1 : 0;
        if (i == 0 && digit > 0) digit -= 1;
        value = value * 27 + static_cast<uint64_t>(digit);
    }
    return value;
}

void BuildRow(const TagFormatData& f, int row, const FieldPlace& place, const std::string& upper,
              bool feetInches, TagBitArray& bits) {
    const int total = place.Total();
    switch (f.type[row]) {
    case kTypeAscii: {
        const int n = total / 6;
        for (int i = 0; i < n; ++i) {
            const char c = i < static_cast<int>(upper.size()) ? upper[static_cast<std::size_t>(i)] : ' ';
            WriteFieldBits(place, 6 * i, 6, SixBitCode(c), bits);
        }
        break;
    }
    case kTypeHex: {
        const int n = total / 4;
        for (int i = 0; i < n; ++i) {
            const char c = i < static_cast<int>(upper.size()) ? upper[static_cast<std::size_t>(i)] : '0';
            WriteFieldBits(place, 4 * i, 4, HexDigitValue(c), bits);
        }
        break;
    }
    case kTypeAlpha27: {
        const int n = static_cast<int>(f.Maximum(row).size());
        WriteFieldBits(place, 0, total, Base27Value(upper, n), bits);
        break;
    }
    case kTypeNumeric: {
        const uint64_t v = ParseU32(upper).value_or(0);
        const uint64_t minimum = LimitNumber(f.Minimum(row));
        WriteFieldBits(place, 0, total, v >= minimum ? v - minimum : 0, bits);
        break;
    }
    case kTypeLength: {
        uint64_t dm = 0;
        if (feetInches) {
            if (auto fi = ParseFeetInches(upper)) {
                const int64_t v = FeetInchesToDecimeters(*fi);
                dm = v > 0 ? static_cast<uint64_t>(v) : 0;
            }
        } else {
            dm = ParseU32(upper).value_or(0);
        }
        WriteFieldBits(place, 0, total, dm, bits);
        break;
    }
    case kTypeSide:
        WriteFieldBits(place, 0, total, upper == "LEFT" ? 0 : 1, bits);
        break;
    case kTypeBlank:
        // Six 0 bits at the Starting Bit, whatever the Length.
        WriteFieldBits(FieldPlace{f.startingBit[row], 6, 0, 0}, 0, 6, 0, bits);
        break;
    default:
        break; // types 2, 4, 5, 6 (and unknown codes) have no conversion to bits
    }
}

// --- decoding ---------------------------------------------------------------------

// The value as n digits in `base`, the first digit increased by 1.
std::string BaseDigits(uint64_t value, int n, uint64_t base, char (*digitChar)(uint64_t)) {
    std::string text;
    if (n <= 0) return text;
    const uint64_t weight = Power(base, n - 1);
    const uint64_t first = value / weight + 1;
    text.push_back(first < base ? digitChar(first) : '?');
    uint64_t rest = value % weight;
    for (int i = 1; i < n; ++i) {
        const uint64_t w = Power(base, n - 1 - i);
        text.push_back(digitChar(rest / w));
        rest %= w;
    }
    return text;
}

char Base27Char(uint64_t d) { return d == 0 ? ' ' : static_cast<char>('A' + d - 1); }

char Base37Char(uint64_t d) {
    if (d == 0) return '0';
    if (d <= 10) return static_cast<char>('0' + d); // 1..9, and ":" for 10
    return static_cast<char>('A' + d - 11);
}

std::string FeetInchesText(uint64_t inches) {
    std::string text = std::to_string(inches / 12) + "-";
    const uint64_t in = inches % 12;
    if (in < 10) text.push_back('0');
    return text + std::to_string(in);
}

std::string DecodeRow(const TagFormatData& f, int row, const FieldPlace& place,
                      const TagBitArray& bits, bool feetInches, bool& isSide) {
    const int total = place.Total();
    switch (f.type[row]) {
    case kTypeAscii: {
        std::string text;
        for (int i = 0; i < total / 6; ++i)
            text.push_back(static_cast<char>(ReadFieldBits(place, 6 * i, 6, bits) + 32));
        return UpperAscii(text);
    }
    case kTypeHex: {
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::string text;
        for (int i = 0; i < total / 4; ++i) text.push_back(kHex[ReadFieldBits(place, 4 * i, 4, bits)]);
        return text;
    }
    case kTypeAlpha27:
        return BaseDigits(ReadFieldBits(place, 0, total, bits), static_cast<int>(f.Maximum(row).size()),
                          27, Base27Char);
    case kTypeAlpha37:
        return BaseDigits(ReadFieldBits(place, 0, total, bits), static_cast<int>(f.Maximum(row).size()),
                          37, Base37Char);
    case kTypeSide:
        isSide = true;
        return ReadFieldBits(place, 0, total, bits) == 0 ? "LEFT" : "RIGHT";
    case kTypeLength: {
        const uint64_t dm = SaturatingAdd(ReadFieldBits(place, 0, total, bits), LimitNumber(f.Minimum(row)));
        if (!feetInches) return std::to_string(dm);
        return FeetInchesText(DecimetersToInches64(dm));
    }
    case kTypeNumeric:
        return std::to_string(SaturatingAdd(ReadFieldBits(place, 0, total, bits), LimitNumber(f.Minimum(row))));
    default:
        return {}; // types 4, 5, 6 and unknown codes
    }
}

} // namespace

BuiltFrame BuildTagFrame(const TagFormatData& format, const FieldTexts& texts, bool feetInches,
                         bool halfFrame) {
    BuiltFrame out;
    const int rows = format.RowCount();
    for (int r = 0; r < rows; ++r) {
        if (format.IsContinuation(r)) continue;
        BuildRow(format, r, PlaceOfRow(format, r, rows), UpperAscii(texts[r]), feetInches, out.bits);
    }

    // The header goes on last and overwrites any field bits in its places.
    const int code = format.dataFormatCode;
    if (code == 51 || code == 41) {
        PutFieldBits(static_cast<uint64_t>(static_cast<int64_t>(format.equipmentGroupCode)), kEquipmentBit,
                     5, 0, 0, out.bits);
        PutFieldBits(static_cast<uint64_t>(static_cast<int64_t>(format.tagTypeCode) - 1), kTagTypeBit, 2, 0,
                     0, out.bits);
    }
    if (code != 0 && code != 99 && !halfFrame)
        PutFieldBits(static_cast<uint64_t>(static_cast<int64_t>(code)), kFormatCodeBit, 6, 0, 0, out.bits);

    out.frameText = BitsToFrameText(out.bits);
    return out;
}

DecodedFrame DecodeTagFrame(AEIData& data, std::string_view frameText, bool halfFrame,
                            int32_t marketRegion, bool feetInches) {
    DecodedFrame out;
    TagBitArray bits{};
    if (!FrameTextToBits(frameText, halfFrame ? kHalfFrameDigits : kFrameDigits, bits)) return out;

    int index = -1;
    int code = 0;
    if (halfFrame) {
        index = 0;
    } else {
        code = static_cast<int>(GetFieldBits(kFormatCodeBit, 6, bits, 0, 0));
        const int equipment = static_cast<int>(GetFieldBits(kEquipmentBit, 5, bits, 0, 0));
        index = data.FindTagFormatForFrame(code, equipment, true);
        if (index < 0) {
            if (marketRegion != kRegionSARA || GetFieldBits(36, 6, bits, 0, 0) != 0 ||
                GetFieldBits(54, 6, bits, 0, 0) != 0 || GetFieldBits(112, 6, bits, 0, 0) != 0)
                return out;
            index = 4; // "SARA"
            code = 0;
        }
    }
    const TagFormatData format = data.GetTagFormatData(index);
    // Half-frame mode and the SARA case name a slot without looking at it; a
    // slot that holds no format identifies nothing.
    if (format.defined != 1) return out;

    out.identified = true;
    out.formatIndex = index;
    out.bits = bits;
    if (code != 0 && code != 41 && code != 51) return out;

    const int rows = format.RowCount();
    for (int r = 0; r < rows; ++r) {
        if (format.IsContinuation(r) || format.type[r] == kTypeBlank) continue;
        bool isSide = false;
        out.texts[r] = DecodeRow(format, r, PlaceOfRow(format, r, rows), bits, feetInches, isSide);
        if (isSide) out.sideRow = r; // the last side row, should a format have two
    }
    return out;
}

} // namespace velmora
