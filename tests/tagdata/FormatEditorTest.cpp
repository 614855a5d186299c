// The tag format editor: opening new and stored formats, the OK checks with their messages and focus, the overlap
// and half-frame rules, and storing, copying and deleting formats.
#include "tagdata/FormatEditor.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr int kRailcar = 0;
constexpr int kHex = 4;
const std::string kError = "Velmora Error|4|";

class FormatEditorRig : public ::testing::Test {
protected:
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    FormatEditor editor{data};

    // A format that passes every check: one numeric field.
    static FormatEditorValues Valid() {
        FormatEditorValues v;
        v.name = "Pallet", v.equipmentCode = "12", v.formatCode = "51", v.tagTypeCode = "2", v.defaultTag = "AT5118";
        v.rows[0] = {"Pallet Number", "7", "20", kTypeNumeric, "0", "999999", ""};
        return v;
    }
    FormatCheckResult Check(const FormatEditorValues& v) { return CheckTagFormat(v, true, -1, data); }
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
    // The boxes shown, each as caption, icon number and text.
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> t;
        for (const auto& b : op.boxes)
            t.push_back(b.caption + "|" + std::to_string(static_cast<int>(b.icon)) + "|" + b.text);
        return t;
    }
    std::string Info() { return data.ProductCaption() + "|1|"; }
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

TEST_F(FormatEditorRig, OpeningNewStoredBuiltInAndFull) {
    ASSERT_TRUE(editor.Open(-1));
    EXPECT_EQ(editor.ReservedSlot(), kSystemSlots);
    EXPECT_TRUE(editor.IsNew() && editor.OkEnabled() && !editor.DeleteEnabled());
    const FormatEditorValues& fresh = editor.Values();
    EXPECT_EQ(fresh.name + "/" + fresh.defaultTag + "/" + std::to_string(fresh.rows[0].type),
              "New/AT5118/" + std::to_string(kTypeNumeric));

    TagFormatData f = data.GetTagFormatData(kRailcar);
    f.systemSlot = 0, f.notForReading = 1, f.fullFrame = 0, f.defaultTag = 7;
    data.UpdateTagFormatData(7, f);
    FormatEditor stored(data);
    ASSERT_TRUE(stored.Open(7));
    const FormatEditorValues& v = stored.Values();
    EXPECT_EQ(v.equipmentCode + "/" + v.formatCode + "/" + v.tagTypeCode + "/" + v.defaultTag + "/" +
                  v.rows[0].minimum + "/" + v.rows[5].defaultText,
              "19/51/2/AT5549/A   /4");
    EXPECT_TRUE(v.notForReading && v.halfFrameOnly && stored.OkEnabled() && stored.DeleteEnabled());

    UseFormat(2);
    FormatEditor builtIn(data);
    ASSERT_TRUE(builtIn.Open(kRailcar));
    EXPECT_FALSE(builtIn.OkEnabled() || builtIn.DeleteEnabled() || builtIn.Ok(builtIn.Values()) ||
                 builtIn.Delete() || !op.boxes.empty());
    EXPECT_EQ(data.GetTagFormatData(kRailcar).defined, 1);

    FillAllOperatorSlots();
    FormatEditor full(data);
    EXPECT_FALSE(full.Open(-1));
    EXPECT_EQ(BoxTexts().at(0), kError + "The maximum number of tags formats are already in the system.  To add a "
                                         "new format you must delete and old one.");
    EXPECT_EQ(op.boxes.size(), 1u);
}

TEST_F(FormatEditorRig, FormatInUseCannotBeChanged) {
    const int slot = StoreFormat("Pallet");
    op.boxes.clear();
    UseFormat(slot);
    ASSERT_TRUE(editor.Open(slot));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              Info() + "The Pallet format is currently being used in the tag programming window.  You "
                                       "must change the active programming format to something else before you can "
                                       "modify or delete this format."});
    EXPECT_FALSE(editor.OkEnabled() || editor.DeleteEnabled() || editor.Delete());

    // Chosen on the form while it was open: OK refuses too.
    UseFormat(kRailcar);
    FormatEditor open(data);
    ASSERT_TRUE(open.Open(slot));
    UseFormat(slot);
    FormatEditorValues v = open.Values();
    v.rows[0].maximum = "5";
    EXPECT_FALSE(open.Ok(v));
    EXPECT_NE(op.LastBox()->text.find("currently being used"), std::string::npos);
    EXPECT_EQ(data.GetTagFormatData(slot).Maximum(0), "999999");
}

struct Case {
    const char* what;
    void (*change)(FormatEditorValues&);
    std::string message; // empty: accepted
    EditorFocus focus;
    void (*expect)(const FormatCheckResult&) = nullptr;
};

using V = FormatEditorValues&;
const std::string kEquipment32 = "The Equipment Code field must be less than 32.";
const std::string kTagType14 = "The Tag Type Code field must have a value of between 1 and 4.";
const std::string kStart60 = "The value in the Starting Bit field cannot be 60, 61, 62 or 63.";
const std::string kHalf60 = "Fior half frame formats the Starting Bit and the Length fields field values cannot be "
                            "greater than 60 when added together.";
const std::string kFormat63 = "The Format Code field must be less than 63.";
const std::string kOutside =
    "The value in the Default field is outside of the values in the Minimum and Maximum fields.";
std::string Digit(const char* field) {
    return std::string("There a digit character in the ") + field +
           " field.  For this data type there should only be alpha charaters.";
}
std::string Alpha(const char* field) {
    return std::string("There an alpha character in the ") + field +
           " field.  For this data type there should only be numeric charaters.";
}
std::string Only09(const char* field) {
    return std::string("The ") + field + " field must contain only the digits 0 to 9.";
}
std::string Overlap(const char* a, const char* b) {
    return std::string("There is overlap of the binary fields (Start Bit and Length field values) in field names \"") +
           a + "\" and \"" + b + "\".";
}

