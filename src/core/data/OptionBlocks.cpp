// The serializers of the option blocks: each names its offsets and moves the
// bytes little-endian. Texts read back are forced to end within their widths.
#include "data/OptionBlocks.h"

#include "util/Bytes.h"

#include <cstring>

namespace velmora {

using namespace bytes;

// --- settings block, 329 bytes ---------------------------------------------------
namespace {
namespace settings {
constexpr std::size_t kSound = 0;
constexpr std::size_t kLabelPrinting = 1;
constexpr std::size_t kCurrentFormat = 2;
constexpr std::size_t kFeetInches = 3;
constexpr std::size_t kReserved4 = 4;
constexpr std::size_t kReservedText8 = 8;
constexpr std::size_t kLogFile = 16;
constexpr std::size_t kToday = 17;
constexpr std::size_t kTotal = 21;
constexpr std::size_t kDayOfYear = 25;
constexpr std::size_t kReservedText29 = 29;
constexpr std::size_t kUmlerWindow = 129;
constexpr std::size_t kTagLogWindow = 130;
constexpr std::size_t kProgrammedByEntry = 131;
constexpr std::size_t kAutoRf = 132;
constexpr std::size_t kAutoUmler = 133;
constexpr std::size_t kCompany = 134;
constexpr std::size_t kCertInitial = 169;
constexpr std::size_t kCertifiedCount = 174;
constexpr std::size_t kReaderPort = 178;
constexpr std::size_t kBackground = 179;
constexpr std::size_t kRecondition = 183;
constexpr std::size_t kModel = 184;
constexpr std::size_t kReserved185 = 185;
static_assert(kReserved185 + sizeof(SettingsBlock::reserved185) == kSettingsBlockSize);
} // namespace settings
} // namespace

void SerializeSettings(const SettingsBlock& s, uint8_t* out) {
    using namespace settings;
    std::memset(out, 0, kSettingsBlockSize);
    PutU8(out, kSound, s.soundOn);
    PutU8(out, kLabelPrinting, s.labelPrintingOn);
    PutU8(out, kCurrentFormat, s.currentFormat);
    PutU8(out, kFeetInches, s.feetInches);
    PutRaw(out, kReserved4, s.reserved4, sizeof s.reserved4);
    PutText(out, kReservedText8, s.reservedText8, sizeof s.reservedText8);
    PutU8(out, kLogFile, s.logFileOn);
    PutI32(out, kToday, s.programmedToday);
    PutI32(out, kTotal, s.programmedTotal);
    PutI32(out, kDayOfYear, s.dayOfYear);
    PutText(out, kReservedText29, s.reservedText29, sizeof s.reservedText29);
    PutU8(out, kUmlerWindow, s.umlerWindowShown);
    PutU8(out, kTagLogWindow, s.tagLogWindowShown);
    PutU8(out, kProgrammedByEntry, s.programmedByEntry);
    PutU8(out, kAutoRf, s.autoRfCheck);
    PutU8(out, kAutoUmler, s.autoUmlerCheck);
    PutText(out, kCompany, s.programmedByCompany, sizeof s.programmedByCompany);
    PutText(out, kCertInitial, s.certificationInitial, sizeof s.certificationInitial);
    PutI32(out, kCertifiedCount, s.certifiedCount);
    PutU8(out, kReaderPort, s.readerPort);
    PutI32(out, kBackground, s.backgroundColor);
    PutU8(out, kRecondition, s.reconditionCheck);
    PutU8(out, kModel, s.programmerModel);
    PutRaw(out, kReserved185, s.reserved185, sizeof s.reserved185);
}

SettingsBlock DeserializeSettings(const uint8_t* in) {
    using namespace settings;
    SettingsBlock s;
    s.soundOn = GetU8(in, kSound);
    s.labelPrintingOn = GetU8(in, kLabelPrinting);
    s.currentFormat = GetU8(in, kCurrentFormat);
    s.feetInches = GetU8(in, kFeetInches);
    GetRaw(in, kReserved4, s.reserved4, sizeof s.reserved4);
    GetText(in, kReservedText8, s.reservedText8, sizeof s.reservedText8);
    s.logFileOn = GetU8(in, kLogFile);
    s.programmedToday = GetI32(in, kToday);
    s.programmedTotal = GetI32(in, kTotal);
    s.dayOfYear = GetI32(in, kDayOfYear);
    GetText(in, kReservedText29, s.reservedText29, sizeof s.reservedText29);
    s.umlerWindowShown = GetU8(in, kUmlerWindow);
    s.tagLogWindowShown = GetU8(in, kTagLogWindow);
    s.programmedByEntry = GetU8(in, kProgrammedByEntry);
    s.autoRfCheck = GetU8(in, kAutoRf);
    s.autoUmlerCheck = GetU8(in, kAutoUmler);
    GetText(in, kCompany, s.programmedByCompany, sizeof s.programmedByCompany);
    GetText(in, kCertInitial, s.certificationInitial, sizeof s.certificationInitial);
    s.certifiedCount = GetI32(in, kCertifiedCount);
    s.readerPort = GetU8(in, kReaderPort);
    s.backgroundColor = GetI32(in, kBackground);
    s.reconditionCheck = GetU8(in, kRecondition);
    s.programmerModel = GetU8(in, kModel);
    GetRaw(in, kReserved185, s.reserved185, sizeof s.reserved185);
    return s;
}

// --- programmer state, 341 bytes ----------------------------------------------------
namespace {
namespace prog {
constexpr std::size_t kPort = 0;
constexpr std::size_t kModel = 4;
constexpr std::size_t kVersion = 24;
constexpr std::size_t kLastError = 44;
constexpr std::size_t kOn = 84;
constexpr std::size_t kNextCheck = 85;
constexpr std::size_t kFrameText = 89;
constexpr std::size_t kResponse = 189;
constexpr std::size_t kOperationState = 289;
constexpr std::size_t kOperationResult = 290;
constexpr std::size_t kSearchStarted = 291;
constexpr std::size_t kSearchRequested = 292;
constexpr std::size_t kReserved293 = 293;
constexpr std::size_t kReserved294 = 294;
static_assert(kReserved294 + sizeof(ProgrammerState::reserved294) == kProgrammerStateSize);
} // namespace prog
} // namespace

void SerializeProgrammerState(const ProgrammerState& s, uint8_t* out) {
    using namespace prog;
    std::memset(out, 0, kProgrammerStateSize);
    PutI32(out, kPort, s.port);
    PutText(out, kModel, s.model, sizeof s.model);
    PutText(out, kVersion, s.version, sizeof s.version);
    PutText(out, kLastError, s.lastError, sizeof s.lastError);
    PutU8(out, kOn, s.on);
    PutU32(out, kNextCheck, s.nextCheck);
    PutText(out, kFrameText, s.frameText, sizeof s.frameText);
    PutText(out, kResponse, s.response, sizeof s.response);
    PutU8(out, kOperationState, s.operationState);
    PutU8(out, kOperationResult, s.operationResult);
    PutU8(out, kSearchStarted, s.searchStarted);
    PutU8(out, kSearchRequested, s.searchRequested);
    PutU8(out, kReserved293, s.reserved293);
    PutRaw(out, kReserved294, s.reserved294, sizeof s.reserved294);
}

ProgrammerState DeserializeProgrammerState(const uint8_t* in) {
    using namespace prog;
    ProgrammerState s;
    s.port = GetI32(in, kPort);
    GetText(in, kModel, s.model, sizeof s.model);
    GetText(in, kVersion, s.version, sizeof s.version);
    GetText(in, kLastError, s.lastError, sizeof s.lastError);
    s.on = GetU8(in, kOn);
    s.nextCheck = GetU32(in, kNextCheck);
    GetText(in, kFrameText, s.frameText, sizeof s.frameText);
    GetText(in, kResponse, s.response, sizeof s.response);
    s.operationState = GetU8(in, kOperationState);
    s.operationResult = GetU8(in, kOperationResult);
    s.searchStarted = GetU8(in, kSearchStarted);
    s.searchRequested = GetU8(in, kSearchRequested);
    s.reserved293 = GetU8(in, kReserved293);
    GetRaw(in, kReserved294, s.reserved294, sizeof s.reserved294);
    return s;
}

// --- communication log settings, 114 bytes ---------------------------------------
namespace {
namespace commlog {
constexpr std::size_t kLogOn = 0;
constexpr std::size_t kLogCount = 2;
constexpr std::size_t kLogInterval = 5;
constexpr std::size_t kCommLogOn = 26;
constexpr std::size_t kCommLogSize = 28;
constexpr std::size_t kCommLogAge = 49;
constexpr std::size_t kTagLogOn = 70;
constexpr std::size_t kTagLogSize = 72;
constexpr std::size_t kTagLogAge = 93;
static_assert(kTagLogAge + sizeof(CommLogSettings::tagLogAge) == kCommLogSettingsSize);
} // namespace commlog
} // namespace

void SerializeCommLogSettings(const CommLogSettings& s, uint8_t* out) {
    using namespace commlog;
    std::memset(out, 0, kCommLogSettingsSize);
    PutU16(out, kLogOn, s.logOn);
    PutText(out, kLogCount, s.logCount, sizeof s.logCount);
    PutText(out, kLogInterval, s.logInterval, sizeof s.logInterval);
    PutU16(out, kCommLogOn, s.commLogOn);
    PutText(out, kCommLogSize, s.commLogSize, sizeof s.commLogSize);
    PutText(out, kCommLogAge, s.commLogAge, sizeof s.commLogAge);
    PutU16(out, kTagLogOn, s.tagLogOn);
    PutText(out, kTagLogSize, s.tagLogSize, sizeof s.tagLogSize);
    PutText(out, kTagLogAge, s.tagLogAge, sizeof s.tagLogAge);
}

CommLogSettings DeserializeCommLogSettings(const uint8_t* in) {
    using namespace commlog;
    CommLogSettings s;
    s.logOn = GetU16(in, kLogOn);
    GetText(in, kLogCount, s.logCount, sizeof s.logCount);
    GetText(in, kLogInterval, s.logInterval, sizeof s.logInterval);
    s.commLogOn = GetU16(in, kCommLogOn);
    GetText(in, kCommLogSize, s.commLogSize, sizeof s.commLogSize);
    GetText(in, kCommLogAge, s.commLogAge, sizeof s.commLogAge);
    s.tagLogOn = GetU16(in, kTagLogOn);
    GetText(in, kTagLogSize, s.tagLogSize, sizeof s.tagLogSize);
    GetText(in, kTagLogAge, s.tagLogAge, sizeof s.tagLogAge);
    return s;
}

// --- printer settings, 252 bytes ---------------------------------------------------
namespace {
namespace printer {
constexpr std::size_t kDevice = 0;
constexpr std::size_t kDriver = 32;
constexpr std::size_t kPort = 64;
constexpr std::size_t kSetup = 96;
static_assert(kSetup + sizeof(PrinterSettings::setup) == kPrinterSettingsSize);
} // namespace printer
} // namespace

void SerializePrinterSettings(const PrinterSettings& s, uint8_t* out) {
    using namespace printer;
    PutText(out, kDevice, s.device, sizeof s.device);
    PutText(out, kDriver, s.driver, sizeof s.driver);
    PutText(out, kPort, s.port, sizeof s.port);
    PutRaw(out, kSetup, s.setup, sizeof s.setup);
}

PrinterSettings DeserializePrinterSettings(const uint8_t* in) {
    using namespace printer;
    PrinterSettings s;
    GetText(in, kDevice, s.device, sizeof s.device);
    GetText(in, kDriver, s.driver, sizeof s.driver);
    GetText(in, kPort, s.port, sizeof s.port);
    GetRaw(in, kSetup, s.setup, sizeof s.setup);
    return s;
}

// --- tag log window column widths, 128 bytes -------------------------------------

void SerializeColumnWidths(const ColumnWidths& w, uint8_t* out) {
    for (int i = 0; i < kStoredColumnWidths; ++i)
        PutI32(out, 4 * static_cast<std::size_t>(i), w[i / kColumnsPerSet][i % kColumnsPerSet]);
}

void DeserializeColumnWidths(const uint8_t* in, ColumnWidths& w) {
    for (int i = 0; i < kStoredColumnWidths; ++i)
        w[i / kColumnsPerSet][i % kColumnsPerSet] = GetI32(in, 4 * static_cast<std::size_t>(i));
}

} // namespace velmora
