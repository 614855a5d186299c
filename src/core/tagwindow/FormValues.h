// Small rules on form texts and formats that the workflows, the tag window and
// the tests share.
#pragma once

#include "tagdata/TagFormatData.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Starting bits by which the fields of railcar and locomotive formats are
// found.
inline constexpr int kBitEquipmentInitial = 7;
inline constexpr int kBitEquipmentNumber = 26;
inline constexpr int kBitLocomotiveLength = 47;
inline constexpr int kBitAxles = 56;
inline constexpr int kBitBearing = 65;
inline constexpr int kBitPlatform = 68;
inline constexpr int kBitRailcarLength = 94;

inline constexpr int kGroupRailcar = 19;
inline constexpr int kGroupLocomotive = 5;

// The integer value of a text: its leading decimal number (after blanks and
// an optional sign), 0 when there is none; clamped to the 32-bit range.
int32_t LeadingInteger(std::string_view text);

// Data Format Code 51 or 41 and Equipment Group Code 19 or 5.
bool IsRailcarOrLocomotiveFormat(const TagFormatData& f);
// Data Format Code 51 and Equipment Group Code 19 or 5 (UMLER lookup,
// stepping commands).
bool IsUmlerFormat(const TagFormatData& f);
// The Format Name begins with "EOT WABTE" (its first nine characters).
bool IsEotWabtecFormat(const TagFormatData& f);

// The first row in use whose Starting Bit is `bit`; -1 when none.
int FindRowByStartBit(const TagFormatData& f, int bit);
// The first row whose type is a length (7), -1 when none.
int FirstLengthRow(const TagFormatData& f);

// A typed length converted for the other units: to decimeters "feet-inches"
// (no "-": all feet) becomes a plain number of decimeters; to feet-inches a
// number of decimeters becomes "%d-%d". Unreadable parts count as 0, so an
// empty text gives "0" or "0-0".
std::string ConvertLengthText(std::string_view text, bool toFeetInches);

// The car number of a certified tag: day of the year x 1000 + count modulo
// 1000 (a negative count counts from 0).
int32_t CertificationNumber(int dayOfYear, int32_t certifiedCount);

} // namespace velmora