TEST_F(FormatEditorRig, EachCheckHasItsMessageAndFocusAndNearMissesPass) {
    const auto name = Header(EditorControl::FormatName), fmt = Header(EditorControl::FormatCode),
               equip = Header(EditorControl::EquipmentCode), tag = Header(EditorControl::TagTypeCode),
               start = Row(EditorControl::StartingBit, 0), length = Row(EditorControl::Length, 0),
               min = Row(EditorControl::Minimum, 0), max = Row(EditorControl::Maximum, 0),
               def = Row(EditorControl::Default, 0);
    const std::vector<Case> cases = {
        {"empty name", [](V v) { v.name = ""; }, "You must have a format name.", name},
        {"name of a built-in", [](V v) { v.name = "Railcar"; },
         "The format name is already used.  Please change the format name", name},
        {"format code 64", [](V v) { v.formatCode = "64"; }, kFormat63, fmt},
        {"format code 98", [](V v) { v.formatCode = "98"; }, kFormat63, fmt},
        {"format code not a number", [](V v) { v.formatCode = "5x"; }, Only09("Format Code"), fmt},
        {"equipment 32 with 51", [](V v) { v.equipmentCode = "32"; }, kEquipment32, equip},
        {"equipment 40 with 41", [](V v) { v.formatCode = "41", v.equipmentCode = "40"; }, kEquipment32, equip},
        {"equipment 128 beyond the byte", [](V v) { v.formatCode = "0", v.equipmentCode = "128"; },
         "The Equipment Group Code field must be a number from 0 to 127.", equip},
        {"tag type 0", [](V v) { v.tagTypeCode = "0"; }, kTagType14, tag},
        {"tag type 5", [](V v) { v.tagTypeCode = "5"; }, kTagType14, tag},
        {"tag type 200 beyond the byte", [](V v) { v.formatCode = "0", v.tagTypeCode = "200"; },
         "The Tag Type Code field must be a number from 0 to 127.", tag},
        {"start 60", [](V v) { v.rows[0].startingBit = "60"; }, kStart60, start},
        {"start 63", [](V v) { v.rows[0].startingBit = "63"; }, kStart60, start},
        {"start 118", [](V v) { v.rows[0].startingBit = "118"; },
         "The value in the Starting Bit field has a number greater than 117.  The number has to be less than 118.",
         start},
        {"start empty", [](V v) { v.rows[0].startingBit = ""; },
         "The Starting Bit field must have a value if the Field Name is not blank.", start},
        {"negative start", [](V v) { v.rows[0].startingBit = "-1"; }, Only09("Starting Bit"), start},
        {"below 60, sum 115", [](V v) { v.rows[0].startingBit = "59", v.rows[0].length = "56"; },
         "The Starting Bit (less than 60) and the Length fields field values cannot be greater than 114 when "
         "added together.",
         length},
        {"above 63, sum 125", [](V v) { v.rows[0].startingBit = "100", v.rows[0].length = "25"; },
         "The Starting Bit (greater than 63) and the Length fields field values cannot be greater than 124 when "
         "added together.",
         length},
        {"half frame 40/24", [](V v) { v.halfFrameOnly = true, v.rows[0].startingBit = "40", v.rows[0].length = "24"; },
         kHalf60, start},
        {"half frame ending at bit 61",
         [](V v) { v.halfFrameOnly = true, v.rows[0] = {"Text", "1", "60", kTypeAscii, "", "", ""}; }, kHalf60, start},
        {"length empty", [](V v) { v.rows[0].length = ""; },
         "The Length field must have a value if the Field Name is not blank.", length},
        {"length 0", [](V v) { v.rows[0].length = "0"; }, "The Length field must have a value greater than 0.", length},
        {"length with a blank", [](V v) { v.rows[0].length = "2 0"; }, Only09("Length"), length},
        {"length 61", [](V v) { v.rows[0].startingBit = "0", v.rows[0].length = "61"; },
         "The Length field value cannot be greater than 60.", length},
        {"ASCII 20 bits", [](V v) { v.rows[0].type = kTypeAscii, v.rows[0].minimum = v.rows[0].maximum = ""; },
         "The Length field value must be a multiple of 6 for ASCII data type fields.", length},
        {"hex 18 bits", [](V v) { v.rows[0].type = kTypeHex, v.rows[0].length = "18"; },
         "The Length field value must be a multiple of 4 for Hex data type fields.", length},
        {"base 27 digit in minimum", [](V v) { v.rows[0] = {"F", "7", "20", kTypeAlpha27, "A1", "ZZ", ""}; },
         Digit("Minimum"), min},
        {"base 27 digit in maximum", [](V v) { v.rows[0] = {"F", "7", "20", kTypeAlpha27, "A", "Z9", ""}; },
         Digit("Maximum"), max},
        {"base 27 digit in default", [](V v) { v.rows[0] = {"F", "7", "20", kTypeAlpha27, "A", "Z", "4"}; },
         Digit("Default"), def},
        {"numeric letter in minimum", [](V v) { v.rows[0].minimum = "1a"; }, Alpha("Minimum"), min},
        {"length letter in maximum", [](V v) { v.rows[0].type = kTypeLength, v.rows[0].maximum = "9X"; },
         Alpha("Maximum"), max},
        {"side letter in default", [](V v) { v.rows[0] = {"S", "7", "1", kTypeSide, "0", "999999", "L"}; },
         Alpha("Default"), def},
        {"side default 2", [](V v) { v.rows[0] = {"S", "7", "1", kTypeSide, "0", "999999", "2"}; },
         "There Default field must be blank or contain a 0 or 1.", def},
        {"maximum 10 before minimum 5 as text", [](V v) { v.rows[0].minimum = "5", v.rows[0].maximum = "10"; },
         "The value in the Maximum field is greater than the value in the Minimum field.", max},
        {"numeric default above maximum", [](V v) { v.rows[0].defaultText = "1000000"; }, kOutside, def},
        {"text default after maximum", [](V v) { v.rows[0] = {"T", "7", "20", kTypeAlpha37, "A", "M", "N"}; },
         kOutside, def},
        // Near misses that pass.
        {"codes outside the AAR formats are not range checked",
         [](V v) { v.formatCode = "0", v.equipmentCode = "45", v.tagTypeCode = "9"; }, ""},
        {"codes up to what the record's byte holds",
         [](V v) { v.formatCode = "0", v.equipmentCode = v.tagTypeCode = "127"; }, ""},
        {"empty codes count as 0", [](V v) { v.formatCode = v.equipmentCode = v.tagTypeCode = ""; }, "", {},
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.dataFormatCode, 0); }},
        {"format code 63", [](V v) { v.formatCode = "63"; }, ""},
        {"limits come back upper-cased, the default as typed",
         [](V v) { v.rows[0] = {"T", "0", "30", kTypeAscii, "b", "z", "m"}; }, "", {},
         [](const FormatCheckResult& r) {
             EXPECT_EQ(r.values.rows[0].minimum + r.values.rows[0].maximum + r.values.rows[0].defaultText, "BZm");
         }},
        {"the no-code marker 99", [](V v) { v.formatCode = "99"; }, "", {},
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.dataFormatCode, 99); }},
        {"rows without a name are not checked",
         [](V v) { v.rows[1] = {"", "61", "999", kTypeAscii, "x", "a", "q"}; }, "", {},
         [](const FormatCheckResult& r) {
             EXPECT_EQ(r.record.startingBit[1] + r.record.length[1] + r.record.type[1], 3 * kNotSet);
             EXPECT_TRUE(r.record.Minimum(1).empty() && r.record.Default(1).empty());
         }},
        {"side indicator limits are fixed",
         [](V v) { v.rows[1] = {"Side", "46", "1", kTypeSide, "", "", "1"}; }, "", {},
         [](const FormatCheckResult& r) {
             EXPECT_EQ(r.values.rows[1].minimum + r.values.rows[1].maximum, "01");
             EXPECT_EQ(r.record.Maximum(1), "1");
         }},
        {"half frame field ending at bit 60",
         [](V v) { v.halfFrameOnly = true, v.rows[0] = {"Text", "0", "60", kTypeAscii, "", "", ""}; }, "", {},
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.fullFrame, 0); }},
        {"full frame field past bit 60", [](V v) { v.rows[0] = {"Text", "6", "60", kTypeAscii, "", "", ""}; }, "", {},
         [](const FormatCheckResult& r) { EXPECT_EQ(r.record.fullFrame, 1); }},
    };
    for (const Case& c : cases) {
        FormatEditorValues v = Valid();
        c.change(v);
        const FormatCheckResult r = Check(v);
        EXPECT_EQ(r.ok, c.message.empty()) << c.what;
        EXPECT_EQ(r.message, c.message) << c.what;
        if (!r.ok) EXPECT_EQ(r.focus, c.focus) << c.what;
        if (c.expect) c.expect(r);
    }
}

