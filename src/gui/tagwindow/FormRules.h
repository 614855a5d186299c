// What the tag form derives from a format row without a window: the row's
// edit limits and input filter, and the notes painted in the right column.
#pragma once

#include "tagdata/TagFormatData.h"
#include "tagdata/TagFrame.h"
#include "tagwindow/TagForm.h"

#include <string>
#include <vector>

namespace velmora {

// The edit control's limit as the form counts it: the characters of the
// field's maximum plus 1 (11 for an empty maximum); ASCII fields length / 6
// + 1, hex fields length / 4 + 1; a length field 2 more. The edit takes one
// character less than this (the limit counts the terminating zero).
int FieldTextLimit(const TagFormatData& f, int row);
// How many characters make a field full for the automatic advance: the
// characters of the maximum (ASCII length / 6, hex length / 4), plus 2 for a
// length field in feet-inches entry.
int FieldAdvanceCount(const TagFormatData& f, int row, bool feetInches);

// The characters an edit control accepts, as a character class for a
// regular expression ("" = any character).
//   7 length  "0-9-" (feet-inches) or "0-9" (decimeters)
//   1         "a-zA-Z \t"
//   2         "0-9a-zA-Z "
//   3         "0-9"
std::string FieldFilterClass(const TagFormatData& f, int row, bool feetInches);

// The label painted for a row: its name, and for a length field
// " (Feet-Inches)" or " (Decimeters)".
std::string FieldLabel(const TagFormatData& f, int row, bool feetInches);

struct FormNote {
    int row = -1;
    std::string text;
    bool red = false;
};

struct FormNotes {
    std::vector<FormNote> notes;   // in painting order, several per row possible
    bool anyError = false;         // an error note was painted: no UMLER notes
    std::string classNote;         // "UMLER Railcar" / "UMLER Locomotive" or ""
};

// The right column's notes for the shown rows: converted lengths, errors in
// red and, only when there is no error note, the register's values in red.
FormNotes BuildFormNotes(const TagFormatData& f, const FieldTexts& texts, const TagFormMarks& marks,
                         bool feetInches);

} // namespace velmora
