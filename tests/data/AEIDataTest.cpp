// The application data object: the index-checked accessors and the internal
// error trap, the format table look-ups and the tag type list.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

struct AEIDataFixture : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};

    void PutFormat(int slot, const char* name, int formatCode, int equipment, int notForReading = 0) {
        TagFormatData f;
        f.defined = 1;
        SetText(f.formatName, name);
        f.dataFormatCode = static_cast<int8_t>(formatCode);
        f.equipmentGroupCode = static_cast<int8_t>(equipment);
        f.notForReading = static_cast<uint8_t>(notForReading);
        data.UpdateTagFormatData(slot, f);
    }
};

std::string TrapText(const std::string& label, long value, const std::string& operation) {
    return label + " value \"" + std::to_string(value) + "\" called by \"" + operation +
           "\". Please contact Corvelle at 555 014-2290 inform them of this message and what you were "
           "doing when it occurred.  You will also need to cancel any pending operation and exit the "
           "program.";
}

using InternalErrorTrap = AEIDataFixture;

TEST_F(InternalErrorTrap, EveryCheckedAccessorNamesItsTableValueAndOperation) {
    const struct {
        const char* label;
        int badIndex, goodIndex; // the last good index beside the bad one
        std::function<void(AEIData&, int)> call;
    } cases[] = {
        {"Format index error - GetTagFormatData", 40, 39, [](AEIData& d, int i) { d.GetTagFormatData(i); }},
        {"Format index error - UpdateTagFormatData", -1, 0, [](AEIData& d, int i) { d.UpdateTagFormatData(i, {}); }},
        {"Tag Type index error - GetAchTagType", -3, 0, [](AEIData& d, int i) { d.GetAchTagType(i); }},
        {"WABTEC Data index error - GetWABTECData", 50, 49, [](AEIData& d, int i) { d.GetWABTECData(i); }},
        {"Background color index error - GetBackgroundColor", 99, 19, [](AEIData& d, int i) { d.GetBackgroundColor(i); }},
        {"Printer index error - GetPrinterSettings", 2, 1, [](AEIData& d, int i) { d.GetPrinterSettings(i); }},
        {"Printer index error - UpdatePrinterSettings", -1, 0, [](AEIData& d, int i) { d.UpdatePrinterSettings(i, {}); }},
        {"Column set index error - GetColumnWidth", 2, 1, [](AEIData& d, int i) { d.GetColumnWidth(i, 0); }},
        {"Column index error - GetColumnWidth", 17, 16, [](AEIData& d, int i) { d.GetColumnWidth(0, i); }},
        {"Column set index error - UpdateColumnWidth", -1, 0, [](AEIData& d, int i) { d.UpdateColumnWidth(i, 0, 5); }},
        {"Column index error - UpdateColumnWidth", 17, 16, [](AEIData& d, int i) { d.UpdateColumnWidth(1, i, 5); }},
        {"Recent tag line index error - GetRecentTagLine", 50, 49, [](AEIData& d, int i) { d.GetRecentTagLine(i); }},
        {"Recent tag line index error - UpdateRecentTagLine", -1, 0,
         [](AEIData& d, int i) { d.UpdateRecentTagLine(i, "x"); }},
    };
    for (const auto& c : cases) {
        op.boxes.clear();
        c.call(data, c.goodIndex);
        EXPECT_TRUE(op.boxes.empty()) << c.label << " " << c.goodIndex;
        {
            AEIData::OperationScope scope(data, "%s%n%d"); // operator text is never a format
            c.call(data, c.badIndex);
        }
        ASSERT_EQ(op.boxes.size(), 1u) << c.label;
        EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
        EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
        EXPECT_EQ(op.boxes[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(op.boxes[0].text, TrapText(c.label, c.badIndex, "%s%n%d"));
    }
    EXPECT_EQ(data.OperationName(), ""); // cleared when the scope ends
}

using CheckedAccess = AEIDataFixture;

TEST_F(CheckedAccess, BadIndexesReadADefaultAndWriteNothing) {
    TagFormatData junk;
    junk.defined = 1;
    SetText(junk.formatName, "Junk");
    for (int bad : {-1000, -1, 40, 255}) {
        EXPECT_EQ(data.GetTagFormatData(bad).defined, 0);
        data.UpdateTagFormatData(bad, junk);
    }
    EXPECT_EQ(data.FindTagFormatByName("Junk"), -1);
    EXPECT_EQ(data.GetTagFormatData(39).defined, 0);
    EXPECT_EQ(data.GetAchTagType(20), "AT5110");
    data.UpdateColumnWidth(0, 17, 999);
    data.UpdateColumnWidth(2, 0, 999);
    for (int s = 0; s < kColumnSets; ++s)
        for (int c = 0; c < kColumnsPerSet; ++c) EXPECT_NE(data.GetColumnWidth(s, c), 999);
    data.UpdateRecentTagLine(49, "last");
    data.UpdateRecentTagLine(50, "lost");
    EXPECT_EQ(data.GetRecentTagLine(49), "last");
}

TEST_F(CheckedAccess, UpdateCopiesTheWholeRecordAndLinesAreCutToTheirWidth) {
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Mine");
    f.reserved[98] = 0x5A;
    f.fullFrame = 0;
    SetText(f.defaultText[14], "123456789");
    data.UpdateTagFormatData(39, f);
    const TagFormatData g = data.GetTagFormatData(39);
    EXPECT_EQ(g.Name(), "Mine");
    EXPECT_EQ(g.reserved[98], 0x5A);
    EXPECT_EQ(g.fullFrame, 0);
    EXPECT_EQ(g.Default(14), "123456789");
    data.UpdateRecentTagLine(0, std::string(300, 'x'));
    EXPECT_EQ(data.GetRecentTagLine(0), std::string(119, 'x'));
    EXPECT_EQ(data.GetRecentTagLine(1), "");
}

using FormatLookup = AEIDataFixture;

TEST_F(FormatLookup, ByNameAndFreeSlot) {
    EXPECT_EQ(data.FindTagFormatByName("Railcar"), 0);
    EXPECT_EQ(data.FindTagFormatByName("railcar"), -1);
    EXPECT_EQ(data.FindTagFormatByName("Railcar "), -1);
    EXPECT_EQ(data.FindTagFormatByName(""), -1);
    EXPECT_EQ(data.FindFreeFormatSlot(), 6);
    PutFormat(12, "Twice", 40, 3);
    PutFormat(6, "Twice", 40, 3);
    PutFormat(7, "Gone", 40, 3);
    EXPECT_EQ(data.FindTagFormatByName("Twice"), 6);
    EXPECT_EQ(data.FindFreeFormatSlot(), 8);
    TagFormatData f = data.GetTagFormatData(7);
    f.defined = 0;
    data.UpdateTagFormatData(7, f);
    EXPECT_EQ(data.FindTagFormatByName("Gone"), -1);
    EXPECT_EQ(data.FindFreeFormatSlot(), 7);
    // Half-frame mode leaves system slots empty, but they are never free.
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 1;
    data.UpdateSettings(s);
    data.BuildBuiltInFormats();
    ASSERT_EQ(data.GetTagFormatData(2).defined, 0);
    for (int i = kSystemSlots; i < kFormatSlots; ++i) PutFormat(i, ("Op " + std::to_string(i)).c_str(), 40, 3);
    EXPECT_EQ(data.FindFreeFormatSlot(), -1);
}

struct FrameCase {
    const char* what;
    std::vector<std::tuple<int, int, int, int>> formats; // slot, format code, equipment, not for reading
    int code, equipment;
    bool reading;
    int found;
};

TEST_F(FormatLookup, ForFrame) {
    const FrameCase cases[] = {
        {"railcar", {}, 51, 19, true, 0},
        {"locomotive", {}, 51, 5, true, 1},
        {"EOT device", {}, 51, 6, true, 3},
        {"container", {}, 51, 10, true, 5},
        {"hex when not reading", {}, 99, 0, false, 4},
        {"unknown equipment", {}, 51, 7, true, -1},
        {"unknown code", {}, 12, 19, true, -1},
        {"code 0 whatever the equipment", {}, 0, 19, true, 2},
        {"highest code-0 format wins", {{20, 0, 7, 1}}, 0, 0, true, 20},
        {"operator formats before built-ins, highest first", {{9, 51, 19, 0}, {30, 51, 19, 0}}, 51, 19, true, 30},
        {"marked format gives way when reading", {{9, 51, 19, 1}}, 51, 19, true, 0},
        {"marked format found when not reading", {{9, 51, 19, 1}}, 51, 19, false, 9},
        {"only marked matches: the first found kept", {{9, 33, 12, 1}, {15, 33, 12, 1}}, 33, 12, true, 15},
        {"a mark other than 1 is no mark", {{8, 33, 12, 0}, {9, 33, 12, 2}}, 33, 12, true, 9},
    };
    for (const FrameCase& c : cases) {
        AEIData d(op, clock);
        for (const auto& [slot, code, equipment, marked] : c.formats) {
            TagFormatData f;
            f.defined = 1;
            SetText(f.formatName, "Op");
            f.dataFormatCode = static_cast<int8_t>(code);
            f.equipmentGroupCode = static_cast<int8_t>(equipment);
            f.notForReading = static_cast<uint8_t>(marked);
            d.UpdateTagFormatData(slot, f);
        }
        EXPECT_EQ(d.FindTagFormatForFrame(c.code, c.equipment, c.reading), c.found) << c.what;
    }
}

TEST_F(AEIDataFixture, TagTypesAndRegionNames) {
    const char* names[] = {"AT5110", "AT5118", "AT5125", "AT5510", "AT5541", "AT5545", "AT5133", "AT5549", "AT5112"};
    for (int i = 0; i < kTagTypeSlots; ++i) EXPECT_EQ(data.GetAchTagType(i), i < 9 ? names[i] : "") << i;
    EXPECT_EQ(data.TagTypeCount(), 9);
    EXPECT_EQ(data.FindTagType("AT5112"), 8);
    EXPECT_EQ(data.FindTagType("at5112"), -1);
    EXPECT_EQ(data.FindTagType("AT511"), -1);
    EXPECT_EQ(MarketRegionName(kRegionNorthAmerica), "North America");
    EXPECT_EQ(MarketRegionName(kRegionSARA), "SARA");
    EXPECT_EQ(MarketRegionName(kRegionAustralia), "Australia");
    EXPECT_EQ(MarketRegionName(3), "");
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora
