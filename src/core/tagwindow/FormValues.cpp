#include "tagwindow/FormValues.h"

#include "tagdata/ValueCheck.h"

#include <cstdio>
#include <limits>

namespace velmora {

namespace {

constexpr int64_t kI32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kI32Min = std::numeric_limits<int32_t>::min();

// The digits at the start of a text as a number that does not grow past
// `limit` (no sign, no blanks).
int64_t LeadingDigits(std::string_view text, int64_t limit) {
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        v = v * 10 + (c - '0');
        if (v > limit) v = limit;
    }
    return v;
}

} // namespace

int32_t LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const int64_t magnitude = LeadingDigits(text.substr(i), kI32Max + 1);
    const int64_t v = negative ? -magnitude : magnitude;
    if (v > kI32Max) return static_cast<int32_t>(kI32Max);
    if (v < kI32Min) return static_cast<int32_t>(kI32Min);
    return static_cast<int32_t>(v);
}

bool IsRailcarOrLocomotiveFormat(const TagFormatData& f) {
    return (f.dataFormatCode == 51 || f.dataFormatCode == 41) &&
           (f.equipmentGroupCode == kGroupRailcar || f.equipmentGroupCode == kGroupLocomotive);
}

bool IsUmlerFormat(const TagFormatData& f) {
    return f.dataFormatCode == 51 &&
           (f.equipmentGroupCode == kGroupRailcar || f.equipmentGroupCode == kGroupLocomotive);
}

bool IsEotWabtecFormat(const TagFormatData& f) { return f.Name().substr(0, 9) == "EOT WABTE"; }

int FindRowByStartBit(const TagFormatData& f, int bit) {
    const int rows = f.RowCount();
    for (int r = 0; r < rows; ++r)
        if (f.startingBit[r] == bit) return r;
    return -1;
}

int FirstLengthRow(const TagFormatData& f) {
    const int rows = f.RowCount();
    for (int r = 0; r < rows; ++r)
        if (f.type[r] == kTypeLength) return r;
    return -1;
}

std::string ConvertLengthText(std::string_view text, bool toFeetInches) {
    // A typed length never needs more than nine digits; larger values are
    // held there so that the arithmetic stays in range.
    constexpr int64_t kLimit = 999999999;
    char buf[64];
    if (toFeetInches) {
        const int64_t dm = LeadingDigits(text, kLimit);
        const uint64_t inches = DecimetersToInches64(static_cast<uint64_t>(dm));
        std::snprintf(buf, sizeof buf, "%llu-%llu", static_cast<unsigned long long>(inches / 12),
                      static_cast<unsigned long long>(inches % 12));
        return buf;
    }
    const std::size_t dash = text.find('-');
    const int64_t feet = LeadingDigits(text.substr(0, dash), kLimit);
    const int64_t inches =
        dash == std::string_view::npos ? 0 : LeadingDigits(text.substr(dash + 1), kLimit);
    const int64_t dm = InchesToDecimeters64(feet * 12 + inches);
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(dm));
    return buf;
}

int32_t CertificationNumber(int dayOfYear, int32_t certifiedCount) {
    const int32_t count = certifiedCount < 0 ? 0 : certifiedCount % 1000;
    const int day = dayOfYear < 0 ? 0 : (dayOfYear > 366 ? 366 : dayOfYear);
    return day * 1000 + count;
}

} // namespace velmora
