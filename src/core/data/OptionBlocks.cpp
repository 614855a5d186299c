// The serializers of the option blocks: each block lists its fields once with
// their offsets, and the one list both writes and reads them, little-endian.
// Texts read back are forced to end within their widths.
#include "data/OptionBlocks.h"

#include "util/Bytes.h"

#include <cstring>

namespace velmora {

using namespace bytes;

namespace {

// --- settings block, 329 bytes ---------------------------------------------------
template <class Block, class Io>
void SettingsFields(Block& s, Io io) {
    io.Field(0, s.soundOn);
    io.Field(1, s.labelPrintingOn);
    io.Field(2, s.currentFormat);
    io.Field(3, s.feetInches);
    io.Field(4, s.reserved4);
    io.Field(8, s.reservedText8);
    io.Field(16, s.logFileOn);
    io.Field(17, s.programmedToday);
    io.Field(21, s.programmedTotal);
    io.Field(25, s.dayOfYear);
    io.Field(29, s.reservedText29);
    io.Field(129, s.umlerWindowShown);
    io.Field(130, s.tagLogWindowShown);
    io.Field(131, s.programmedByEntry);
    io.Field(132, s.autoRfCheck);
    io.Field(133, s.autoUmlerCheck);
    io.Field(134, s.programmedByCompany);
    io.Field(169, s.certificationInitial);
    io.Field(174, s.certifiedCount);
    io.Field(178, s.readerPort);
    io.Field(179, s.backgroundColor);
    io.Field(183, s.reconditionCheck);
    io.Field(184, s.programmerModel);
    io.Field(185, s.importWindowShown);
    io.Field(186, s.reserved186);
}
static_assert(186 + sizeof(SettingsBlock::reserved186) == kSettingsBlockSize);

// --- programmer state, 341 bytes ----------------------------------------------------
template <class Block, class Io>
void ProgrammerStateFields(Block& s, Io io) {
    io.Field(0, s.port);
    io.Field(4, s.model);
    io.Field(24, s.version);
    io.Field(44, s.lastError);
    io.Field(84, s.on);
    io.Field(85, s.nextCheck);
    io.Field(89, s.frameText);
    io.Field(189, s.response);
    io.Field(289, s.operationState);
    io.Field(290, s.operationResult);
    io.Field(291, s.searchStarted);
    io.Field(292, s.searchRequested);
    io.Field(293, s.reserved293);
    io.Field(294, s.reserved294);
}
static_assert(294 + sizeof(ProgrammerState::reserved294) == kProgrammerStateSize);

// --- communication log settings, 114 bytes ---------------------------------------
template <class Block, class Io>
void CommLogSettingsFields(Block& s, Io io) {
    io.Field(0, s.logOn);
    io.Field(2, s.logCount);
    io.Field(5, s.logInterval);
    io.Field(26, s.commLogOn);
    io.Field(28, s.commLogSize);
    io.Field(49, s.commLogAge);
    io.Field(70, s.tagLogOn);
    io.Field(72, s.tagLogSize);
    io.Field(93, s.tagLogAge);
}
static_assert(93 + sizeof(CommLogSettings::tagLogAge) == kCommLogSettingsSize);

// --- printer settings, 252 bytes ---------------------------------------------------
template <class Block, class Io>
void PrinterSettingsFields(Block& s, Io io) {
    io.Field(0, s.device);
    io.Field(32, s.driver);
    io.Field(64, s.port);
    io.Field(96, s.setup);
}
static_assert(96 + sizeof(PrinterSettings::setup) == kPrinterSettingsSize);

} // namespace

void SerializeSettings(const SettingsBlock& s, uint8_t* out) {
    std::memset(out, 0, kSettingsBlockSize);
    SettingsFields(s, Writer{out});
}

SettingsBlock DeserializeSettings(const uint8_t* in) {
    SettingsBlock s;
    SettingsFields(s, Reader{in});
    return s;
}

void SerializeProgrammerState(const ProgrammerState& s, uint8_t* out) {
    std::memset(out, 0, kProgrammerStateSize);
    ProgrammerStateFields(s, Writer{out});
}

ProgrammerState DeserializeProgrammerState(const uint8_t* in) {
    ProgrammerState s;
    ProgrammerStateFields(s, Reader{in});
    return s;
}

void SerializeCommLogSettings(const CommLogSettings& s, uint8_t* out) {
    std::memset(out, 0, kCommLogSettingsSize);
    CommLogSettingsFields(s, Writer{out});
}

CommLogSettings DeserializeCommLogSettings(const uint8_t* in) {
    CommLogSettings s;
    CommLogSettingsFields(s, Reader{in});
    return s;
}

void SerializePrinterSettings(const PrinterSettings& s, uint8_t* out) { PrinterSettingsFields(s, Writer{out}); }

PrinterSettings DeserializePrinterSettings(const uint8_t* in) {
    PrinterSettings s;
    PrinterSettingsFields(s, Reader{in});
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
