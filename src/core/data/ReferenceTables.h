// Fixed reference tables: equipment types by UMLER type code, the WABTEC
// end-of-train parts list, and the background colours of the tag form.
#pragma once

#include <cstdint>

namespace velmora {

struct CarType {
    char code[3] = {};
    int32_t category = 0;
    int32_t secondCategory = 0;
    char name[20] = {};
};
inline constexpr int kCarTypes = 51;
inline constexpr int kUnknownCarType = 50;

struct WABTECData {
    uint8_t defined = 0;
    uint32_t partNumber = 0;
    char mark[5] = {};        // four characters, blank padded
    uint8_t numberPrefix = 0; // first digit of the six-digit EOT number
    uint8_t eotTypeCode = 0;
    uint8_t sideCode = 0;     // 1 RIGHT, 0 LEFT
    uint8_t tagTypeFlag = 0;  // 1 AT5541, 0 AT5545
};
inline constexpr int kWABTECRecords = 50;

struct BackgroundColor {
    uint8_t defined = 0;
    char name[31] = {};
    uint32_t value = 0; // red in the low byte, then green, then blue
};
inline constexpr int kBackgroundColors = 20;

// Fill the tables as the application data object's constructor does.
void FillCarTypes(CarType (&table)[kCarTypes]);
void FillWABTEC(WABTECData (&table)[kWABTECRecords]);
void FillBackgroundColors(BackgroundColor (&table)[kBackgroundColors]);

} // namespace velmora
