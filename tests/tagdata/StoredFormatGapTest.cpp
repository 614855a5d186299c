// A stored format whose named rows have a row without a name between them
// (written by an older version or another tool): the editor shows every
// named row, and OK refuses the gap instead of dropping the rows below it.
#include "tagdata/FormatEditor.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(StoredFormatGap, EveryRowIsShownAndOkRefusesTheGapWithoutLosingRows) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    constexpr int kSlot = 9;
    const TagFormatData stored = MakeTagFormat({"Gapped", 12, 51, 2, 1},
                                               {{"Pallet Number", 7, 20, kTypeNumeric, "0", "999999", "5"},
                                                {"", kNotSet, kNotSet, kNotSet, "", "", ""},
                                                {"Owner", 27, 19, kTypeAlpha27, "A", "ZZZZ", ""},
                                                {"Weight", 65, 10, kTypeNumeric, "0", "1000", "0"}});
    data.UpdateTagFormatData(kSlot, stored);

    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(kSlot));
    const FormatEditorValues& shown = editor.Values();
    EXPECT_EQ(shown.rows[0].name, "Pallet Number");
    EXPECT_EQ(shown.rows[1].name, "");
    EXPECT_EQ(shown.rows[1].startingBit, "");
    EXPECT_EQ(shown.rows[2].name, "Owner");
    EXPECT_EQ(shown.rows[2].startingBit, "27");
    EXPECT_EQ(shown.rows[2].length, "19");
    EXPECT_EQ(shown.rows[2].type, kTypeAlpha27);
    EXPECT_EQ(shown.rows[2].maximum, "ZZZZ");
    EXPECT_EQ(shown.rows[3].name, "Weight");
    EXPECT_EQ(shown.rows[3].startingBit, "65");
    EXPECT_EQ(shown.rows[3].defaultText, "0");

    // OK as shown: refused with the blank-row message, focus on the gap,
    // the stored record untouched.
    EXPECT_FALSE(editor.Ok(shown));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].text,
              "The Field Name of line 2 is blank but there are fields below it.  Fields after a blank Field "
              "Name are not used, so please fill in the lines from the top without gaps.");
    EXPECT_EQ(editor.FailedFocus(), (EditorFocus{EditorControl::FieldName, 1}));
    const TagFormatData after = data.GetTagFormatData(kSlot);
    EXPECT_EQ(after.FieldName(2), "Owner");
    EXPECT_EQ(after.FieldName(3), "Weight");
    EXPECT_EQ(after.startingBit[3], 65);

    // Closing the gap stores every row.
    FormatEditorValues closed = editor.Values();
    closed.rows[1] = closed.rows[2];
    closed.rows[2] = closed.rows[3];
    closed.rows[3] = FormatEditorRow{};
    ASSERT_TRUE(editor.Ok(closed)) << op.boxes.back().text;
    const TagFormatData saved = data.GetTagFormatData(kSlot);
    EXPECT_EQ(saved.RowCount(), 3);
    EXPECT_EQ(saved.FieldName(1), "Owner");
    EXPECT_EQ(saved.FieldName(2), "Weight");
    EXPECT_EQ(saved.startingBit[2], 65);
    EXPECT_EQ(saved.length[2], 10);
}

} // namespace
} // namespace velmora
