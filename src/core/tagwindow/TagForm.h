// The tag form as the tag workflows see it: one line per field row with its
// control, the painted marks beside the rows, the tag type list and the raw
// data line. The desktop window implements it with widgets; tests implement it
// with an array of strings.
//
// Rows are the format's field rows 0..14. A row has a control when the form
// shows it (before the first empty Field Name, not the second row of a split
// field, not a blank): a side list for a side indicator, an edit control for
// every other type. Calls with a row outside 0..14, or for a row without a
// control, read an empty text and change nothing.
#pragma once

#include "tagdata/TagFormatData.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

enum class FieldControl { None, Edit, SideList };

// The per-field marks the form paints beside its rows.
struct TagFormMarks {
    std::array<uint8_t, kFieldRows> error{};   // 1: the row's value is in error
    std::array<int32_t, kFieldRows> umlerValue; // the register's value, -1 none
    int32_t umlerClass = -1; // -1 none, 1 the register lists a railcar, 0 a locomotive

    TagFormMarks() { umlerValue.fill(-1); }
    // Error flags 0, UMLER values -1, class mark -1.
    void Clear() { *this = TagFormMarks(); }
};

class TagForm {
public:
    virtual ~TagForm() = default;

    // Which control the row has.
    virtual FieldControl Control(int row) const = 0;
    // The control's text: an edit control's text, a side list's selection.
    virtual std::string FieldText(int row) const = 0;
    // Puts a text in the row's control: an edit control takes it as its text
    // with the caret at the end; a side list selects it ("LEFT"/"RIGHT").
    virtual void SetFieldText(int row, const std::string& text) = 0;

    // The marks, copied whole in and out; SetMarks does not repaint.
    virtual TagFormMarks Marks() const = 0;
    virtual void SetMarks(const TagFormMarks& marks) = 0;
    // The row of the side indicator field (-1 none), as a read reported it.
    virtual void SetSideFieldRow(int row) = 0;

    // Repaints the labels and the notes (converted lengths, errors, UMLER).
    virtual void Repaint() = 0;
    // Makes the row the form's current field and gives its control the focus;
    // an edit control's whole text is selected.
    virtual void FocusField(int row) = 0;

    // The raw data line under the recent tags list.
    virtual void SetRawData(const std::string& text) = 0;
    // The tag type list's text (up to 10 characters are used), and setting it
    // (empty clears it).
    virtual std::string TagTypeText() const = 0;
    virtual void SetTagTypeText(const std::string& text) = 0;

    // Throws this form away and builds a new one for the current format
    // (ReplaceTagWindow). Before it returns, the new form has been set up:
    // it ran TagWorkflows::SetupFormValues (values from the last tag record
    // or the format's defaults), filled its tag type list and, with
    // certifyPending, ran TagWorkflows::CertificationFill; and the workflows
    // act on the new form from then on (TagWorkflows::SetForm). This object
    // may stay alive, hidden, until the next replacement; the workflows no
    // longer touch it.
    virtual void ReplaceTagWindow(bool certifyPending) = 0;
};

} // namespace velmora
