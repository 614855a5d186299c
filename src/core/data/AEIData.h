// The application data object: everything that outlives a window. One
// instance per program run (and per test). Tables are reached only through
// index-checked Get/Update pairs that copy whole records; a bad index raises
// the internal error trap and touches nothing outside the table.
#pragma once

#include "data/LastTagRecord.h"
#include "data/OptionBlocks.h"
#include "data/ReferenceTables.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "serial/SerialLinkData.h"
#include "tagdata/TagFormatData.h"
#include "umler/UmlerRecord.h"
#include "util/FixedText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

enum MarketRegion : int32_t { kRegionNorthAmerica = 0, kRegionSARA = 1, kRegionAustralia = 2 };
std::string_view MarketRegionName(int32_t region);

inline constexpr int kTagTypeSlots = 20;
inline constexpr std::size_t kTagTypeWidth = 11;

inline constexpr const char* kProductCaptionDefault = "Velmora for Windows";
inline constexpr const char* kErrorCaption = "Velmora Error";
inline constexpr const char* kInternalErrorCaption = "Internal Error Trap";

class AEIData {
public:
    AEIData(Operator& op, Clock& clock);
    AEIData(const AEIData&) = delete;
    AEIData& operator=(const AEIData&) = delete;

    Operator& GetOperator() { return op_; }
    Clock& GetClock() { return clock_; }

    // --- internal error trap and the current operation name ----------------
    // Shows "Internal Error Trap" with the label, the bad value and the
    // current operation name; control then returns to the caller.
    void InternalErrorTrap(std::string_view label, long value);
    void SetOperationName(std::string_view name) { operationName_ = std::string(name); }
    const std::string& OperationName() const { return operationName_; }

    // Sets the operation name for the lifetime of the scope, clears it after.
    class OperationScope {
    public:
        OperationScope(AEIData& d, std::string_view name) : d_(d) { d_.SetOperationName(name); }
        ~OperationScope() { d_.SetOperationName({}); }
        OperationScope(const OperationScope&) = delete;
        OperationScope& operator=(const OperationScope&) = delete;
    private:
        AEIData& d_;
    };

    // --- captions --------------------------------------------------------------
    const std::string& ProductCaption() const { return productCaption_; }
    void SetProductCaption(std::string caption) { productCaption_ = std::move(caption); }
    const char* ErrorCaption() const { return kErrorCaption; }

    // --- serial ports ------------------------------------------------------------
    // Status and link records of the four ports, the message queue and the
    // links' hooks; reached through the index-checked accessors of
    // serial/SerialAccess.h.
    SerialLinkData serial;

    // --- tag formats -----------------------------------------------------------
    // Bad index: trap "Format index error - GetTagFormatData", returns an
    // empty (undefined) record.
    TagFormatData GetTagFormatData(int index);
    // Bad index: trap "Format index error - UpdateTagFormatData", nothing written.
    void UpdateTagFormatData(int index, const TagFormatData& record);
    int FindTagFormatByName(std::string_view name) const;
    int FindFreeFormatSlot() const;
    int FindTagFormatForFrame(int formatCode, int equipmentCode, bool reading) const;
    // Writes the built-in formats into slots 0..5 for the current half-frame
    // mode and market region, and resets the import settings.
    void BuildBuiltInFormats();
    // Marks all 40 slots undefined, slots 6..39 not system slots.
    void ClearFormatTable();

    // --- tag type list ---------------------------------------------------------
    // Bad index: trap "Tag Type index error - GetAchTagType", returns slot 0.
    std::string GetAchTagType(int index);
    int FindTagType(std::string_view text) const;
    int TagTypeCount() const; // entries before the first empty slot
    // Puts the fixed tag type names back into the list (constructor, defaults).
    void ResetTagTypeList();

    // --- settings and other option blocks ------------------------------------
    int32_t MarketRegion() const { return marketRegion_; }
    void SetMarketRegion(int32_t region) { marketRegion_ = region; }
    // Half-frame mode: the programmer model index is 1 (the half-frame model).
    bool HalfFrameMode() const { return settings_.programmerModel == 1; }

