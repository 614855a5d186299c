// The value check of typed field texts and the length conversions.
#include "tagdata/ValueCheck.h"

#include "util/FixedText.h"

#include <limits>

namespace velmora {

// --- length conversions -------------------------------------------------------

int64_t InchesToDecimeters64(int64_t inches) {
    // |inches| is at most 2^40 or so for anything typed; keep the product in range.
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 254;
    if (inches > kLimit) inches = kLimit;
    if (inches < -kLimit) inches = -kLimit;
    return inches * 254 / 1000;
}

int32_t InchesToDecimeters(int32_t inches) {
    return static_cast<int32_t>(InchesToDecimeters64(inches));
}

uint64_t DecimetersToInches64(uint64_t decimeters) {
    if (decimeters == 0) return 0;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    // decimeters * 3937 / 1000 without overflow: split decimeters = a*1000 + b.
    const uint64_t a = decimeters / 1000;
    const uint64_t b = decimeters % 1000;
    const uint64_t partB = b * 3937;
    if (a > (kMax - 3) / 3937) return kMax; // saturates; only reachable from wide fields
    uint64_t inches = a * 3937 + partB / 1000 + 2;
    if (partB % 1000 >= 500) inches += 1;
    return inches;
}

int32_t DecimetersToInches(int32_t decimeters) {
    if (decimeters == 0) return 0;
    if (decimeters > 0) {
        const uint64_t in = DecimetersToInches64(static_cast<uint64_t>(decimeters));
        constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
        return static_cast<int32_t>(in > kMax ? kMax : in);
    }
    // A negative length has no meaning on a tag; the same rule applied as is.
    const int64_t product = static_cast<int64_t>(decimeters) * 3937;
    int64_t inches = product / 1000 + 2;
    if (product % 1000 >= 500) inches += 1;
    return static_cast<int32_t>(inches);
}

// --- parsing ------------------------------------------------------------------

std::optional<uint32_t> ParseU32(std::string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (v > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    return static_cast<uint32_t>(v);
}

std::optional<FeetInches> ParseFeetInches(std::string_view text) {
    // feet digits, optionally followed by "-" and inch digits ("50", "50-6",
    // "50-" = 50 feet 0 inches). Each number must fit a signed 32-bit value.
    std::size_t i = 0;
    auto number = [&](bool required) -> std::optional<int32_t> {
        const std::size_t first = i;
        uint64_t v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            v = v * 10 + static_cast<uint64_t>(text[i] - '0');
            if (v > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
            ++i;
        }
        if (required && i == first) return std::nullopt;
        return static_cast<int32_t>(v);
    };
    FeetInches fi;
    auto feet = number(true);
    if (!feet) return std::nullopt;
    fi.feet = *feet;
    if (i == text.size()) return fi;
    if (text[i] != '-') return std::nullopt;
    ++i;
    auto inches = number(false);
    if (!inches || i != text.size()) return std::nullopt;
    fi.inches = *inches;
    return fi;
}

int64_t FeetInchesToDecimeters(const FeetInches& fi) {
    return InchesToDecimeters64(static_cast<int64_t>(fi.feet) * 12 + fi.inches);
}

uint32_t LimitNumber(std::string_view text) { return ParseU32(text).value_or(0); }

bool IsSixBitChar(char c) {
    const unsigned char u = static_cast<unsigned char>(UpperAscii(c));
    return u >= 0x20 && u <= 0x5F;
}

// --- the value check --------------------------------------------------------------

namespace {

bool InRange(int64_t v, std::string_view minimum, std::string_view maximum) {
    return v >= static_cast<int64_t>(LimitNumber(minimum)) &&
           v <= static_cast<int64_t>(LimitNumber(maximum));
}

bool RowInError(const TagFormatData& f, int row, std::string_view text, bool feetInches) {
    if (text.empty()) return true;
    const std::string_view minimum = f.Minimum(row);
    const std::string_view maximum = f.Maximum(row);
    switch (f.type[row]) {
    case kTypeAscii:
        // Only " " to "_" (after upper-casing) have a 6-bit code.
        for (char c : text)
            if (!IsSixBitChar(c)) return true;
        return false;
    case kTypeLength:
        if (feetInches) {
            auto fi = ParseFeetInches(text);
            if (!fi || fi->inches > 11) return true;
            return !InRange(FeetInchesToDecimeters(*fi), minimum, maximum);
        } else {
            auto v = ParseU32(text);
            return !v || !InRange(*v, minimum, maximum);
        }
    case kTypeHex:
        for (char c : text) {
            const char u = UpperAscii(c);
            if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F'))) return true;
        }
        return false;
    case kTypeAlpha27:
        // The first character of a base-27 field is stored as a letter (A to
        // Z as 0 to 25): a leading blank has no code there.
        if (text.front() == ' ') return true;
        // Base 27 has digits only for the blank and the letters.
        for (char c : text) {
            const char u = UpperAscii(c);
            if (u != ' ' && !(u >= 'A' && u <= 'Z')) return true;
        }
        [[fallthrough]];
    case kTypeAlpha37:
        return LocaleCompare(text, minimum) < 0 || LocaleCompare(text, maximum) > 0;
    case kTypeNumeric:
    case kTypeTrailerHeight37:
    case kTypeNumericDiv2:
    case kTypeNumeric37Div2: {
        auto v = ParseU32(text); // negative, non-numeric or past 32 bits: out of range
        return !v || !InRange(*v, minimum, maximum);
    }
    default:
        return false; // any other code: only the empty text is an error
    }
}

} // namespace

ValueCheckResult CheckFieldValues(const TagFormatData& format, const FieldTexts& texts,
                                  const std::array<bool, kFieldRows>& hasControl, bool feetInches) {
    ValueCheckResult result;
    const int rows = format.RowCount();
    for (int r = 0; r < rows; ++r) {
        if (!hasControl[r]) continue;
        if (format.type[r] == kTypeSide || format.type[r] == kTypeBlank) continue;
        if (RowInError(format, r, texts[r], feetInches)) {
            result.error[r] = true;
            result.anyError = true;
        }
    }
    return result;
}

std::array<bool, kFieldRows> ShownRows(const TagFormatData& format) {
    std::array<bool, kFieldRows> shown{};
    for (int r = 0; r < kFieldRows; ++r) shown[r] = format.IsShown(r);
    return shown;
}

std::string FieldErrorText(const TagFormatData& format, const ValueCheckResult& result) {
    std::string text = "The following fields are in error: ";
    bool first = true;
    for (int r = 0; r < kFieldRows; ++r) {
        if (!result.error[r]) continue;
        if (!first) text += ", ";
        text += format.FieldName(r);
        first = false;
    }
    if (first) return {};
    if (text.size() > kFieldErrorTextMax) text.resize(kFieldErrorTextMax);
    return text;
}

} // namespace velmora
