// The application data object: checked accessors and the internal error trap,
// format look-ups, the fixed reference tables, and which built-in formats fill
// system slots 0 to 5 per mode and region (their rows: tests/tagdata).
#include "data/AEIData.h"
#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

void PutFormat(AEIData& d, int slot, const std::string& name, int formatCode, int equipment, int notForReading = 0) {
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, name);
    std::tie(f.dataFormatCode, f.equipmentGroupCode, f.notForReading) =
        std::tuple(int8_t(formatCode), int8_t(equipment), uint8_t(notForReading));
    d.UpdateTagFormatData(slot, f);
}

struct AEIDataFixture : ::testing::Test { test::ScriptedOperator op; test::FakeClock clock; AEIData data{op, clock}; };

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
        const std::vector<uint8_t> image = OptionsToBytes(data);
        {
            AEIData::OperationScope scope(data, "%s%n%d"); // operator text is never a format
            c.call(data, c.badIndex);
        }
        EXPECT_EQ(OptionsToBytes(data), image) << c.label << ": a bad index writes nothing";
        ASSERT_EQ(op.boxes.size(), 1u) << c.label;
        EXPECT_EQ(std::tuple(op.boxes[0].caption, op.boxes[0].icon, op.boxes[0].buttons, op.boxes[0].text),
                  std::tuple("Internal Error Trap", MsgIcon::Stop, MsgButtons::Ok, TrapText(c.label, c.badIndex, "%s%n%d")));
    }
    EXPECT_EQ(data.OperationName(), ""); // cleared when the scope ends
}

using FormatLookup = AEIDataFixture;

TEST_F(FormatLookup, ByNameAndFreeSlot) {
    std::string found;
    for (const char* name : {"Railcar", "railcar", "Railcar ", ""}) found += std::to_string(data.FindTagFormatByName(name));
    EXPECT_EQ(found, "0-1-1-1");
    EXPECT_EQ(data.FindFreeFormatSlot(), 6);
    PutFormat(data, 12, "Twice", 40, 3);
    PutFormat(data, 6, "Twice", 40, 3);
    PutFormat(data, 7, "Gone", 40, 3);
    EXPECT_EQ(std::tuple(data.FindTagFormatByName("Twice"), data.FindFreeFormatSlot()), std::tuple(6, 8));
    data.UpdateTagFormatData(7, {});
    EXPECT_EQ(std::tuple(data.FindTagFormatByName("Gone"), data.FindFreeFormatSlot()), std::tuple(-1, 7));
    // Half-frame mode leaves system slots empty, but they are never free.
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 1;
    data.UpdateSettings(s);
    data.BuildBuiltInFormats();
    ASSERT_EQ(data.GetTagFormatData(2).defined, 0);
    for (int i = kSystemSlots; i < kFormatSlots; ++i) PutFormat(data, i, "Op " + std::to_string(i), 40, 3);
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
        for (const auto& [slot, code, equipment, marked] : c.formats) PutFormat(d, slot, "Op", code, equipment, marked);
        EXPECT_EQ(d.FindTagFormatForFrame(c.code, c.equipment, c.reading), c.found) << c.what;
    }
}

TEST_F(AEIDataFixture, TagTypesAndRegionNames) {
    std::string types;
    for (int i = 0; i < kTagTypeSlots; ++i) types += std::string(data.GetAchTagType(i)) + "|";
    EXPECT_EQ(types, "AT5110|AT5118|AT5125|AT5510|AT5541|AT5545|AT5133|AT5549|AT5112|" + std::string(kTagTypeSlots - 9, '|'));
    EXPECT_EQ(data.TagTypeCount(), 9);
    EXPECT_EQ(std::tuple(data.FindTagType("AT5112"), data.FindTagType("at5112"), data.FindTagType("AT511")),
              std::tuple(8, -1, -1));
    std::string regions;
    for (int32_t region : {int32_t(kRegionNorthAmerica), int32_t(kRegionSARA), int32_t(kRegionAustralia), 3}) regions += std::string(MarketRegionName(region)) + "|";
    EXPECT_EQ(regions, "North America|SARA|Australia||");
    EXPECT_TRUE(op.boxes.empty());
}

std::string Car(const CarType& t) {
    return std::string(GetText(t.code)) + " " + std::to_string(t.category) + " " + std::to_string(t.secondCategory) + " " +
           std::string(GetText(t.name));
}

