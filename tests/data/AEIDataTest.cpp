// The application data object: the index-checked accessors and the internal
// error trap, the format table look-ups and the tag type list.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmora {
namespace {

struct AEIDataFixture : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};

    // An operator format in the given slot.
    void PutFormat(int slot, const char* name, int formatCode, int equipment, int notForReading = 0) {
        TagFormatData f;
        f.defined = 1;
        SetText(f.formatName, name);
        f.dataFormatCode = static_cast<int8_t>(formatCode);
        f.equipmentGroupCode = static_cast<int8_t>(equipment);
        f.notForReading = static_cast<uint8_t>(notForReading);
        data.UpdateTagFormatData(slot, f);
    }

    void FillAllOperatorSlots() {
        for (int i = kSystemSlots; i < kFormatSlots; ++i)
            PutFormat(i, ("Op " + std::to_string(i)).c_str(), 40, 3);
    }
};

std::string TrapText(const std::string& label, long value, const std::string& operation) {
    return label + " value \"" + std::to_string(value) + "\" called by \"" + operation +
           "\". Please contact Corvelle at 555 014-2290 inform them of this message and what you were "
           "doing when it occurred.  You will also need to cancel any pending operation and exit the "
           "program.";
}

// ---------------------------------------------------------------------------
using InternalErrorTrap = AEIDataFixture;

TEST_F(InternalErrorTrap, ShowsCaptionIconAndTextWithLabelValueAndOperation) {
    AEIData::OperationScope scope(data, "TAEIWindow::Paint");
    data.GetTagFormatData(40);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(op.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(op.boxes[0].text, TrapText("Format index error - GetTagFormatData", 40, "TAEIWindow::Paint"));
}

TEST_F(InternalErrorTrap, OperationNameIsClearedWhenTheScopeEnds) {
    { AEIData::OperationScope scope(data, "TAEIDec::CmExit"); }
    EXPECT_EQ(data.OperationName(), "");
    data.GetTagFormatData(-1);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, TrapText("Format index error - GetTagFormatData", -1, ""));
}

TEST_F(InternalErrorTrap, OperatorTextInTheOperationNameIsNotAFormat) {
    data.SetOperationName("%s%n%d");
    data.GetAchTagType(20);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, TrapText("Tag Type index error - GetAchTagType", 20, "%s%n%d"));
}

struct TrapCase {
    const char* label;
    int badIndex;
    std::function<void(AEIData&, int)> call;
};

TEST_F(InternalErrorTrap, EveryCheckedAccessorNamesItsTableAndOperation) {
    const TrapCase cases[] = {
        {"Format index error - GetTagFormatData", 40, [](AEIData& d, int i) { d.GetTagFormatData(i); }},
        {"Format index error - UpdateTagFormatData", -1,
         [](AEIData& d, int i) { d.UpdateTagFormatData(i, TagFormatData{}); }},
        {"Tag Type index error - GetAchTagType", -3, [](AEIData& d, int i) { d.GetAchTagType(i); }},
        {"WABTEC Data index error - GetWABTECData", 50, [](AEIData& d, int i) { d.GetWABTECData(i); }},
        {"Background color index error - GetBackgroundColor", 99,
         [](AEIData& d, int i) { d.GetBackgroundColor(i); }},
        {"Printer index error - GetPrinterSettings", 2, [](AEIData& d, int i) { d.GetPrinterSettings(i); }},
        {"Printer index error - UpdatePrinterSettings", -1,
         [](AEIData& d, int i) { d.UpdatePrinterSettings(i, PrinterSettings{}); }},
        {"Column set index error - GetColumnWidth", 2, [](AEIData& d, int i) { d.GetColumnWidth(i, 0); }},
        {"Column index error - GetColumnWidth", 17, [](AEIData& d, int i) { d.GetColumnWidth(0, i); }},
        {"Column set index error - UpdateColumnWidth", -1,
         [](AEIData& d, int i) { d.UpdateColumnWidth(i, 0, 5); }},
        {"Column index error - UpdateColumnWidth", 17, [](AEIData& d, int i) { d.UpdateColumnWidth(1, i, 5); }},
        {"Recent tag line index error - GetRecentTagLine", 50,
         [](AEIData& d, int i) { d.GetRecentTagLine(i); }},
        {"Recent tag line index error - UpdateRecentTagLine", -1,
         [](AEIData& d, int i) { d.UpdateRecentTagLine(i, "x"); }},
    };
    data.SetOperationName("CmLogFile");
    for (const auto& c : cases) {
        op.boxes.clear();
        c.call(data, c.badIndex);
        ASSERT_EQ(op.boxes.size(), 1u) << c.label;
        EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
        EXPECT_EQ(op.boxes[0].text, TrapText(c.label, c.badIndex, "CmLogFile"));
    }
}

