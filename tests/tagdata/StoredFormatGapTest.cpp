// A stored format whose named rows have a row without a name between them (written by an older version or another
// tool): the editor shows every named row, and OK refuses the gap instead of dropping the rows below it.
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
    std::string rows;
    for (int r = 0; r < 4; ++r)
        rows += shown.rows[r].name + "/" + shown.rows[r].startingBit + "/" + shown.rows[r].length + "/" +
                shown.rows[r].maximum + "/" + shown.rows[r].defaultText + ";";
    EXPECT_EQ(rows, "Pallet Number/7/20/999999/5;////;Owner/27/19/ZZZZ/;Weight/65/10/1000/0;");
    EXPECT_EQ(shown.rows[2].type, kTypeAlpha27);

    // OK as shown: refused with the blank-row message, focus on the gap, the stored record untouched.
    EXPECT_FALSE(editor.Ok(shown));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption + "|" + op.boxes[0].text,
              "Velmora Error|The Field Name of line 2 is blank but there are fields below it.  Fields after a blank "
              "Field Name are not used, so please fill in the lines from the top without gaps.");
    EXPECT_EQ(editor.FailedFocus(), (EditorFocus{EditorControl::FieldName, 1}));
    EXPECT_EQ(std::string(data.GetTagFormatData(kSlot).FieldName(3)) + "/" +
                  std::to_string(data.GetTagFormatData(kSlot).startingBit[3]), "Weight/65");

    // Closing the gap stores every row.
    FormatEditorValues closed = editor.Values();
    closed.rows[1] = closed.rows[2], closed.rows[2] = closed.rows[3], closed.rows[3] = FormatEditorRow{};
    ASSERT_TRUE(editor.Ok(closed)) << op.boxes.back().text;
    const TagFormatData saved = data.GetTagFormatData(kSlot);
    EXPECT_EQ(saved.RowCount() * 10000 + saved.startingBit[2] * 100 + saved.length[2], 36510);
    EXPECT_EQ(std::string(saved.FieldName(1)) + "," + std::string(saved.FieldName(2)), "Owner,Weight");
}

} // namespace
} // namespace velmora
