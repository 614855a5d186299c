// Helpers of the tag data tests: hand-made format records, and a reference frame that is filled by bit numbers
// (stepping over 60-63 by hand) so the expected frames never come from the code under test.
#pragma once

#include "tagdata/TagFormatData.h"
#include "tagdata/TagFrame.h"
#include "util/FixedText.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

namespace velmora::test {

struct RowDef {
    const char* name;
    int start;
    int length;
    int type;
    const char* minimum = "";
    const char* maximum = "";
    const char* defaultText = "";
};

inline TagFormatData MakeFormat(const char* name, int equipment, int formatCode, int tagType,
                                std::initializer_list<RowDef> rows) {
    TagFormatData f = MakeTagFormat({name, static_cast<int8_t>(equipment), static_cast<int8_t>(formatCode),
                                     static_cast<int8_t>(tagType), 0}, {});
    int r = 0;
    for (const RowDef& s : rows)
        SetFormatRow(f, r++, {s.name, static_cast<uint8_t>(s.start), static_cast<uint8_t>(s.length),
                              static_cast<uint8_t>(s.type), s.minimum, s.maximum, s.defaultText});
    return f;
}

// The railcar layout, typed in here from the format tables.
inline TagFormatData HandRailcar() {
    return MakeFormat("Railcar", 19, 51, 2,
                      {{"Equipment Initial", 7, 19, 1, "A   ", "ZZZZ"},
                       {"Car Number", 26, 20, 3, "0", "999999"},
                       {"Side Indicator Code", 46, 1, 8, "0", "1"},
                       {"Length", 94, 3, 7, "0", "4095"},
                       {"Length", 47, 9, 7, "0", "4095"},
                       {"Number of Axles", 56, 5, 3, "1", "32", "4"},
                       {"Bearing Type Code", 65, 3, 3, "0", "7", "1"},
                       {"Platform Identifier Code", 68, 4, 3, "0", "15", "0"}});
}

// A 128-position frame addressed by bit number. A run of bits that reaches
// bit 60 goes on at bit 64, as the tag's data bits do.
class RefFrame {
public:
    // Writes `width` bits of value, most significant first, from bit number
    // `bit`; returns the bit number that follows the last one written.
    int Put(int bit, int width, uint64_t value) {
        for (int i = 0; i < width; ++i) {
            if (bit >= 60 && bit <= 63) bit = 64;
            bits_[bit] = static_cast<int>((value >> (width - 1 - i)) & 1);
            ++bit;
        }
        return bit;
    }
    RefFrame& With(int bit, int width, uint64_t value) {
        Put(bit, width, value);
        return *this;
    }
    // Six-bit character codes from bit number `bit` on, across the gap.
    RefFrame& Chars(int bit, const std::string& text) {
        for (char c : text) bit = Put(bit, 6, static_cast<uint64_t>(static_cast<unsigned char>(c) - 0x20));
        return *this;
    }
    // The 30 hex digits of bit numbers 0-59 and 64-123.
    std::string Hex() const {
        std::string s;
        for (int b = 0, digit = 0, count = 0; b <= 123; ++b) {
            if (b >= 60 && b <= 63) continue;
            auto it = bits_.find(b);
            digit = digit * 2 + (it == bits_.end() ? 0 : it->second);
            if (++count % 4 == 0) s.push_back("0123456789ABCDEF"[digit]), digit = 0;
        }
        return s;
    }

private:
    std::map<int, int> bits_;
};

inline FieldTexts Texts(std::initializer_list<std::string> list) {
    FieldTexts t;
    int r = 0;
    for (const auto& s : list) t[r++] = s;
    return t;
}

} // namespace velmora::test