TEST_F(FormatEditorRig, OverlapOfTwoFieldsBesideTheFirst) {
    using R = FormatEditorRow;
    const struct {
        const char *what, *start0;
        R one, two;
        std::string message; // empty: accepted
    } cases[] = {
        {"overlapping", "7", R{"Length", "47", "9", kTypeLength, "0", "4095", ""},
         R{"Width", "50", "4", kTypeNumeric, "0", "9", ""}, Overlap("Length", "Width")},
        {"inner one named first", "30", R{"Inner", "10", "2", kTypeNumeric, "0", "3", ""},
         R{"Outer", "8", "10", kTypeNumeric, "0", "9", ""}, Overlap("Inner", "Outer")},
        {"one name twice", "30", R{"A", "10", "4", kTypeNumeric, "0", "9", ""},
         R{"A", "12", "4", kTypeNumeric, "0", "9", ""}, Overlap("A", "A")},
        {"past bit 59 into 64-65", "7", R{"Wide", "56", "10", kTypeNumeric, "0", "9", ""},
         R{"Next", "66", "3", kTypeNumeric, "0", "7", ""}, Overlap("Wide", "Next")},
        {"split field halves", "7", R{"Length", "94", "3", kTypeLength, "0", "4095", ""},
         R{"Length", "47", "9", kTypeLength, "0", "4095", ""}, ""},
        {"touching", "30", R{"A", "10", "4", kTypeNumeric, "0", "9", ""}, R{"B", "14", "4", kTypeNumeric, "0", "9", ""},
         ""},
        {"after one running past bit 59", "7", R{"Wide", "56", "10", kTypeNumeric, "0", "9", ""},
         R{"Next", "70", "3", kTypeNumeric, "0", "7", ""}, ""},
    };
    for (const auto& c : cases) {
        FormatEditorValues v = Valid();
        v.rows[0].startingBit = c.start0, v.rows[1] = c.one, v.rows[2] = c.two;
        const FormatCheckResult r = Check(v);
        EXPECT_EQ(r.message, c.message) << c.what;
        if (!r.ok) EXPECT_EQ(r.focus, Row(EditorControl::StartingBit, 1)) << c.what;
    }
    EXPECT_EQ(FieldIndexSpan(56, 10).last, 65);
    EXPECT_EQ(FieldIndexSpan(70, 3).first, 66);
}

TEST_F(FormatEditorRig, OkStoresOnlyAfterEveryCheckPasses) {
    ASSERT_TRUE(editor.Open(-1));
    FormatEditorValues v = Valid();
    v.notForReading = true;
    v.defaultTag = "AT5549";
    v.rows[0].length = "";
    EXPECT_FALSE(editor.Ok(v));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              kError + "The Length field must have a value if the Field Name is not blank."});
    EXPECT_EQ(editor.FailedFocus(), Row(EditorControl::Length, 0));
    EXPECT_EQ(data.GetTagFormatData(kSystemSlots).defined, 0);

    v.rows[0].length = "20";
    ASSERT_TRUE(editor.Ok(v));
    const TagFormatData f = data.GetTagFormatData(kSystemSlots);
    EXPECT_EQ(std::string(f.Name()) + "/" + std::string(f.FieldName(0)), "Pallet/Pallet Number");
    // defined, system slot, codes, default tag, flags, place, type and row count in one number each.
    EXPECT_EQ(f.defined * 10 + f.systemSlot, 10);
    EXPECT_EQ(f.equipmentGroupCode * 10000 + f.dataFormatCode * 100 + f.tagTypeCode, 125102);
    EXPECT_EQ(f.defaultTag * 100 + f.notForReading * 10 + f.fullFrame, 711);
    EXPECT_EQ(f.startingBit[0] * 10000 + f.length[0] * 100 + f.type[0] * 10 + f.RowCount(),
              72000 + kTypeNumeric * 10 + 1);
    for (uint8_t b : f.reserved) EXPECT_EQ(b, 0);
    EXPECT_EQ(BoxTexts().back(), Info() + "A new format called \"Pallet\" has been created.");

    FormatEditor unknownTag(data);
    ASSERT_TRUE(unknownTag.Open(-1));
    v = Valid();
    v.name = "Other";
    v.defaultTag = "XX";
    ASSERT_TRUE(unknownTag.Ok(v));
    EXPECT_EQ(data.GetTagFormatData(unknownTag.EditSlot()).defaultTag, 0);
}