TEST(CarTypeTable, EveryRowAsListed) {
    const char* rows =
        "A 1 1 Box|B 1 1 Box|C 5 5 Covered Hopper|D1 10 10 Road Diesel|D3 11 11 Switcher|D4 12 12 Slug|"
        "E 4 4 Gondola|F 3 3 Flat|G 4 4 Gondola|H 5 5 Hopper|J 4 4 Gondola|K 5 5 Hopper|L0 3 3 Flat|"
        "L1 4 4 Gondola|L2 3 3 Flat|L3 3 3 Flat|L4 1 1 Box|L6 5 5 Hopper|L7 1 1 Box|L9 3 3 Flat|"
        "P 6 6 Intermodal|Q 6 6 Intermodal|R 7 1 Refrigerated|S 8 8 Stack|T 2 2 Tank|V 9 9 Auto Rack|"
        "H 5 5 Coal Hopper|XX 16 16 Trailer|XX 13 13 Tractor|";
    CarType t[kCarTypes];
    FillCarTypes(t);
    std::string got;
    for (int i = 0; i < 29; ++i) got += Car(t[i]) + "|";
    EXPECT_EQ(got, rows);
    for (int i = 29; i < 50; ++i) EXPECT_EQ(GetText(t[i].code), "") << i;
    EXPECT_EQ(Car(t[50]), " 1 1 Unknown");
}

using CarTypes = AEIDataFixture;

