// The option blocks that the options file stores byte for byte. In memory
// they are ordinary structs; each has one serializer with explicit offsets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// Settings block, 329 bytes.
//   0 sound on, 1 label printing on, 2 current format index, 3 lengths in
//   feet-inches, 4 reserved(4), 8 reserved text(8), 16 log file on,
//   17 programmed today (i32), 21 programmed total (i32), 25 day of year (i32),
//   29 reserved text(100), 129 UMLER window shown, 130 tag log window shown,
//   131 programmed-by data entry, 132 automatic RF check, 133 automatic UMLER
//   check, 134 programmed-by company(35), 169 certification initial(5),
//   174 certified count (i32), 178 reader port (255 none), 179 background
//   colour index (i32), 183 recondition check, 184 programmer model index,
//   185 import list window shown, 186 reserved(143)
struct SettingsBlock {
    uint8_t soundOn = 0;
    uint8_t labelPrintingOn = 1;
    uint8_t currentFormat = 0;
    uint8_t feetInches = 1;
    uint8_t reserved4[4] = {};
    char reservedText8[8] = {};
    uint8_t logFileOn = 1;
    int32_t programmedToday = 0;
    int32_t programmedTotal = 0;
    int32_t dayOfYear = 1;
    char reservedText29[100] = {};
    uint8_t umlerWindowShown = 0;
    uint8_t tagLogWindowShown = 0;
    uint8_t programmedByEntry = 0;
    uint8_t autoRfCheck = 0;
    uint8_t autoUmlerCheck = 1;
    char programmedByCompany[35] = "Unknown";
    char certificationInitial[5] = "XXXX";
    int32_t certifiedCount = 0;
    uint8_t readerPort = 255;
    int32_t backgroundColor = 0;
    uint8_t reconditionCheck = 0;
    uint8_t programmerModel = 2; // 0 AP4110, 1 AP4112 (half frame), 2 AP4118
    uint8_t importWindowShown = 0; // the fleet list window was open at exit
    uint8_t reserved186[143] = {};
};
inline constexpr std::size_t kSettingsBlockSize = 329;

// Programmer state, 341 bytes: 0 port (i32, -1 none), 4 model(20),
// 24 version(20), 44 last error(40), 84 on, 85 next check (u32),
// 89 frame text(100), 189 response(100), 289 operation state,
// 290 operation result, 291 search started, 292 search requested,
// 293 reserved, 294 reserved(47)
struct ProgrammerState {
    int32_t port = -1;
    char model[20] = {};
    char version[20] = {};
    char lastError[40] = {};
    uint8_t on = 0;
    uint32_t nextCheck = 0;
    char frameText[100] = {};
    char response[100] = {};
    uint8_t operationState = 0;
    uint8_t operationResult = 0;
    uint8_t searchStarted = 0;
    uint8_t searchRequested = 0;
    uint8_t reserved293 = 0;
    uint8_t reserved294[47] = {};
};
inline constexpr std::size_t kProgrammerStateSize = 341;

// Communication log settings, 114 bytes; stored and kept, read by nothing.
//   0 u16, 2 text(3), 5 text(21), 26 u16, 28 text(21), 49 text(21), 70 u16,
//   72 text(21), 93 text(21)
struct CommLogSettings {
    uint16_t logOn = 1;
    char logCount[3] = "1";
    char logInterval[21] = "1 hour";
    uint16_t commLogOn = 1;
    char commLogSize[21] = "1000 K";
    char commLogAge[21] = "30 days";
    uint16_t tagLogOn = 1;
    char tagLogSize[21] = "1000 K";
    char tagLogAge[21] = "7 days";
};
inline constexpr std::size_t kCommLogSettingsSize = 114;

// Printer settings, 252 bytes: device(32), driver(32), port(32), then the
// printer's set-up data(156). Empty names mean the default printer.
struct PrinterSettings {
    char device[32] = {};
    char driver[32] = {};
    char port[32] = {};
    uint8_t setup[156] = {};
};
inline constexpr std::size_t kPrinterSettingsSize = 252;

// Tag log window column widths: two sets of 17.
inline constexpr int kColumnSets = 2;
inline constexpr int kColumnsPerSet = 17;
inline constexpr int kStoredColumnWidths = 32; // the file holds the first 32 of 34

// Import settings; kept in memory only.
struct ImportSettings {
    char fileName[120] = "import.txt";
    char delimiter[2] = ",";
    uint8_t flag1 = 0;
    uint8_t flag2 = 1;
};

inline constexpr int kRecentTagLines = 50;
inline constexpr std::size_t kRecentTagLineWidth = 120;
inline constexpr std::size_t kFileNameWidth = 120;
inline constexpr std::size_t kVersionTextWidth = 20;

void SerializeSettings(const SettingsBlock& s, uint8_t* out);
SettingsBlock DeserializeSettings(const uint8_t* in);
void SerializeProgrammerState(const ProgrammerState& s, uint8_t* out);
ProgrammerState DeserializeProgrammerState(const uint8_t* in);
void SerializeCommLogSettings(const CommLogSettings& s, uint8_t* out);
CommLogSettings DeserializeCommLogSettings(const uint8_t* in);
void SerializePrinterSettings(const PrinterSettings& s, uint8_t* out);
PrinterSettings DeserializePrinterSettings(const uint8_t* in);

// Column widths as the file holds them: the first 32 of the 34 values, set 0
// then set 1, 32-bit signed each (128 bytes). Reading leaves set 1's last two
// columns as they were.
using ColumnWidths = int32_t[kColumnSets][kColumnsPerSet];
inline constexpr std::size_t kColumnWidthsSize = 4 * kStoredColumnWidths;
void SerializeColumnWidths(const ColumnWidths& w, uint8_t* out);
void DeserializeColumnWidths(const uint8_t* in, ColumnWidths& w);

} // namespace velmora
