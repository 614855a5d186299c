// The tag being programmed or last read: what the workflows hand to the tag
// log, the label and the form. Kept in the application data object and copied
// whole in and out of it. Fields in their stored order:
//   read flag, format index, 15 field texts (31 bytes each), UMLER result,
//   tag type (11 bytes), RF result, certify flag, frame text (31 bytes),
//   reconditioned flag, lot day, lot year, length units.
#pragma once

#include "tagdata/TagFormatData.h"
#include "util/FixedText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

inline constexpr std::size_t kRecordFieldTextWidth = 31; // 30 characters and a terminating zero
inline constexpr std::size_t kRecordTagTypeWidth = 11;   // up to 10 characters
inline constexpr std::size_t kFrameTextWidth = 31;       // 30 hex digits and a terminating zero

// UMLER comparison result.
enum UmlerResult : int32_t { kUmlerAgrees = 0, kUmlerNotChecked = 1, kUmlerDisagrees = 2 };
// RF check result.
enum RfResult : int32_t { kRfNotChecked = 0, kRfOk = 1, kRfIdOnly = 2 };
// The units of the record's length texts: those of the settings, or the ones
// in force when the tag was programmed once the settings have changed under
// a tag that is not finished yet.
enum RecordLengthUnits : uint8_t { kUnitsOfSettings = 0, kUnitsDecimeters = 1, kUnitsFeetInches = 2 };

struct LastTagRecord {
    uint8_t readFlag = 0;    // 1: the next form must show these values
    uint8_t formatIndex = 0; // format slot 0..39
    char fieldText[kFieldRows][kRecordFieldTextWidth] = {}; // in row order
    int32_t umlerResult = kUmlerAgrees;
    char tagType[kRecordTagTypeWidth] = {};
    int32_t rfResult = kRfNotChecked;
    uint8_t certify = 0;
    char frameText[kFrameTextWidth] = {};
    uint8_t reconditioned = 0;
    uint32_t lotDay = 0;
    uint32_t lotYear = 0;
    uint8_t lengthUnits = kUnitsOfSettings;

    // Whether the length texts are feet-inches, given the settings' units.
    bool LengthsInFeetInches(bool settingsFeetInches) const {
        if (lengthUnits == kUnitsFeetInches) return true;
        if (lengthUnits == kUnitsDecimeters) return false;
        return settingsFeetInches;
    }
    // The text of a row; empty for a row outside 0..14.
    std::string_view FieldText(int row) const {
        if (row < 0 || row >= kFieldRows) return {};
        return FixedView(fieldText[row], kRecordFieldTextWidth);
    }
    // Copies up to 30 characters into a row; a row outside 0..14 is ignored.
    void SetFieldText(int row, std::string_view text) {
        if (row < 0 || row >= kFieldRows) return;
        CopyFixed(fieldText[row], kRecordFieldTextWidth, text);
    }
    std::string_view TagType() const { return FixedView(tagType, kRecordTagTypeWidth); }
    void SetTagType(std::string_view text) { CopyFixed(tagType, kRecordTagTypeWidth, text); }
    std::string_view FrameText() const { return FixedView(frameText, kFrameTextWidth); }
    void SetFrameText(std::string_view text) { CopyFixed(frameText, kFrameTextWidth, text); }
};

} // namespace velmora