TEST_F(InternalErrorTrap, GoodIndexesAtBothEndsRaiseNothing) {
    for (int low : {0, 1}) {
        data.GetTagFormatData(low ? 0 : 39);
        data.GetAchTagType(low ? 0 : 19);
        data.GetWABTECData(low ? 0 : 49);
        data.GetBackgroundColor(low ? 0 : 19);
        data.GetPrinterSettings(low ? 0 : 1);
        data.GetColumnWidth(low ? 0 : 1, low ? 0 : 16);
        data.GetRecentTagLine(low ? 0 : 49);
    }
    EXPECT_TRUE(op.boxes.empty());
}

// ---------------------------------------------------------------------------
using CheckedAccess = AEIDataFixture;

TEST_F(CheckedAccess, BadFormatIndexReturnsAnUndefinedRecordAndWritesNothing) {
    TagFormatData before[kFormatSlots];
    for (int i = 0; i < kFormatSlots; ++i) before[i] = data.GetTagFormatData(i);
    TagFormatData junk;
    junk.defined = 1;
    SetText(junk.formatName, "Junk");
    for (int bad : {-1000, -1, 40, 41, 255}) {
        EXPECT_EQ(data.GetTagFormatData(bad).defined, 0);
        EXPECT_EQ(data.GetTagFormatData(bad).Name(), "");
        data.UpdateTagFormatData(bad, junk);
    }
    EXPECT_EQ(data.FindTagFormatByName("Junk"), -1);
    for (int i = 0; i < kFormatSlots; ++i)
        EXPECT_EQ(data.GetTagFormatData(i).Name(), before[i].Name()) << i;
}

TEST_F(CheckedAccess, UpdateCopiesTheWholeRecord) {
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Mine");
    f.reserved[98] = 0x5A;
    f.fullFrame = 0;
    SetText(f.defaultText[14], "123456789");
    data.UpdateTagFormatData(39, f);
    TagFormatData g = data.GetTagFormatData(39);
    EXPECT_EQ(g.Name(), "Mine");
    EXPECT_EQ(g.reserved[98], 0x5A);
    EXPECT_EQ(g.fullFrame, 0);
    EXPECT_EQ(g.Default(14), "123456789");
}

TEST_F(CheckedAccess, BadTagTypeIndexReturnsSlotZero) {
    EXPECT_EQ(data.GetAchTagType(20), "AT5110");
    EXPECT_EQ(data.GetAchTagType(-1), "AT5110");
}

TEST_F(CheckedAccess, BadColumnAndLineIndexesChangeNothing) {
    data.UpdateColumnWidth(0, 17, 999);
    data.UpdateColumnWidth(2, 0, 999);
    data.UpdateRecentTagLine(50, "lost");
    for (int s = 0; s < kColumnSets; ++s)
        for (int c = 0; c < kColumnsPerSet; ++c) EXPECT_NE(data.GetColumnWidth(s, c), 999);
    // The neighbours of a bad line index keep their text.
    data.UpdateRecentTagLine(49, "last");
    data.UpdateRecentTagLine(50, "lost");
    EXPECT_EQ(data.GetRecentTagLine(49), "last");
}

TEST_F(CheckedAccess, RecentLineIsCutToItsWidth) {
    data.UpdateRecentTagLine(0, std::string(300, 'x'));
    EXPECT_EQ(data.GetRecentTagLine(0), std::string(119, 'x'));
    EXPECT_EQ(data.GetRecentTagLine(1), "");
}

// ---------------------------------------------------------------------------
using FormatLookup = AEIDataFixture;

TEST_F(FormatLookup, FindByNameIsExactAndCaseSensitive) {
    EXPECT_EQ(data.FindTagFormatByName("Railcar"), 0);
    EXPECT_EQ(data.FindTagFormatByName("railcar"), -1);
    EXPECT_EQ(data.FindTagFormatByName("Railcar "), -1);
    EXPECT_EQ(data.FindTagFormatByName(""), -1);
    PutFormat(12, "Twice", 40, 3);
    PutFormat(8, "Twice", 40, 3);
    EXPECT_EQ(data.FindTagFormatByName("Twice"), 8);
}

TEST_F(FormatLookup, FindByNameSkipsUndefinedSlots) {
    PutFormat(7, "Gone", 40, 3);
    TagFormatData f = data.GetTagFormatData(7);
    f.defined = 0;
    data.UpdateTagFormatData(7, f);
    EXPECT_EQ(data.FindTagFormatByName("Gone"), -1);
}

