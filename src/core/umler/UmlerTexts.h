// The texts of the UMLER windows, the Find dialog and the load command.
#pragma once

#include "umler/UmlerRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kUmlerCannotOpenText = "Could not open UMLER text file.";
inline constexpr const char* kUmlerCannotCreateData = "Could not create UMLER data file.";
inline constexpr const char* kUmlerCannotReadText = "Could not read UMLER text file.";
inline constexpr const char* kUmlerCannotWriteData = "Could not write UMLER data file.";
inline constexpr const char* kUmlerLoadInterrupted =
    "UMLER load interrupted. The previous UMLER data file is unchanged.";
inline constexpr const char* kUmlerOutOfOrderSuffix =
    " lines of the UMLER text file are out of order. Vehicles may not be found.";
inline constexpr const char* kUmlerNoKeySuffix =
    " lines of the UMLER text file have no valid car initial and number. Those cars cannot be found.";
inline constexpr const char* kUmlerInvalidVehicleNumber = "Invalid vehicle number.";
inline constexpr const char* kUmlerCannotFind = "Cannot find car in UMLER.";

// The file dialog of the load command.
inline constexpr const char* kUmlerTextFilter = "UMLER Text Files (*.txt)|*.txt";
inline constexpr const char* kUmlerDefaultExtract = "Umler.txt";

// "Loading UMLER 42%": the title of the load gauge with its value.
std::string UmlerGaugeTitle(int percent);

// "%d' %d\"": feet and inches of a length kept in inches (474 shows 39' 6").
std::string UmlerLengthText(uint16_t inches);
// "%d,%03d" of hundreds of pounds (654 shows 65,400); empty for 0.
std::string UmlerWeightText(uint16_t hundredsOfPounds);
// Up to the terminating zero of the 4-character type code.
std::string UmlerTypeText(const UmlerRecord& r);

// The seven fields of the UMLER record window (the Find dialog shows the
// last six). All empty when there is no record (initial code -1).
struct UmlerRecordTexts {
    std::string vehicleId;
    std::string type;
    std::string axles;
    std::string platform;
    std::string length;
    std::string tareWeight;
    std::string capacity;
};
UmlerRecordTexts MakeUmlerRecordTexts(const UmlerRecord& r, std::string_view vehicleKey);

// Edit box widths of those fields, terminator included.
inline constexpr int kUmlerVehicleIdWidth = 11;
inline constexpr int kUmlerTypeWidth = 5;
inline constexpr int kUmlerAxlesWidth = 3;
inline constexpr int kUmlerPlatformWidth = 2;
inline constexpr int kUmlerLengthWidth = 9;
inline constexpr int kUmlerWeightWidth = 8;

} // namespace velmora
