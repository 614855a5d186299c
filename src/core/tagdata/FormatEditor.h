// The tag format editor behind "AEI Tag Formats": the texts the dialog shows
// for a format, the checks of its OK button in their order, and storing,
// copying and deleting formats in the format table.
//
// The dialog only shows and collects texts. Everything it decides lives here
// so that every message and its order is tested without a screen: the
// messages go through the data object's Operator, and each failed check
// names the control that gets the focus.
#pragma once

#include "tagdata/TagFormatData.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

// ---- the texts of the operator's messages ----------------------------------------
inline constexpr const char* kMsgNoFreeFormatSlot =
    "The maximum number of tags formats are already in the system.  To add a new format you must delete "
    "and old one.";
inline constexpr const char* kMsgSelectFormat = "Select format to edit or new format";
inline constexpr const char* kNewFormatEntry = "<<New>>";
inline constexpr const char* kNewFormatName = "New";

// The controls of the editor a failed check puts the focus on.
enum class EditorControl {
    FormatName,
    FieldName,   // of a row
    EquipmentCode,
    FormatCode,
    TagTypeCode,
    StartingBit, // of a row
    Length,      // of a row
    Type,        // of a row
    Minimum,     // of a row
    Maximum,     // of a row
    Default,     // of a row
};

struct EditorFocus {
    EditorControl control = EditorControl::FormatName;
    int row = -1; // 0..14 for the row controls, -1 for the header controls
    bool operator==(const EditorFocus&) const = default;
};

// One field row as the dialog shows it.
struct FormatEditorRow {
    std::string name;        // up to 30 characters
    std::string startingBit; // up to 3 digits; empty for a row without one
    std::string length;      // up to 3 digits
    int type = kTypeNumeric; // 0..10, the index of the Type drop-down
    std::string minimum;     // up to 9 characters each
    std::string maximum;
    std::string defaultText;
};

// Everything the dialog shows.
struct FormatEditorValues {
    std::string name; // up to 30 characters
    std::string equipmentCode;
    std::string formatCode;
    std::string tagTypeCode;
    std::array<FormatEditorRow, kFieldRows> rows{};
    std::string defaultTag; // the text chosen in "Default Tag"
    bool notForReading = false; // "Do not use when reading tag if another format is available"
    bool halfFrameOnly = false; // "Used with only half-frame tag programmers"
};

// A stored format as the dialog shows it: every row that has a name, also
// below a row without one (rows without a name show empty), a Starting Bit
// or Length of 255 as an empty text, the Default Tag as its text
// in the tag type list, the second check box ticked when the full-frame flag
// is 0.
FormatEditorValues ValuesFromRecord(const TagFormatData& record, AEIData& data);
// A new format: the name "New", empty codes, empty rows of type "binary
// (numeric)", the Default Tag of tag type slot 1, both check boxes clear.
FormatEditorValues NewFormatValues(AEIData& data);

// The outcome of the OK checks.
struct FormatCheckResult {
    bool ok = false;
    std::string message; // the first failed check's message (ok: empty)
    EditorFocus focus;   // where the focus goes after that message
    // The values as the checks leave them: Minimum and Maximum upper-cased,
    // the side indicator's limits set to "0" and "1". Shown by the dialog
    // whether or not the checks pass.
    FormatEditorValues values;
    // ok: the record to store (Defined 1, System slot 0, reserved bytes 0).
    TagFormatData record;
};

// The OK checks in their order, without storing anything and without a
// message box. `newFormat` is true for a new format and for a copy; an
// existing format (editSlot) may keep its own name.
FormatCheckResult CheckTagFormat(const FormatEditorValues& values, bool newFormat, int editSlot,
                                 const AEIData& data);

// The bit numbers a field occupies as data bit indexes (bit numbers 0..59
// are indexes 0..59, bit numbers 64..123 are indexes 60..119): the first and
// the last index. A field that starts below 60 and runs on past index 59
// goes on at bit number 64, so its span is continuous in indexes.
struct BitSpan {
    int first = 0;
    int last = 0;
};
BitSpan FieldIndexSpan(int startingBit, int length);

// The format editor's state for one opening of "AEI Tag Formats".
class FormatEditor {
public:
    explicit FormatEditor(AEIData& data);

    // Opens the editor for a slot, or for a new format with slot -1. For a
    // new format a free slot is reserved; when there is none the message
    // about the maximum number of formats is shown and false comes back (the
    // editor does not open). For the format the tag form is using, the
    // "currently being used" message is shown and OK and Delete are off.
    bool Open(int slot);

    const FormatEditorValues& Values() const { return values_; }
    int EditSlot() const { return editSlot_; }         // -1: a new format or a copy
    int ReservedSlot() const { return reservedSlot_; } // -1: an existing format
    bool IsNew() const { return editSlot_ < 0; }
    bool OkEnabled() const { return okEnabled_; }
    bool DeleteEnabled() const { return deleteEnabled_; }
    // The name of the format as it was opened (for the delete message).
    const std::string& OpenedName() const { return openedName_; }

    // "Copy": reserves a free slot for the content shown (which becomes a
    // new format named "New"); OK comes on, Delete goes off. With no free
    // slot the message about the maximum number of formats is shown and
    // nothing changes (false). The dialog passes what it shows and gets the
    // values to show back through Values().
    bool Copy(const FormatEditorValues& shown);

    // "OK": the checks; on the first failure its message (error box) and
    // false, Values() holding the values to show and FailedFocus() the
    // control to focus. On success the format is written with
    // UpdateTagFormatData, the "created"/"modified" message is shown and
    // true comes back: the dialog refills the form's format list and closes.
    bool Ok(const FormatEditorValues& shown);
    EditorFocus FailedFocus() const { return failedFocus_; }

    // "Delete": the slot gets an empty name and Defined 0, the "has been
    // deleted" message is shown and true comes back (the dialog refills the
    // format list and closes). Refused (false, nothing changes) for a new
    // format, a built-in one and the one in use.
    bool Delete();

private:
    bool InUse(int slot) const;
    bool ReserveSlot();

    AEIData& data_;
    FormatEditorValues values_;
    int editSlot_ = -1;
    int reservedSlot_ = -1;
    bool okEnabled_ = true;
    bool deleteEnabled_ = false;
    std::string openedName_;
    EditorFocus failedFocus_;
};

} // namespace velmora