TEST_F(FormatLookup, FreeSlotIsTheLowestNonSystemUndefinedSlot) {
    EXPECT_EQ(data.FindFreeFormatSlot(), 6);
    PutFormat(6, "A", 40, 3);
    PutFormat(7, "B", 40, 3);
    EXPECT_EQ(data.FindFreeFormatSlot(), 8);
}

TEST_F(FormatLookup, NoFreeSlotWhenAll34OperatorSlotsAreDefinedEvenInHalfFrameMode) {
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 1;
    data.UpdateSettings(s);
    data.BuildBuiltInFormats();
    ASSERT_EQ(data.GetTagFormatData(2).defined, 0);
    ASSERT_EQ(data.GetTagFormatData(5).defined, 0);
    FillAllOperatorSlots();
    EXPECT_EQ(data.FindFreeFormatSlot(), -1);
}

TEST_F(FormatLookup, FrameWithCodeZeroFindsAsciiWhateverTheEquipmentCode) {
    EXPECT_EQ(data.FindTagFormatForFrame(0, 0, true), 2);
    EXPECT_EQ(data.FindTagFormatForFrame(0, 19, true), 2);
    // The highest-numbered format with code 0 wins, whatever its equipment code.
    PutFormat(20, "My ASCII", 0, 7, 1);
    EXPECT_EQ(data.FindTagFormatForFrame(0, 0, true), 20);
}

TEST_F(FormatLookup, FrameCodesFindTheBuiltIns) {
    EXPECT_EQ(data.FindTagFormatForFrame(51, 19, true), 0);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 5, true), 1);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 6, true), 3);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 10, true), 5);
    EXPECT_EQ(data.FindTagFormatForFrame(99, 0, false), 4);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 7, true), -1);
    EXPECT_EQ(data.FindTagFormatForFrame(12, 19, true), -1);
}

TEST_F(FormatLookup, OperatorFormatsAreFoundBeforeBuiltIns) {
    PutFormat(9, "My Railcar", 51, 19);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 19, true), 9);
    PutFormat(30, "Newer Railcar", 51, 19);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 19, true), 30);
}

TEST_F(FormatLookup, FormatMarkedNotForReadingGivesWayToAnotherMatch) {
    PutFormat(9, "Marked Railcar", 51, 19, 1);
    EXPECT_EQ(data.FindTagFormatForFrame(51, 19, true), 0);
    // Not a reading: the marked format is returned like any other.
    EXPECT_EQ(data.FindTagFormatForFrame(51, 19, false), 9);
}

TEST_F(FormatLookup, MarkedFormatIsReturnedWhenItIsTheOnlyMatch) {
    PutFormat(9, "Marked", 33, 12, 1);
    PutFormat(15, "Also marked", 33, 12, 1);
    // The first fallback found scanning down is kept.
    EXPECT_EQ(data.FindTagFormatForFrame(33, 12, true), 15);
}

TEST_F(FormatLookup, ByteNinetySevenCountsOnlyWhenItIsOne) {
    PutFormat(9, "Odd flag", 33, 12, 2);
    PutFormat(8, "Plain", 33, 12, 0);
    EXPECT_EQ(data.FindTagFormatForFrame(33, 12, true), 9);
}

// ---------------------------------------------------------------------------
using TagTypeList = AEIDataFixture;

TEST_F(TagTypeList, HoldsTheNineModelsThenEmptySlots) {
    const char* names[] = {"AT5110", "AT5118", "AT5125", "AT5510", "AT5541",
                           "AT5545", "AT5133", "AT5549", "AT5112"};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(data.GetAchTagType(i), names[i]);
    for (int i = 9; i < kTagTypeSlots; ++i) EXPECT_EQ(data.GetAchTagType(i), "");
    EXPECT_EQ(data.TagTypeCount(), 9);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(TagTypeList, FindIsExact) {
    EXPECT_EQ(data.FindTagType("AT5110"), 0);
    EXPECT_EQ(data.FindTagType("AT5112"), 8);
    EXPECT_EQ(data.FindTagType("at5112"), -1);
    EXPECT_EQ(data.FindTagType("AT511"), -1);
}

TEST(MarketRegion, Names) {
    EXPECT_EQ(MarketRegionName(kRegionNorthAmerica), "North America");
    EXPECT_EQ(MarketRegionName(kRegionSARA), "SARA");
    EXPECT_EQ(MarketRegionName(kRegionAustralia), "Australia");
    EXPECT_EQ(MarketRegionName(3), "");
}

} // namespace
} // namespace velmora