TEST_F(FormatEditorRig, ModifyingKeepsTheSlotAndMayKeepTheName) {
    const int slot = StoreFormat("Pallet");
    ASSERT_TRUE(editor.Open(slot));
    FormatEditorValues v = editor.Values();
    v.rows[0].maximum = "99999";
    ASSERT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.GetTagFormatData(slot).Maximum(0), "99999");
    EXPECT_EQ(op.LastBox()->text, "A format called \"Pallet\" has been modified.");
    const int other = StoreFormat("Crate");
    v.name = "Box";
    EXPECT_TRUE(editor.Ok(v));
    EXPECT_EQ(data.FindTagFormatByName("Box"), slot);
    v.name = "Crate";
    EXPECT_FALSE(editor.Ok(v));
    EXPECT_EQ(op.LastBox()->text, "The format name is already used.  Please change the format name");
    EXPECT_EQ(data.FindTagFormatByName("Crate"), other);
}

TEST_F(FormatEditorRig, DeleteFreesTheSlotAndANewFormatSkipsATakenReservedSlot) {
    const int first = StoreFormat("First");
    ASSERT_EQ(StoreFormat("Second"), first + 1);
    op.boxes.clear();
    ASSERT_TRUE(editor.Open(first));
    EXPECT_TRUE(editor.Delete());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Velmora for Windows|1|The First format has been deleted."});
    EXPECT_EQ(data.GetTagFormatData(first).defined + data.GetTagFormatData(first).Name().size(), 0u);

    FormatEditor late(data);
    ASSERT_TRUE(late.Open(-1));
    ASSERT_EQ(late.ReservedSlot(), first);
    EXPECT_EQ(StoreFormat("Third"), first); // taken meanwhile
    ASSERT_TRUE(late.Ok(Valid()));
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), first + 2);
}

TEST_F(FormatEditorRig, CopyMakesANewFormatOfWhatIsShown) {
    UseFormat(kHex);
    ASSERT_TRUE(editor.Open(kHex)); // built-in and in use
    EXPECT_FALSE(editor.OkEnabled());
    ASSERT_TRUE(editor.Copy(editor.Values()));
    EXPECT_TRUE(editor.OkEnabled() && editor.IsNew() && !editor.DeleteEnabled());
    EXPECT_EQ(editor.Values().name + "/" + editor.Values().rows[2].name, "New/Charcters 21 to 30");
    ASSERT_TRUE(editor.Ok(editor.Values())) << op.LastBox()->text; // "New" is no format's name yet
    const TagFormatData copy = data.GetTagFormatData(kSystemSlots);
    EXPECT_EQ(copy.Name(), "New");
    EXPECT_EQ(copy.dataFormatCode * 100 + copy.systemSlot * 10 + data.GetTagFormatData(kHex).systemSlot, 9901);

    FormatEditor second(data); // a copy of a copy needs a new name
    ASSERT_TRUE(second.Open(kHex));
    ASSERT_TRUE(second.Copy(second.Values()));
    EXPECT_FALSE(second.Ok(second.Values()));
    EXPECT_EQ(op.LastBox()->text, "The format name is already used.  Please change the format name");

    // Without a free slot a copy changes nothing.
    const int slot = StoreFormat("Pallet");
    FormatEditor third(data);
    ASSERT_TRUE(third.Open(slot));
    FillAllOperatorSlots();
    EXPECT_FALSE(third.Copy(third.Values()));
    EXPECT_EQ(op.LastBox()->text, kMsgNoFreeFormatSlot);
    EXPECT_TRUE(!third.IsNew() && third.EditSlot() == slot && third.DeleteEnabled());
}

} // namespace
} // namespace velmora
