// The tag format editor: opening new and stored formats, the OK checks with
// their messages, order and focus, the overlap and half-frame rules, and
// storing, copying and deleting formats.
#include "tagdata/FormatEditor.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

using test::FakeClock;
using test::ScriptedOperator;

constexpr int kRailcar = 0;
constexpr int kHex = 4;

class FormatEditorRig : public ::testing::Test {
protected:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    FormatEditor editor{data};

    // A format that passes every check: one numeric field.
    static FormatEditorValues Valid() {
        FormatEditorValues v;
        v.name = "Pallet";
        v.equipmentCode = "12";
        v.formatCode = "51";
        v.tagTypeCode = "2";
        v.defaultTag = "AT5118";
        v.rows[0] = {"Pallet Number", "7", "20", kTypeNumeric, "0", "999999", ""};
        return v;
    }
    FormatCheckResult Check(const FormatEditorValues& v, bool isNew = true, int slot = -1) {
        return CheckTagFormat(v, isNew, slot, data);
    }
    void UseFormat(int slot) {
        SettingsBlock s = data.GetSettings();
        s.currentFormat = static_cast<uint8_t>(slot);
        data.UpdateSettings(s);
    }
    // A stored operator format in a slot.
    int StoreFormat(const std::string& name) {
        FormatEditor e(data);
        EXPECT_TRUE(e.Open(-1));
        FormatEditorValues v = Valid();
        v.name = name;
        EXPECT_TRUE(e.Ok(v)) << (op.boxes.empty() ? "" : op.boxes.back().text);
        return e.EditSlot();
    }
    void FillAllOperatorSlots() {
        for (int slot = kSystemSlots; slot < kFormatSlots; ++slot) {
            TagFormatData f;
            f.defined = 1;
            SetText(f.formatName, "F" + std::to_string(slot));
            data.UpdateTagFormatData(slot, f);
        }
    }
};

EditorFocus Header(EditorControl c) { return EditorFocus{c, -1}; }
EditorFocus Row(EditorControl c, int row) { return EditorFocus{c, row}; }

// ---- opening ----------------------------------------------------------------------------

