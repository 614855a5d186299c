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
// the remainder is 500 or more; 0 for 0. A result past the 32-bit range gives
// the largest 32-bit value.
int32_t DecimetersToInches(int32_t decimeters);
// The same rules over 64 bits, for typed feet and for values read from wide
// fields. InchesToDecimeters64 keeps its product in range (inches beyond
// +-2^63/254 count as that limit); DecimetersToInches64 gives the largest
// 64-bit value when the result does not fit.
int64_t InchesToDecimeters64(int64_t inches);
uint64_t DecimetersToInches64(uint64_t decimeters);

// A decimal text as an unsigned 32-bit number; nullopt when it is empty,
// holds a non-digit or is too large for 32 bits.
std::optional<uint32_t> ParseU32(std::string_view text);

// "feet[-inches]" typed on the form.
struct FeetInches {
    int32_t feet = 0;
    int32_t inches = 0;
};
// Digits for the feet, optionally "-" and digits for the inches ("50",
// "50-6"; "50-" is 50 feet 0 inches). Anything else, or a number past the
// signed 32-bit range, gives nullopt. Inches above 11 are accepted here; the
// value check flags them.
std::optional<FeetInches> ParseFeetInches(std::string_view text);
// (feet * 12 + inches) converted to decimeters.
int64_t FeetInchesToDecimeters(const FeetInches& fi);

// A Minimum or Maximum text as a number: a text that is not a plain decimal
// number within 32 bits (empty, negative, other characters) counts as 0.
uint32_t LimitNumber(std::string_view text);

// A character with a 6-bit code (" " to "_" after upper-casing).
bool IsSixBitChar(char c);

struct ValueCheckResult {
    std::array<bool, kFieldRows> error{};
    bool anyError = false;
};

// Checks the texts of the rows that have a control (hasControl[row]) and
// whose type is neither side indicator nor blank. Rows after the first empty
// field name are not checked. A checked row is in error when its text is
// empty, or
//   0 ASCII       holds a character without a 6-bit code (outside " ".."_"
//                 after upper-casing)
//   1 base 27     starts with a blank, holds a character other than a
//                 letter or blank, or sorts before Minimum or after Maximum
//                 (LocaleCompare)
//   2 base 37     sorts before Minimum or after Maximum
//   3,4,5,6       is not a decimal number within 32 bits, or lies outside
//                 Minimum..Maximum
//   7 length      decimeters: as numeric; feet-inches: not "feet[-inches]",
//                 inches over 11, or decimeters outside Minimum..Maximum
//   9 hex         holds a character other than 0-9, A-F, a-f
// Limits are read with LimitNumber.
ValueCheckResult CheckFieldValues(const TagFormatData& format, const FieldTexts& texts,
                                  const std::array<bool, kFieldRows>& hasControl, bool feetInches);

// Convenience: the rows the tag form gives a control (the shown rows).
std::array<bool, kFieldRows> ShownRows(const TagFormatData& format);

inline constexpr std::size_t kFieldErrorTextMax = 249;

// "The following fields are in error: A, B" cut to 249 characters, as the
// program-tag workflow shows it; empty when no row is flagged.
std::string FieldErrorText(const TagFormatData& format, const ValueCheckResult& result);

} // namespace velmora