    SettingsBlock GetSettings() const { return settings_; }
    void UpdateSettings(const SettingsBlock& s) { settings_ = s; }
    ProgrammerState GetProgrammerRecord() const { return programmer_; }
    void UpdateProgrammerRecord(const ProgrammerState& s) { programmer_ = s; }
    CommLogSettings GetCommLogSettings() const { return commLog_; }
    void UpdateCommLogSettings(const CommLogSettings& s) { commLog_ = s; }
    // which: 0 = label printer, 1 = second printer record.
    PrinterSettings GetPrinterSettings(int which);
    void UpdatePrinterSettings(int which, const PrinterSettings& s);
    int32_t GetColumnWidth(int set, int column);
    void UpdateColumnWidth(int set, int column, int32_t width);
    ImportSettings GetImportSettings() const { return import_; }
    void UpdateImportSettings(const ImportSettings& s) { import_ = s; }

    // Recent programmed tag lines, 0 = newest.
    std::string GetRecentTagLine(int index);
    void UpdateRecentTagLine(int index, std::string_view line);

    std::string TagLogFileName() const { return std::string(GetText(tagLogFileName_)); }
    void SetTagLogFileName(std::string_view n) { SetText(tagLogFileName_, n); }
    std::string ImportTagFileName() const { return std::string(GetText(importTagFileName_)); }
    void SetImportTagFileName(std::string_view n) { SetText(importTagFileName_, n); }
    std::string VersionText() const { return std::string(GetText(versionText_)); }
    void SetVersionText(std::string_view v) { SetText(versionText_, v); }
    // The start directory, ending in a path separator ("" = working directory).
    const std::string& StartDirectory() const { return startDirectory_; }
    void SetStartDirectory(std::string dir) { startDirectory_ = std::move(dir); }

    // --- reference tables ------------------------------------------------------
    CarType GetCarType(std::string_view text, int number, std::string_view name) const;
    WABTECData GetWABTECData(int index);
    int FindWABTEC(std::string_view mark, int tagTypeFlag) const;
    BackgroundColor GetBackgroundColor(int index);
    int FindBackgroundColor(std::string_view name) const;

    // --- the current UMLER record ---------------------------------------------
    // The last record the tag form looked up (initial code -1: none, as at
    // start-up and after a failed lookup) and the vehicle key of that record,
    // which the caller sets on a hit.
    UmlerRecord GetUMLERRecord() const { return umlerRecord_; }
    void SetUMLERRecord(const UmlerRecord& r) { umlerRecord_ = r; }
    std::string GetVehicleKey() const { return std::string(FixedView(vehicleKey_, sizeof vehicleKey_)); }
    void SetVehicleKey(std::string_view key) { CopyFixed(vehicleKey_, sizeof vehicleKey_, key); }

private:
    UmlerRecord umlerRecord_;
    char vehicleKey_[kVehicleKeyLength + 1] = {};

public:

    // --- the last tag record and the last programmed frame ----------------------
    LastTagRecord GetLastTagRecord() const { return lastTag_; }
    void UpdateLastTagRecord(const LastTagRecord& r) { lastTag_ = r; }
    std::string GetLastProgrammedFrame() const {
        return std::string(FixedView(lastProgrammedFrame_, kFrameTextWidth));
    }
    void UpdateLastProgrammedFrame(std::string_view frame) {
        CopyFixed(lastProgrammedFrame_, kFrameTextWidth, frame);
    }

private:
    LastTagRecord lastTag_;
    char lastProgrammedFrame_[kFrameTextWidth] = {};

private:
    template <std::size_t N>
    static std::string_view GetText(const char (&s)[N]) { return FixedView(s, N); }
    template <std::size_t N>
    static void SetText(char (&d)[N], std::string_view s) { CopyFixed(d, N, s); }

    Operator& op_;
    Clock& clock_;
    std::string operationName_;
    std::string productCaption_ = kProductCaptionDefault;
    std::string startDirectory_;

    TagFormatData formats_[kFormatSlots];
    char tagTypes_[kTagTypeSlots][kTagTypeWidth] = {};
    int32_t marketRegion_ = kRegionNorthAmerica;

    SettingsBlock settings_;
    ProgrammerState programmer_;
    CommLogSettings commLog_;
    PrinterSettings printers_[2];
    int32_t columnWidths_[kColumnSets][kColumnsPerSet] = {};
    ImportSettings import_;
    char recentTagLines_[kRecentTagLines][kRecentTagLineWidth] = {};
    char tagLogFileName_[kFileNameWidth] = "tag log.txt";
    char importTagFileName_[kFileNameWidth] = "import tag.txt";
    char versionText_[kVersionTextWidth] = {};

    CarType carTypes_[kCarTypes];
    WABTECData wabtec_[kWABTECRecords];
    BackgroundColor colors_[kBackgroundColors];
};

} // namespace velmora