TEST_F(FormatEditorRig, NewFormatReservesTheFirstFreeSlotAndShowsEmptyRows) {
    ASSERT_TRUE(editor.Open(-1));
    EXPECT_EQ(editor.ReservedSlot(), kSystemSlots);
    EXPECT_TRUE(editor.IsNew());
    EXPECT_TRUE(editor.OkEnabled());
    EXPECT_FALSE(editor.DeleteEnabled());
    const FormatEditorValues& v = editor.Values();
    EXPECT_EQ(v.name, "New");
    EXPECT_EQ(v.equipmentCode, "");
    EXPECT_EQ(v.formatCode, "");
    EXPECT_EQ(v.tagTypeCode, "");
    EXPECT_EQ(v.defaultTag, "AT5118");
    EXPECT_FALSE(v.notForReading);
    EXPECT_FALSE(v.halfFrameOnly);
    for (const auto& row : v.rows) {
        EXPECT_EQ(row.name, "");
        EXPECT_EQ(row.type, kTypeNumeric);
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(FormatEditorRig, NoFreeSlotEndsTheEditorWithItsMessage) {
    FillAllOperatorSlots();
    EXPECT_FALSE(editor.Open(-1));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(op.boxes[0].text,
              "The maximum number of tags formats are already in the system.  To add a new format you must "
              "delete and old one.");
}

TEST_F(FormatEditorRig, StoredFormatShowsItsRecord) {
    TagFormatData f = data.GetTagFormatData(kRailcar);
    f.systemSlot = 0;
    f.notForReading = 1;
    f.fullFrame = 0;
    f.defaultTag = 7;
    f.startingBit[1] = kNotSet;
    SetText(f.formatName, "My Railcar");
    data.UpdateTagFormatData(7, f);
    ASSERT_TRUE(editor.Open(7));
    const FormatEditorValues& v = editor.Values();
    EXPECT_EQ(v.name, "My Railcar");
    EXPECT_EQ(v.equipmentCode, "19");
    EXPECT_EQ(v.formatCode, "51");
    EXPECT_EQ(v.tagTypeCode, "2");
    EXPECT_EQ(v.defaultTag, "AT5549");
    EXPECT_TRUE(v.notForReading);
    EXPECT_TRUE(v.halfFrameOnly);
    EXPECT_EQ(v.rows[0].name, "Equipment Initial");
    EXPECT_EQ(v.rows[0].startingBit, "7");
    EXPECT_EQ(v.rows[0].type, kTypeAlpha27);
    EXPECT_EQ(v.rows[0].minimum, "A   ");
    EXPECT_EQ(v.rows[1].startingBit, ""); // 255 shows empty
    EXPECT_EQ(v.rows[5].defaultText, "4");
    EXPECT_EQ(v.rows[8].name, "");
    EXPECT_TRUE(editor.OkEnabled());
    EXPECT_TRUE(editor.DeleteEnabled());
}

TEST_F(FormatEditorRig, BuiltInFormatCanOnlyBeLookedAt) {
    UseFormat(2);
    ASSERT_TRUE(editor.Open(kRailcar));
    EXPECT_FALSE(editor.OkEnabled());
    EXPECT_FALSE(editor.DeleteEnabled());
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_FALSE(editor.Ok(editor.Values()));
    EXPECT_FALSE(editor.Delete());
    EXPECT_EQ(data.GetTagFormatData(kRailcar).defined, 1);
}

TEST_F(FormatEditorRig, FormatInUseShowsWhyItCannotBeChanged) {
    const int slot = StoreFormat("Pallet");
    op.boxes.clear();
    UseFormat(slot);
    ASSERT_TRUE(editor.Open(slot));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(op.boxes[0].caption, data.ProductCaption());
    EXPECT_EQ(op.boxes[0].text,
              "The Pallet format is currently being used in the tag programming window.  You must change the "
              "active programming format to something else before you can modify or delete this format.");
    EXPECT_FALSE(editor.OkEnabled());
    EXPECT_FALSE(editor.DeleteEnabled());
    EXPECT_FALSE(editor.Delete());
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), slot);

    // With another format on the tag form it can be deleted.
    UseFormat(kRailcar);
    FormatEditor again(data);
    ASSERT_TRUE(again.Open(slot));
    EXPECT_TRUE(again.Delete());
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), -1);
}

// ---- the checks, their messages and focus ----------------------------------------------------

struct Case {
    const char* what;
    void (*change)(FormatEditorValues&);
    const char* message;
    EditorFocus focus;
};

