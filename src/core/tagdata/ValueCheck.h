// The value check of typed field texts, the text comparison used for
// Minimum/Maximum limits, and the length conversions.
#pragma once

#include "tagdata/TagFormatData.h"
#include "tagdata/TagFrame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Compares two single-byte texts the way the platform's case-sensitive locale
// comparison orders them: blank before digits before letters, letters first
// without regard to case and lower case before upper case only to break a tie,
// a shorter prefix first. Returns <0, 0 or >0.
int LocaleCompare(std::string_view a, std::string_view b);

// Decimeters from inches: inches * 254 / 1000, truncated.
int32_t InchesToDecimeters(int32_t inches);
// Inches from decimeters: dm * 3937 / 1000 truncated, plus 2, plus 1 more when
// the remainder is 500 or more; 0 for 0.
int32_t DecimetersToInches(int32_t decimeters);

// A decimal text as an unsigned 32-bit number; nullopt when it is empty,
// holds a non-digit or is too large for 32 bits.
std::optional<uint32_t> ParseU32(std::string_view text);

// "feet[-inches]" typed on the form.
struct FeetInches {
    int32_t feet = 0;
    int32_t inches = 0;
};
std::optional<FeetInches> ParseFeetInches(std::string_view text);

struct ValueCheckResult {
    std::array<bool, kFieldRows> error{};
    bool anyError = false;
};

// Checks the texts of the rows that have a control (hasControl[row]) and
// whose type is neither side indicator nor blank. Rows after the first empty
// field name are not checked.
ValueCheckResult CheckFieldValues(const TagFormatData& format, const FieldTexts& texts,
                                  const std::array<bool, kFieldRows>& hasControl, bool feetInches);

// Convenience: the rows the tag form gives a control (the shown rows).
std::array<bool, kFieldRows> ShownRows(const TagFormatData& format);

// "The following fields are in error: A, B" cut to 249 characters, as the
// program-tag workflow shows it; empty when no row is in error.
std::string FieldErrorText(const TagFormatData& format, const ValueCheckResult& result);

} // namespace velmora
