// The bit level of the tag frame: data bit indexes, field values in and out of
// the bit array, the hex frame text and the raw data line.
#include "tagdata/FieldBits.h"
#include "tagdata/TagFrame.h"

namespace velmora {

int DataBitIndex(int bitNumber) {
    if (bitNumber >= 0 && bitNumber <= 59) return bitNumber;
    if (bitNumber >= 64 && bitNumber <= 123) return bitNumber - 4;
    return -1; // 60-63, 124-127 and anything outside the frame
}

int FieldPlace::Total() const {
    return (length1 > 0 ? length1 : 0) + (length2 > 0 ? length2 : 0);
}

int FieldPlace::IndexAt(int position) const {
    const int l1 = length1 > 0 ? length1 : 0;
    const int l2 = length2 > 0 ? length2 : 0;
    int start = 0;
    int offset = 0;
    if (position < 0) return -1;
    if (position < l1) {
        start = startBit1;
        offset = position;
    } else if (position < l1 + l2) {
        start = startBit2;
        offset = position - l1;
    } else {
        return -1;
    }
    const int base = DataBitIndex(start);
    if (base < 0) return -1;
    const int index = base + offset;
    return index < kDataBits ? index : -1;
}

void WriteFieldBits(const FieldPlace& place, int position, int count, uint64_t value,
                    TagBitArray& bits) {
    // Position position+j takes value bit count-1-j (most significant first).
    for (int j = 0; j < count; ++j) {
        const int index = place.IndexAt(position + j);
        if (index < 0) continue;
        const int k = count - 1 - j;
        bits[index] = k < 64 ? static_cast<uint8_t>((value >> k) & 1u) : 0;
    }
}

uint64_t ReadFieldBits(const FieldPlace& place, int position, int count, const TagBitArray& bits) {
    uint64_t value = 0;
    for (int j = 0; j < count; ++j) {
        const int k = count - 1 - j;
        if (k >= 64) continue;
        const int index = place.IndexAt(position + j);
        if (index >= 0 && bits[index]) value |= uint64_t{1} << k;
    }
    return value;
}

void PutFieldBits(uint64_t value, int startBit, int length, int startBit2, int length2,
                  TagBitArray& bits) {
    FieldPlace place{startBit, length, startBit2, length2};
    WriteFieldBits(place, 0, place.Total(), value, bits);
}

uint64_t GetFieldBits(int startBit, int length, const TagBitArray& bits, int startBit2,
                      int length2) {
    FieldPlace place{startBit, length, startBit2, length2};
    return ReadFieldBits(place, 0, place.Total(), bits);
}

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string HexOf(const TagBitArray& bits, int firstIndex, int digits) {
    std::string s;
    s.reserve(static_cast<std::size_t>(digits));
    for (int d = 0; d < digits; ++d) {
        int v = 0;
        for (int b = 0; b < 4; ++b) v = (v << 1) | (bits[firstIndex + 4 * d + b] & 1);
        s.push_back(kHexDigits[v]);
    }
    return s;
}
} // namespace

std::string BitsToFrameText(const TagBitArray& bits) { return HexOf(bits, 0, kFrameDigits); }

bool FrameTextToBits(std::string_view text, int digits, TagBitArray& bits) {
    bits.fill(0);
    if (digits < 0 || digits > kFrameDigits) return false;
    if (text.size() < static_cast<std::size_t>(digits)) return false;
    TagBitArray parsed{};
    for (int d = 0; d < digits; ++d) {
        const int v = HexValue(text[static_cast<std::size_t>(d)]);
        if (v < 0) return false;
        for (int b = 0; b < 4; ++b) parsed[4 * d + b] = static_cast<uint8_t>((v >> (3 - b)) & 1);
    }
    bits = parsed;
    return true;
}

std::string ShowRawData(const TagBitArray& bits) {
    // Five groups of 24 bits; each gives four 6-bit characters and six hex digits.
    std::string chars;
    std::string hex;
    for (int g = 0; g < 5; ++g) {
        const int first = 24 * g;
        for (int c = 0; c < 4; ++c) {
            int code = 0;
            for (int b = 0; b < 6; ++b) code = (code << 1) | (bits[first + 6 * c + b] & 1);
            chars.push_back(static_cast<char>(code + 32));
        }
        hex += HexOf(bits, first, 6);
    }
    return "Raw Data  ASCII [" + chars + "]  Hex [" + hex + "]";
}

} // namespace velmora