TEST_F(FormatEditorRig, EachCheckHasItsMessageAndFocus) {
    const std::vector<Case> cases = {
        {"empty name", [](FormatEditorValues& v) { v.name = ""; }, "You must have a format name.",
         Header(EditorControl::FormatName)},
        {"name of a built-in", [](FormatEditorValues& v) { v.name = "Railcar"; },
         "The format name is already used.  Please change the format name", Header(EditorControl::FormatName)},
        {"format code 64", [](FormatEditorValues& v) { v.formatCode = "64"; },
         "The Format Code field must be less than 63.", Header(EditorControl::FormatCode)},
        {"equipment 32 with 51", [](FormatEditorValues& v) { v.equipmentCode = "32"; },
         "The Equipment Code field must be less than 32.", Header(EditorControl::EquipmentCode)},
        {"equipment 32 with 41",
         [](FormatEditorValues& v) {
             v.formatCode = "41";
             v.equipmentCode = "40";
         },
         "The Equipment Code field must be less than 32.", Header(EditorControl::EquipmentCode)},
        {"tag type 0", [](FormatEditorValues& v) { v.tagTypeCode = "0"; },
         "The Tag Type Code field must have a value of between 1 and 4.", Header(EditorControl::TagTypeCode)},
        {"tag type 5", [](FormatEditorValues& v) { v.tagTypeCode = "5"; },
         "The Tag Type Code field must have a value of between 1 and 4.", Header(EditorControl::TagTypeCode)},
        {"start 60", [](FormatEditorValues& v) { v.rows[0].startingBit = "60"; },
         "The value in the Starting Bit field cannot be 60, 61, 62 or 63.", Row(EditorControl::StartingBit, 0)},
        {"start 63", [](FormatEditorValues& v) { v.rows[0].startingBit = "63"; },
         "The value in the Starting Bit field cannot be 60, 61, 62 or 63.", Row(EditorControl::StartingBit, 0)},
        {"start 118", [](FormatEditorValues& v) { v.rows[0].startingBit = "118"; },
         "The value in the Starting Bit field has a number greater than 117.  The number has to be less than 118.",
         Row(EditorControl::StartingBit, 0)},
        {"start empty", [](FormatEditorValues& v) { v.rows[0].startingBit = ""; },
         "The Starting Bit field must have a value if the Field Name is not blank.",
         Row(EditorControl::StartingBit, 0)},
        {"below 60, sum 115",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "59";
             v.rows[0].length = "56";
         },
         "The Starting Bit (less than 60) and the Length fields field values cannot be greater than 114 when "
         "added together.",
         Row(EditorControl::Length, 0)},
        {"above 63, sum 125",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "100";
             v.rows[0].length = "25";
         },
         "The Starting Bit (greater than 63) and the Length fields field values cannot be greater than 124 when "
         "added together.",
         Row(EditorControl::Length, 0)},
        {"half frame 40/24",
         [](FormatEditorValues& v) {
             v.halfFrameOnly = true;
             v.rows[0].startingBit = "40";
             v.rows[0].length = "24";
         },
         "Fior half frame formats the Starting Bit and the Length fields field values cannot be greater than 60 "
         "when added together.",
         Row(EditorControl::StartingBit, 0)},
        {"length empty", [](FormatEditorValues& v) { v.rows[0].length = ""; },
         "The Length field must have a value if the Field Name is not blank.", Row(EditorControl::Length, 0)},
        {"length 0", [](FormatEditorValues& v) { v.rows[0].length = "0"; },
         "The Length field must have a value greater than 0.", Row(EditorControl::Length, 0)},
        {"length 61",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "0";
             v.rows[0].length = "61";
         },
         "The Length field value cannot be greater than 60.", Row(EditorControl::Length, 0)},
        {"ASCII 20 bits",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeAscii;
             v.rows[0].minimum = v.rows[0].maximum = "";
         },
         "The Length field value must be a multiple of 6 for ASCII data type fields.", Row(EditorControl::Length, 0)},
        {"hex 18 bits",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeHex;
             v.rows[0].length = "18";
         },
         "The Length field value must be a multiple of 4 for Hex data type fields.", Row(EditorControl::Length, 0)},
        {"base 27 digit in minimum",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeAlpha27;
             v.rows[0].minimum = "A1";
             v.rows[0].maximum = "ZZ";
         },
         "There a digit character in the Minimum field.  For this data type there should only be alpha charaters.",
         Row(EditorControl::Minimum, 0)},
        {"base 27 digit in maximum",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeAlpha27;
             v.rows[0].minimum = "A";
             v.rows[0].maximum = "Z9";
         },
         "There a digit character in the Maximum field.  For this data type there should only be alpha charaters.",
         Row(EditorControl::Maximum, 0)},
        {"base 27 digit in default",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeAlpha27;
             v.rows[0].minimum = "A";
             v.rows[0].maximum = "Z";
             v.rows[0].defaultText = "4";
         },
         "There a digit character in the Default field.  For this data type there should only be alpha charaters.",
         Row(EditorControl::Default, 0)},
        {"numeric letter in minimum", [](FormatEditorValues& v) { v.rows[0].minimum = "1a"; },
         "There an alpha character in the Minimum field.  For this data type there should only be numeric "
         "charaters.",
         Row(EditorControl::Minimum, 0)},
        {"length letter in maximum",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeLength;
             v.rows[0].maximum = "9X";
         },
         "There an alpha character in the Maximum field.  For this data type there should only be numeric "
         "charaters.",
         Row(EditorControl::Maximum, 0)},
        {"side letter in default",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeSide;
             v.rows[0].length = "1";
             v.rows[0].defaultText = "L";
         },
         "There an alpha character in the Default field.  For this data type there should only be numeric "
         "charaters.",
         Row(EditorControl::Default, 0)},
        {"side default 2",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeSide;
             v.rows[0].length = "1";
             v.rows[0].defaultText = "2";
         },
         "There Default field must be blank or contain a 0 or 1.", Row(EditorControl::Default, 0)},
        {"maximum 10 before minimum 5 as text",
         [](FormatEditorValues& v) {
             v.rows[0].minimum = "5";
             v.rows[0].maximum = "10";
         },
         "The value in the Maximum field is greater than the value in the Minimum field.",
         Row(EditorControl::Maximum, 0)},
        {"numeric default above maximum", [](FormatEditorValues& v) { v.rows[0].defaultText = "1000000"; },
         "The value in the Default field is outside of the values in the Minimum and Maximum fields.",
         Row(EditorControl::Default, 0)},
        {"text default after maximum",
         [](FormatEditorValues& v) {
             v.rows[0].type = kTypeAlpha37;
             v.rows[0].minimum = "A";
             v.rows[0].maximum = "M";
             v.rows[0].defaultText = "N";
         },
         "The value in the Default field is outside of the values in the Minimum and Maximum fields.",
         Row(EditorControl::Default, 0)},
        {"equipment 128 does not fit the record's byte",
         [](FormatEditorValues& v) {
             v.formatCode = "0";
             v.equipmentCode = "128";
         },
         "The Equipment Group Code field must be a number from 0 to 127.", Header(EditorControl::EquipmentCode)},
        {"tag type 200 does not fit the record's byte",
         [](FormatEditorValues& v) {
             v.formatCode = "0";
             v.tagTypeCode = "200";
         },
         "The Tag Type Code field must be a number from 0 to 127.", Header(EditorControl::TagTypeCode)},
        {"format code 98", [](FormatEditorValues& v) { v.formatCode = "98"; },
         "The Format Code field must be less than 63.", Header(EditorControl::FormatCode)},
        {"format code not a number", [](FormatEditorValues& v) { v.formatCode = "5x"; },
         "The Format Code field must contain only the digits 0 to 9.", Header(EditorControl::FormatCode)},
        {"negative start", [](FormatEditorValues& v) { v.rows[0].startingBit = "-1"; },
         "The Starting Bit field must contain only the digits 0 to 9.", Row(EditorControl::StartingBit, 0)},
        {"length with a blank", [](FormatEditorValues& v) { v.rows[0].length = "2 0"; },
         "The Length field must contain only the digits 0 to 9.", Row(EditorControl::Length, 0)},
        {"named row below a blank one",
         [](FormatEditorValues& v) { v.rows[3] = {"Lost", "40", "4", kTypeNumeric, "0", "9", ""}; },
         "The Field Name of line 2 is blank but there are fields below it.  Fields after a blank Field Name "
         "are not used, so please fill in the lines from the top without gaps.", Row(EditorControl::FieldName, 1)},
        {"half frame field ending at bit 61",
         [](FormatEditorValues& v) {
             v.halfFrameOnly = true;
             v.rows[0] = {"Text", "1", "60", kTypeAscii, "", "", ""};
         },
         "Fior half frame formats the Starting Bit and the Length fields field values cannot be greater than 60 "
         "when added together.", Row(EditorControl::StartingBit, 0)},
        {"overlapping fields",
         [](FormatEditorValues& v) {
             v.rows[1] = {"Length", "47", "9", kTypeLength, "0", "4095", ""};
             v.rows[2] = {"Width", "50", "4", kTypeNumeric, "0", "9", ""};
         },
         "There is overlap of the binary fields (Start Bit and Length field values) in field names \"Length\" "
         "and \"Width\".",
         Row(EditorControl::StartingBit, 1)},
        {"one field inside another, the inner one named first",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "30";
             v.rows[1] = {"Inner", "10", "2", kTypeNumeric, "0", "3", ""};
             v.rows[2] = {"Outer", "8", "10", kTypeNumeric, "0", "9", ""};
         },
         "There is overlap of the binary fields (Start Bit and Length field values) in field names \"Inner\" "
         "and \"Outer\".",
         Row(EditorControl::StartingBit, 1)},
        {"two rows of one name overlapping",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "30";
             v.rows[1] = {"A", "10", "4", kTypeNumeric, "0", "9", ""};
             v.rows[2] = {"A", "12", "4", kTypeNumeric, "0", "9", ""};
         },
         "There is overlap of the binary fields (Start Bit and Length field values) in field names \"A\" "
         "and \"A\".",
         Row(EditorControl::StartingBit, 1)},
        {"field running past bit 59 shares bits with one at 66",
         [](FormatEditorValues& v) {
             v.rows[1] = {"Wide", "56", "10", kTypeNumeric, "0", "9", ""};
             v.rows[2] = {"Next", "66", "3", kTypeNumeric, "0", "7", ""};
         },
         "There is overlap of the binary fields (Start Bit and Length field values) in field names \"Wide\" "
         "and \"Next\".",
         Row(EditorControl::StartingBit, 1)},
    };
    for (const Case& c : cases) {
        FormatEditorValues v = Valid();
        c.change(v);
        const FormatCheckResult r = Check(v);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.message, c.message) << c.what;
        EXPECT_EQ(r.focus, c.focus) << c.what;
    }
}

