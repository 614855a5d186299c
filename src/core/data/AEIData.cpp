#include "data/AEIData.h"

#include "data/OptionsFile.h"

#include <cstdio>

namespace velmora {

namespace {
constexpr const char* kTagTypeNames[] = {
    "AT5110", "AT5118", "AT5125", "AT5510", "AT5541", "AT5545", "AT5133", "AT5549", "AT5112",
};
} // namespace

std::string_view MarketRegionName(int32_t region) {
    switch (region) {
    case kRegionNorthAmerica: return "North America";
    case kRegionSARA: return "SARA";
    case kRegionAustralia: return "Australia";
    default: return {};
    }
}

AEIData::AEIData(Operator& op, Clock& clock) : op_(op), clock_(clock) {
    FillCarTypes(carTypes_);
    FillWABTEC(wabtec_);
    FillBackgroundColors(colors_);
    ResetTagTypeList();
    SetOptionDefaults(*this);
}

// --- internal error trap ------------------------------------------------------

void AEIData::InternalErrorTrap(std::string_view label, long value) {
    const std::string labelText(label);
    char text[1024];
    std::snprintf(text, sizeof text,
                  "%s value \"%ld\" called by \"%s\". Please contact Corvelle at 555 014-2290 inform them "
                  "of this message and what you were doing when it occurred.  You will also need to "
                  "cancel any pending operation and exit the program.",
                  labelText.c_str(), value, operationName_.c_str());
    op_.MessageBox(kInternalErrorCaption, text, MsgIcon::Stop, MsgButtons::Ok);
}

// --- tag formats ----------------------------------------------------------------

TagFormatData AEIData::GetTagFormatData(int index) {
    if (index < 0 || index >= kFormatSlots) {
        InternalErrorTrap("Format index error - GetTagFormatData", index);
        return TagFormatData{};
    }
    return formats_[index];
}

void AEIData::UpdateTagFormatData(int index, const TagFormatData& record) {
    if (index < 0 || index >= kFormatSlots) {
        InternalErrorTrap("Format index error - UpdateTagFormatData", index);
        return;
    }
    formats_[index] = record;
}

int AEIData::FindTagFormatByName(std::string_view name) const {
    for (int i = 0; i < kFormatSlots; ++i)
        if (formats_[i].defined == 1 && formats_[i].Name() == name) return i;
    return -1;
}

int AEIData::FindFreeFormatSlot() const {
    for (int i = 0; i < kFormatSlots; ++i)
        if (formats_[i].defined == 0 && formats_[i].systemSlot == 0) return i;
    return -1;
}

int AEIData::FindTagFormatForFrame(int formatCode, int equipmentCode, bool reading) const {
    int fallback = -1;
    for (int i = kFormatSlots - 1; i >= 0; --i) {
        const TagFormatData& f = formats_[i];
        if (f.defined != 1 || f.dataFormatCode != formatCode) continue;
        if (formatCode == 0) return i;
        if (f.equipmentGroupCode != equipmentCode) continue;
        if (f.notForReading != 1 || !reading) return i;
        if (fallback < 0) fallback = i;
    }
    return fallback;
}

void AEIData::ClearFormatTable() {
    for (int i = 0; i < kFormatSlots; ++i) {
        formats_[i] = TagFormatData{};
        formats_[i].systemSlot = i < kSystemSlots ? 1 : 0;
        // A record read from an older file that ends before the full-frame
        // byte keeps this value: those formats were made for full frames.
        formats_[i].fullFrame = 1;
    }
}

// --- tag type list --------------------------------------------------------------

void AEIData::ResetTagTypeList() {
    for (auto& t : tagTypes_) CopyFixed(t, kTagTypeWidth, {});
    int i = 0;
    for (const char* name : kTagTypeNames) CopyFixed(tagTypes_[i++], kTagTypeWidth, name);
}

std::string AEIData::GetAchTagType(int index) {
    if (index < 0 || index >= kTagTypeSlots) {
        InternalErrorTrap("Tag Type index error - GetAchTagType", index);
        index = 0;
    }
    return std::string(FixedView(tagTypes_[index], kTagTypeWidth));
}

int AEIData::FindTagType(std::string_view text) const {
    for (int i = 0; i < kTagTypeSlots; ++i)
        if (FixedView(tagTypes_[i], kTagTypeWidth) == text) return i;
    return -1;
}

int AEIData::TagTypeCount() const {
    for (int i = 0; i < kTagTypeSlots; ++i)
        if (tagTypes_[i][0] == '\0') return i;
    return kTagTypeSlots;
}

// --- option blocks ----------------------------------------------------------------

PrinterSettings AEIData::GetPrinterSettings(int which) {
    if (which < 0 || which >= 2) {
        InternalErrorTrap("Printer index error - GetPrinterSettings", which);
        return PrinterSettings{};
    }
    return printers_[which];
}

void AEIData::UpdatePrinterSettings(int which, const PrinterSettings& s) {
    if (which < 0 || which >= 2) {
        InternalErrorTrap("Printer index error - UpdatePrinterSettings", which);
        return;
    }
    printers_[which] = s;
}

int32_t AEIData::GetColumnWidth(int set, int column) {
    if (set < 0 || set >= kColumnSets) {
        InternalErrorTrap("Column set index error - GetColumnWidth", set);
        return 0;
    }
    if (column < 0 || column >= kColumnsPerSet) {
        InternalErrorTrap("Column index error - GetColumnWidth", column);
        return 0;
    }
    return columnWidths_[set][column];
}

void AEIData::UpdateColumnWidth(int set, int column, int32_t width) {
    if (set < 0 || set >= kColumnSets) {
        InternalErrorTrap("Column set index error - UpdateColumnWidth", set);
        return;
    }
    if (column < 0 || column >= kColumnsPerSet) {
        InternalErrorTrap("Column index error - UpdateColumnWidth", column);
        return;
    }
    columnWidths_[set][column] = width;
}

std::string AEIData::GetRecentTagLine(int index) {
    if (index < 0 || index >= kRecentTagLines) {
        InternalErrorTrap("Recent tag line index error - GetRecentTagLine", index);
        return {};
    }
    return std::string(FixedView(recentTagLines_[index], kRecentTagLineWidth));
}

void AEIData::UpdateRecentTagLine(int index, std::string_view line) {
    if (index < 0 || index >= kRecentTagLines) {
        InternalErrorTrap("Recent tag line index error - UpdateRecentTagLine", index);
        return;
    }
    CopyFixed(recentTagLines_[index], kRecentTagLineWidth, line);
}

} // namespace velmora