TEST_F(CarTypes, LookUpByCodePrefixThenCategoryThenName) {
    const struct {
        const char* code;
        int category;
        const char* name;
        const char* found;
    } cases[] = {
        {"R100", -1, "", "R 7 1 Refrigerated"}, {"D123", -1, "", "D1 10 10 Road Diesel"},
        {"L612", -1, "", "L6 5 5 Hopper"},      {"XX", -1, "", "XX 16 16 Trailer"},
        {"H350", 5, "Coal Hopper", "H 5 5 Hopper"}, // the first row wins between equal codes
        {"D", 10, "Road Diesel", " 1 1 Unknown"},    // no prefix match, and a code is never looked up otherwise
        {"r100", -1, "", " 1 1 Unknown"},       {"", 13, "", "XX 13 13 Tractor"},
        {"", 4, "Tank", "E 4 4 Gondola"},       {"", -1, "Coal Hopper", "H 5 5 Coal Hopper"},
        {"", 99, "", " 1 1 Unknown"},           {"", -1, "Caboose", " 1 1 Unknown"},
        {"", -1, "Unknown", " 1 1 Unknown"},    {"", -1, "", " 1 1 Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(Car(data.GetCarType(c.code, c.category, c.name)), c.found) << c.code;
}

using WABTEC = AEIDataFixture;

TEST_F(WABTEC, RecordsAndFind) {
    std::ostringstream got;
    for (int i = 0; i < kWABTECRecords; ++i) {
        const WABTECData w = data.GetWABTECData(i);
        if (!w.defined) continue;
        got << w.partNumber << GetText(w.mark) << int(w.numberPrefix) << int(w.eotTypeCode) << int(w.sideCode)
            << int(w.tagTypeFlag) << "|";
    }
    EXPECT_EQ(got.str(),
              "4508BNQ 0011|4509KCS 9011|4511CR  9011|4515CNW 9011|4517CSXE0211|4518SPQ 0011|4538UPRQ0011|"
              "4820SFQ 0011|4821CNQ 8001|4822GTWQ0001|4823WCQ 0011|4824AMTK0011|4825IC  0011|4826MRL 0011|"
              "4827TFM 0011|81615NS  0011|81616WRE 0011|81628CPT 0011|4728BNQ 0010|4729KCS 9010|4732CSXE0210|"
              "4733SPQ 0010|4734UPRQ0010|4736CNQ 8000|4740IC  0010|4742TFM 0010|4875CPT 0010|4782NS  0010|"
              "81319WRE 0010|");
    EXPECT_TRUE(op.boxes.empty());
    const std::pair<const char*, int> finds[] = {{"CR  ", 1}, {"CR", 1}, {"CR  ", 0}, {"BNQ ", 0}, {"WRE ", 0}, {"bnq ", 1}, {"", 0}};
    std::string found;
    for (const auto& [mark, tagType] : finds) found += std::to_string(data.FindWABTEC(mark, tagType)) + " ";
    EXPECT_EQ(found, "2 -1 -1 18 28 -1 -1 ");
    EXPECT_EQ(data.GetWABTECData(-5).partNumber, 4508u); // and the trap, proven in AEIDataTest
}

using BackgroundColors = AEIDataFixture;

TEST_F(BackgroundColors, SevenColoursWithRedInTheLowByteAndFindByName) {
    std::ostringstream got;
    for (int i = 0; i < kBackgroundColors; ++i) {
        const BackgroundColor c = data.GetBackgroundColor(i);
        if (c.defined || !GetText(c.name).empty()) got << i << GetText(c.name) << ' ' << std::hex << c.value << std::dec << '|';
    }
    EXPECT_EQ(got.str(), "0Gold c8ff|1Gray 808080|2White ffffff|3Light Gray c0c0c0|4Greenish Yellow c0c0|5Green ff00|"
                         "6Dark Green c000|");
    EXPECT_EQ(std::tuple(data.FindBackgroundColor("Dark Green"), data.FindBackgroundColor("dark green"),
                         data.FindBackgroundColor("")),
              std::tuple(6, -1, -1));
    EXPECT_EQ(GetText(data.GetBackgroundColor(20).name), "Gold");
}

struct BuiltInSet {
    int model;
    int32_t region;
    const char* names[6]; // "" for a reserved slot
};

const BuiltInSet kSets[] = {
    {2, kRegionNorthAmerica, {"Railcar", "Locomotive", "ASCII", "EOT Device", "Hex", "Container"}},
    {0, kRegionSARA, {"Railcar", "Locomotive", "ASCII", "EOT Device", "SARA", "Container"}},
    {2, kRegionAustralia, {"Rail Wagon", "Locomotive", "ASCII", "EOT Device", "Hex", "Container"}},
    {1, kRegionNorthAmerica, {"ASCII Half Frame", "Hex Half Frame ", "", "", "", ""}},
    {1, kRegionSARA, {"ASCII Half Frame", "Hex Half Frame ", "", "", "", ""}},
    {1, kRegionAustralia, {"ASCII Half Frame", "Hex Half Frame ", "", "", "", ""}},
    {0, kRegionNorthAmerica, {"Railcar", "Locomotive", "ASCII", "EOT Device", "Hex", "Container"}},
};

using BuiltInFormats = AEIDataFixture;

// Building them also resets the import settings.
TEST_F(BuiltInFormats, EachModeAndRegionFillsTheSystemSlotsOverWhateverTheyHeld) {
    ImportSettings import;
    SetText(import.fileName, "other.csv");
    SetText(import.delimiter, ";");
    import.flag1 = 1, import.flag2 = 0;
    data.UpdateImportSettings(import);
    PutFormat(data, 17, "Mine", 0, 0, 1);
    for (const BuiltInSet& set : kSets) {
        SCOPED_TRACE(std::to_string(set.model) + " " + std::to_string(set.region));
        for (int i = 0; i < 6; ++i) {
            PutFormat(data, i, "Junk", 0, 0, 1);
            TagFormatData f = data.GetTagFormatData(i);
            SetText(f.fieldName[14], "Row 14");
            data.UpdateTagFormatData(i, f);
        }
        SettingsBlock s = data.GetSettings();
        s.programmerModel = static_cast<uint8_t>(set.model);
        data.UpdateSettings(s);
        data.SetMarketRegion(set.region);
        data.BuildBuiltInFormats();
        EXPECT_EQ(data.HalfFrameMode(), set.model == 1);
        for (int i = 0; i < 6; ++i) {
            const TagFormatData f = data.GetTagFormatData(i);
            EXPECT_EQ(std::tuple(f.Name(), int(f.defined), int(f.systemSlot), int(f.notForReading), int(f.fullFrame), f.FieldName(14)),
                      std::tuple(set.names[i], *set.names[i] ? 1 : 0, 1, 0, set.model == 1 && i < 2 ? 0 : 1, ""))
                << i;
            if (!*set.names[i]) EXPECT_EQ(f.startingBit[0], 255) << i;
        }
        EXPECT_EQ(data.GetTagFormatData(17).Name(), "Mine");
    }
    import = data.GetImportSettings();
    EXPECT_EQ(std::tuple(GetText(import.fileName), GetText(import.delimiter), int(import.flag1), int(import.flag2)),
              std::tuple("import.txt", ",", 0, 1));
    // The Australian locomotive and wagon carry the owner's row.
    data.SetMarketRegion(kRegionAustralia);
    data.BuildBuiltInFormats();
    EXPECT_EQ(std::string(data.GetTagFormatData(0).FieldName(8)) + "|" + std::string(data.GetTagFormatData(1).FieldName(6)),
              "Owner's ID|Owner's ID");
    // The region is not an option: setting the defaults keeps it.
    SetOptionDefaults(data);
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Rail Wagon");
    EXPECT_EQ(data.FindTagFormatByName("Hex Half Frame"), -1);
}

} // namespace
} // namespace velmora