TEST_F(FormatEditorRig, ChecksRunInTheirOrder) {
    // Everything wrong at once: each correction brings the next message.
    FormatEditorValues v;
    v.name = "";
    v.formatCode = "70";
    v.equipmentCode = "40";
    v.tagTypeCode = "9";
    v.rows[0] = {"Serial", "61", "", kTypeAscii, "b", "a", "a"};
    std::vector<std::string> seen;
    auto next = [&](auto fix) {
        const FormatCheckResult r = Check(v);
        seen.push_back(r.message);
        fix(v);
    };
    next([](FormatEditorValues& x) { x.name = "Railcar"; });
    next([](FormatEditorValues& x) { x.name = "Serial"; });
    next([](FormatEditorValues& x) { x.formatCode = "51"; });
    next([](FormatEditorValues& x) { x.equipmentCode = "3"; });
    next([](FormatEditorValues& x) { x.tagTypeCode = "1"; });
    next([](FormatEditorValues& x) { x.rows[0].startingBit = "119"; });
    next([](FormatEditorValues& x) { x.rows[0].startingBit = ""; });
    next([](FormatEditorValues& x) { x.rows[0].startingBit = "0"; });
    next([](FormatEditorValues& x) { x.rows[0].length = "0"; });
    next([](FormatEditorValues& x) { x.rows[0].length = "66"; });
    next([](FormatEditorValues& x) { x.rows[0].length = "20"; });
    next([](FormatEditorValues& x) { x.rows[0].length = "30"; });
    next([](FormatEditorValues& x) { x.rows[0].maximum = "z"; });
    next([](FormatEditorValues& x) { x.rows[0].defaultText = "m"; });
    const FormatCheckResult last = Check(v);
    EXPECT_TRUE(last.ok) << last.message;
    const std::vector<std::string> expected = {
        "You must have a format name.",
        "The format name is already used.  Please change the format name",
        "The Format Code field must be less than 63.",
        "The Equipment Code field must be less than 32.",
        "The Tag Type Code field must have a value of between 1 and 4.",
        "The value in the Starting Bit field cannot be 60, 61, 62 or 63.",
        "The value in the Starting Bit field has a number greater than 117.  The number has to be less than 118.",
        "The Starting Bit field must have a value if the Field Name is not blank.",
        "The Length field must have a value if the Field Name is not blank.",
        "The Length field must have a value greater than 0.",
        "The Length field value cannot be greater than 60.",
        "The Length field value must be a multiple of 6 for ASCII data type fields.",
        "The value in the Maximum field is greater than the value in the Minimum field.",
        "The value in the Default field is outside of the values in the Minimum and Maximum fields.",
    };
    EXPECT_EQ(seen, expected);
    // Minimum and Maximum come back upper-cased; the Default does not.
    EXPECT_EQ(last.values.rows[0].minimum, "B");
    EXPECT_EQ(last.values.rows[0].maximum, "Z");
    EXPECT_EQ(last.values.rows[0].defaultText, "m");
}

