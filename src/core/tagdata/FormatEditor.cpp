// The format editor's commands: opening a slot or a new format, Copy, OK and
// Delete, with the rules for the built-in formats and the format in use.
#include "tagdata/FormatEditor.h"

#include "data/AEIData.h"
#include "util/FixedText.h"

namespace velmora {

namespace {

std::string InUseText(std::string_view name) {
    return "The " + std::string(name) +
           " format is currently being used in the tag programming window.  You must change the active "
           "programming format to something else before you can modify or delete this format.";
}

} // namespace

FormatEditor::FormatEditor(AEIData& data) : data_(data) {}

bool FormatEditor::InUse(int slot) const { return slot >= 0 && slot == data_.GetSettings().currentFormat; }

bool FormatEditor::ReserveSlot() {
    const int slot = data_.FindFreeFormatSlot();
    if (slot < 0) {
        data_.GetOperator().MessageBox(data_.ErrorCaption(), kMsgNoFreeFormatSlot, MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    reservedSlot_ = slot;
    return true;
}

bool FormatEditor::Open(int slot) {
    failedFocus_ = EditorFocus{};
    if (slot < 0) {
        if (!ReserveSlot()) return false;
        editSlot_ = -1;
        values_ = NewFormatValues(data_);
        openedName_.clear();
        okEnabled_ = true;
        deleteEnabled_ = false;
        return true;
    }
    if (slot >= kFormatSlots) {
        data_.GetTagFormatData(slot); // the internal error trap names the bad index
        return false;
    }
    const TagFormatData record = data_.GetTagFormatData(slot);
    if (record.defined != 1) return false;
    editSlot_ = slot;
    reservedSlot_ = -1;
    values_ = ValuesFromRecord(record, data_);
    openedName_ = std::string(record.Name());
    okEnabled_ = true;
    deleteEnabled_ = true;
    if (record.systemSlot == 1) {
        okEnabled_ = false;
        deleteEnabled_ = false;
    }
    if (InUse(slot)) {
        data_.GetOperator().MessageBox(data_.ProductCaption(), InUseText(record.Name()), MsgIcon::Information,
                                       MsgButtons::Ok);
        okEnabled_ = false;
        deleteEnabled_ = false;
    }
    return true;
}

bool FormatEditor::Copy(const FormatEditorValues& shown) {
    if (!ReserveSlot()) return false;
    values_ = shown;
    values_.name = kNewFormatName;
    editSlot_ = -1;
    okEnabled_ = true;
    deleteEnabled_ = false;
    return true;
}

bool FormatEditor::Ok(const FormatEditorValues& shown) {
    if (!okEnabled_) return false;
    Operator& op = data_.GetOperator();
    if (!IsNew()) {
        // The tag form may have changed its format while the dialog was open.
        const TagFormatData current = data_.GetTagFormatData(editSlot_);
        if (current.systemSlot == 1 || InUse(editSlot_)) {
            if (current.systemSlot != 1)
                op.MessageBox(data_.ProductCaption(), InUseText(current.Name()), MsgIcon::Information,
                              MsgButtons::Ok);
            okEnabled_ = false;
            deleteEnabled_ = false;
            return false;
        }
    }

    FormatCheckResult check = CheckTagFormat(shown, IsNew(), editSlot_, data_);
    values_ = check.values;
    if (!check.ok) {
        failedFocus_ = check.focus;
        op.MessageBox(data_.ErrorCaption(), check.message, MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }

    const std::string name = values_.name;
    if (IsNew()) {
        // The reserved slot is still free unless something filled it since.
        const TagFormatData reserved = data_.GetTagFormatData(reservedSlot_);
        if (reserved.defined != 0 || reserved.systemSlot != 0) {
            if (!ReserveSlot()) return false;
        }
        data_.UpdateTagFormatData(reservedSlot_, check.record);
        editSlot_ = reservedSlot_;
        reservedSlot_ = -1;
        op.MessageBox(data_.ProductCaption(), "A new format called \"" + name + "\" has been created.",
                      MsgIcon::Information, MsgButtons::Ok);
    } else {
        data_.UpdateTagFormatData(editSlot_, check.record);
        op.MessageBox(data_.ProductCaption(), "A format called \"" + name + "\" has been modified.",
                      MsgIcon::Information, MsgButtons::Ok);
    }
    openedName_ = name;
    deleteEnabled_ = true;
    return true;
}

bool FormatEditor::Delete() {
    if (IsNew() || !deleteEnabled_) return false;
    TagFormatData record = data_.GetTagFormatData(editSlot_);
    if (record.defined != 1 || record.systemSlot == 1 || InUse(editSlot_)) {
        deleteEnabled_ = false;
        okEnabled_ = false;
        return false;
    }
    const std::string name(record.Name());
    SetText(record.formatName, "");
    record.defined = 0;
    data_.UpdateTagFormatData(editSlot_, record);
    deleteEnabled_ = false;
    okEnabled_ = false;
    data_.GetOperator().MessageBox(kProductCaptionDefault, "The " + name + " format has been deleted.",
                                   MsgIcon::Information, MsgButtons::Ok);
    return true;
}

} // namespace velmora
