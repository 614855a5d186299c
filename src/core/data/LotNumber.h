// The manufacturing lot number of a tag being reconditioned: five digits
// YYDDD, the year of manufacture (two digits) and the day of that year. The
// lot number dialog takes it before the label of a certified tag is printed
// and stores the result in the last tag record.
#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

inline constexpr const char* kLotNotFiveDigits = "Lot date must be five digits long.";
inline constexpr const char* kLotDayRange =
    "The last three digits of the lot code (Julian date when manufactured) must be between 1 and 366.";
// "The first two digits of the lot code (year manufactured) must be between
// 90 and 26." with the current year's last two digits.
std::string LotYearRangeText(int currentYearOfCentury);

struct LotNumberResult {
    bool ok = false;
    std::string message; // the reason when not ok
    // ok: the year counted from 1900 (years up to the current one count as
    // this century: 26 is 126 in 2026), the day, and whether the tag was
    // made no more than five years before today.
    int year = 0;
    int day = 0;
    bool recent = false;
};

// The rules of the lot number with today's date:
//   1. exactly five characters, all digits;
//   2. Y = the first two digits, plus 100 when not above the current year's
//      last two digits; Y must be at least 90;
//   3. D = the last three digits, 1 to 366;
//   4. recent: Y above current + 95, or equal to it with D not before
//      today's day of the year.
LotNumberResult CheckLotNumber(std::string_view text, const LocalDateTime& today);

// OK of the lot number dialog: checks the text with the data object's
// clock; a bad lot number is shown (product caption, stop icon) and false
// comes back with nothing stored. Otherwise the last tag record gets the
// reconditioned flag (recent), the lot day and the lot year (Y modulo 100).
bool ApplyLotNumber(AEIData& data, std::string_view text);

} // namespace velmora