// Values the checks let through, and what the record then holds.
struct Accepted {
    const char* what;
    void (*change)(FormatEditorValues&);
    void (*expect)(const FormatCheckResult&);
};

TEST_F(FormatEditorRig, AcceptedValuesAndTheirRecords) {
    const Accepted cases[] = {
        {"codes outside the AAR formats are not range checked",
         [](FormatEditorValues& v) {
             v.formatCode = "0";
             v.equipmentCode = "45";
             v.tagTypeCode = "9";
         },
         nullptr},
        {"codes up to what the record's byte holds",
         [](FormatEditorValues& v) {
             v.formatCode = "0";
             v.equipmentCode = v.tagTypeCode = "127";
         },
         nullptr},
        {"empty codes count as 0", [](FormatEditorValues& v) { v.formatCode = v.equipmentCode = v.tagTypeCode = ""; },
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.dataFormatCode, 0); }},
        {"format code 63", [](FormatEditorValues& v) { v.formatCode = "63"; }, nullptr},
        {"the no-code marker 99", [](FormatEditorValues& v) { v.formatCode = "99"; },
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.dataFormatCode, 99); }},
        {"rows without a name are not checked",
         [](FormatEditorValues& v) { v.rows[1] = {"", "61", "999", kTypeAscii, "x", "a", "q"}; },
         [](const FormatCheckResult& r) {
             EXPECT_EQ(r.record.startingBit[1], kNotSet);
             EXPECT_EQ(r.record.length[1], kNotSet);
             EXPECT_EQ(r.record.type[1], kNotSet);
             EXPECT_EQ(r.record.Minimum(1), "");
             EXPECT_EQ(r.record.Default(1), "");
         }},
        {"side indicator limits are fixed",
         [](FormatEditorValues& v) { v.rows[1] = {"Side", "46", "1", kTypeSide, "", "", "1"}; },
         [](const FormatCheckResult& r) {
             EXPECT_EQ(r.values.rows[1].minimum, "0");
             EXPECT_EQ(r.values.rows[1].maximum, "1");
             EXPECT_EQ(r.record.Maximum(1), "1");
         }},
        {"axles at 56 length 5",
         [](FormatEditorValues& v) { v.rows[1] = {"Number of Axles", "56", "5", kTypeNumeric, "1", "32", "4"}; },
         nullptr},
        {"half frame field ending at bit 60",
         [](FormatEditorValues& v) {
             v.halfFrameOnly = true;
             v.rows[0] = {"Text", "0", "60", kTypeAscii, "", "", ""};
         },
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.fullFrame, 0); }},
        {"full frame field past bit 60",
         [](FormatEditorValues& v) { v.rows[0] = {"Text", "6", "60", kTypeAscii, "", "", ""}; },
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.fullFrame, 1); }},
        {"split field halves",
         [](FormatEditorValues& v) {
             v.rows[1] = {"Length", "94", "3", kTypeLength, "0", "4095", ""};
             v.rows[2] = {"Length", "47", "9", kTypeLength, "0", "4095", ""};
         },
         nullptr},
        {"touching fields",
         [](FormatEditorValues& v) {
             v.rows[0].startingBit = "30";
             v.rows[1] = {"A", "10", "4", kTypeNumeric, "0", "9", ""};
             v.rows[2] = {"B", "14", "4", kTypeNumeric, "0", "9", ""};
         },
         nullptr},
        {"field after one running past bit 59",
         [](FormatEditorValues& v) {
             v.rows[1] = {"Wide", "56", "10", kTypeNumeric, "0", "9", ""};
             v.rows[2] = {"Next", "70", "3", kTypeNumeric, "0", "7", ""};
         },
         nullptr},
    };
    for (const Accepted& c : cases) {
        FormatEditorValues v = Valid();
        c.change(v);
        const FormatCheckResult r = Check(v);
        EXPECT_TRUE(r.ok) << c.what << ": " << r.message;
        if (c.expect) c.expect(r);
    }
    EXPECT_EQ(FieldIndexSpan(56, 10).last, 65);
    EXPECT_EQ(FieldIndexSpan(70, 3).first, 66);
}

