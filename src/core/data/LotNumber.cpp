#include "data/LotNumber.h"

#include "data/AEIData.h"

#include <cstdio>

namespace velmora {

std::string LotYearRangeText(int currentYearOfCentury) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", currentYearOfCentury);
    return std::string("The first two digits of the lot code (year manufactured) must be between 90 and ") + digits +
           ".";
}

LotNumberResult CheckLotNumber(std::string_view text, const LocalDateTime& today) {
    LotNumberResult r;
    bool digits = text.size() == 5;
    for (char c : text)
        if (c < '0' || c > '9') digits = false;
    if (!digits) {
        r.message = kLotNotFiveDigits;
        return r;
    }
    int cy = today.year % 100;
    if (cy < 0) cy += 100;
    int year = (text[0] - '0') * 10 + (text[1] - '0');
    if (year <= cy) year += 100;
    if (year < 90) {
        r.message = LotYearRangeText(cy);
        return r;
    }
    const int day = (text[2] - '0') * 100 + (text[3] - '0') * 10 + (text[4] - '0');
    if (day < 1 || day > 366) {
        r.message = kLotDayRange;
        return r;
    }
    r.ok = true;
    r.year = year;
    r.day = day;
    if (year > cy + 95) r.recent = true;
    else if (year == cy + 95) r.recent = day >= today.dayOfYear;
    return r;
}

bool ApplyLotNumber(AEIData& data, std::string_view text) {
    const LotNumberResult r = CheckLotNumber(text, data.GetClock().Now());
    if (!r.ok) {
        data.GetOperator().MessageBox(data.ProductCaption(), r.message, MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    LastTagRecord record = data.GetLastTagRecord();
    record.reconditioned = r.recent ? 1 : 0;
    record.lotDay = static_cast<uint32_t>(r.day);
    record.lotYear = static_cast<uint32_t>(r.year % 100);
    data.UpdateLastTagRecord(record);
    return true;
}

} // namespace velmora