TEST_F(FormatEditorRig, EveryBuiltInPassesTheChecksWhenCopied) {
    for (int slot = 0; slot < kSystemSlots; ++slot) {
        const TagFormatData f = data.GetTagFormatData(slot);
        if (f.defined != 1) continue;
        FormatEditorValues v = ValuesFromRecord(f, data);
        v.name = "Copy";
        const FormatCheckResult r = Check(v);
        EXPECT_TRUE(r.ok) << f.Name() << ": " << r.message;
        // Stored as it was, but as an operator format.
        for (int row = 0; row < f.RowCount(); ++row) {
            EXPECT_EQ(r.record.startingBit[row], f.startingBit[row]);
            EXPECT_EQ(r.record.Maximum(row), f.Maximum(row));
        }
        EXPECT_EQ(r.record.systemSlot, 0);
        EXPECT_EQ(r.record.defaultTag, f.defaultTag);
    }
}

// ---- storing ------------------------------------------------------------------------------------

TEST_F(FormatEditorRig, OkStoresANewFormatInItsReservedSlot) {
    ASSERT_TRUE(editor.Open(-1));
    FormatEditorValues v = Valid();
    v.notForReading = true;
    v.defaultTag = "AT5549";
    v.rows[0].minimum = "0";
    ASSERT_TRUE(editor.Ok(v));
    const TagFormatData f = data.GetTagFormatData(kSystemSlots);
    EXPECT_EQ(f.defined, 1);
    EXPECT_EQ(f.systemSlot, 0);
    EXPECT_EQ(f.Name(), "Pallet");
    EXPECT_EQ(f.equipmentGroupCode, 12);
    EXPECT_EQ(f.dataFormatCode, 51);
    EXPECT_EQ(f.tagTypeCode, 2);
    EXPECT_EQ(f.defaultTag, 7);
    EXPECT_EQ(f.notForReading, 1);
    EXPECT_EQ(f.fullFrame, 1);
    EXPECT_EQ(f.FieldName(0), "Pallet Number");
    EXPECT_EQ(f.startingBit[0], 7);
    EXPECT_EQ(f.length[0], 20);
    EXPECT_EQ(f.type[0], kTypeNumeric);
    EXPECT_EQ(f.RowCount(), 1);
    for (uint8_t b : f.reserved) EXPECT_EQ(b, 0);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "A new format called \"Pallet\" has been created.");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(op.boxes[0].caption, data.ProductCaption());
}

TEST_F(FormatEditorRig, UnknownDefaultTagStoresIndex0) {
    ASSERT_TRUE(editor.Open(-1));
    FormatEditorValues v = Valid();
    v.defaultTag = "XX";
    ASSERT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.GetTagFormatData(editor.EditSlot()).defaultTag, 0);
}

TEST_F(FormatEditorRig, AFailedCheckShowsAnErrorAndTouchesNothing) {
    ASSERT_TRUE(editor.Open(-1));
    FormatEditorValues v = Valid();
    v.rows[0].length = "";
    EXPECT_FALSE(editor.Ok(v));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(editor.FailedFocus(), Row(EditorControl::Length, 0));
    EXPECT_EQ(data.GetTagFormatData(kSystemSlots).defined, 0);
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), -1);
    // Corrected, the same opening stores it.
    v.rows[0].length = "20";
    EXPECT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), kSystemSlots);
}

TEST_F(FormatEditorRig, ModifyingKeepsTheSlotAndMayKeepTheName) {
    const int slot = StoreFormat("Pallet");
    op.boxes.clear();
    ASSERT_TRUE(editor.Open(slot));
    FormatEditorValues v = editor.Values();
    v.rows[0].maximum = "99999";
    ASSERT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.GetTagFormatData(slot).Maximum(0), "99999");
    EXPECT_EQ(op.LastBox()->text, "A format called \"Pallet\" has been modified.");
    // A new name is fine; the name of another format is not.
    const int other = StoreFormat("Crate");
    v.name = "Box";
    EXPECT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.FindTagFormatByName("Box"), slot);
    v.name = "Crate";
    EXPECT_FALSE(editor.Ok(v));
    EXPECT_EQ(op.LastBox()->text, "The format name is already used.  Please change the format name");
    EXPECT_EQ(data.FindTagFormatByName("Crate"), other);
}

TEST_F(FormatEditorRig, DeleteFreesTheSlotForTheNextNewFormat) {
    const int first = StoreFormat("First");
    const int second = StoreFormat("Second");
    ASSERT_EQ(second, first + 1);
    op.boxes.clear();
    ASSERT_TRUE(editor.Open(first));
    EXPECT_TRUE(editor.Delete());
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "The First format has been deleted.");
    EXPECT_EQ(op.boxes[0].caption, "Velmora for Windows");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);
    const TagFormatData f = data.GetTagFormatData(first);
    EXPECT_EQ(f.defined, 0);
    EXPECT_EQ(f.Name(), "");
    EXPECT_EQ(StoreFormat("Third"), first);
}

TEST_F(FormatEditorRig, CopyMakesANewFormatOfWhatIsShown) {
    UseFormat(kHex);
    ASSERT_TRUE(editor.Open(kHex)); // built-in and in use
    EXPECT_FALSE(editor.OkEnabled());
    ASSERT_TRUE(editor.Copy(editor.Values()));
    EXPECT_TRUE(editor.OkEnabled());
    EXPECT_FALSE(editor.DeleteEnabled());
    EXPECT_TRUE(editor.IsNew());
    EXPECT_EQ(editor.Values().name, "New");
    EXPECT_EQ(editor.Values().rows[2].name, "Charcters 21 to 30");
    FormatEditorValues v = editor.Values();
    // "New" is no format's name yet, so it may stay.
    ASSERT_TRUE(editor.Ok(v)) << op.LastBox()->text;
    const TagFormatData copy = data.GetTagFormatData(kSystemSlots);
    EXPECT_EQ(copy.Name(), "New");
    EXPECT_EQ(copy.dataFormatCode, 99);
    EXPECT_EQ(copy.systemSlot, 0);
    EXPECT_EQ(data.GetTagFormatData(kHex).Name(), "Hex");
    EXPECT_EQ(data.GetTagFormatData(kHex).systemSlot, 1);
}

TEST_F(FormatEditorRig, CopyOfACopyNeedsANewName) {
    ASSERT_TRUE(editor.Open(kRailcar));
    ASSERT_TRUE(editor.Copy(editor.Values()));
    ASSERT_TRUE(editor.Ok(editor.Values()));
    FormatEditor second(data);
    ASSERT_TRUE(second.Open(kRailcar));
    ASSERT_TRUE(second.Copy(second.Values()));
    EXPECT_FALSE(second.Ok(second.Values()));
    EXPECT_EQ(op.LastBox()->text, "The format name is already used.  Please change the format name");
}

TEST_F(FormatEditorRig, CopyWithoutAFreeSlotChangesNothing) {
    const int slot = StoreFormat("Pallet");
    ASSERT_TRUE(editor.Open(slot));
    FillAllOperatorSlots();
    data.UpdateTagFormatData(slot, [&] {
        TagFormatData f = data.GetTagFormatData(slot);
        SetText(f.formatName, "Pallet");
        return f;
    }());
    op.boxes.clear();
    EXPECT_FALSE(editor.Copy(editor.Values()));
    EXPECT_EQ(op.LastBox()->text, kMsgNoFreeFormatSlot);
    EXPECT_FALSE(editor.IsNew());
    EXPECT_EQ(editor.EditSlot(), slot);
    EXPECT_TRUE(editor.DeleteEnabled());
}

TEST_F(FormatEditorRig, ReservedSlotTakenMeanwhileGoesToTheNextFreeOne) {
    ASSERT_TRUE(editor.Open(-1));
    ASSERT_EQ(editor.ReservedSlot(), kSystemSlots);
    TagFormatData other;
    other.defined = 1;
    SetText(other.formatName, "Other");
    data.UpdateTagFormatData(kSystemSlots, other);
    ASSERT_TRUE(editor.Ok(Valid()));
    EXPECT_EQ(data.FindTagFormatByName("Other"), kSystemSlots);
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), kSystemSlots + 1);
}

TEST_F(FormatEditorRig, FormatChosenOnTheFormWhileEditingCannotBeStored) {
    const int slot = StoreFormat("Pallet");
    ASSERT_TRUE(editor.Open(slot));
    UseFormat(slot);
    op.boxes.clear();
    FormatEditorValues v = editor.Values();
    v.rows[0].maximum = "5";
    EXPECT_FALSE(editor.Ok(v));
    EXPECT_NE(op.LastBox()->text.find("currently being used"), std::string::npos);
    EXPECT_EQ(data.GetTagFormatData(slot).Maximum(0), "999999");
    EXPECT_FALSE(editor.Delete());
}

} // namespace
} // namespace velmora
