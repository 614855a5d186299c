// Which built-in formats fill system slots 0 to 5 for each programmer mode and
// market region. Their rows are proven by the golden frames (tests/tagdata) and
// by the editor's checks; here only which format lies where.
#include "data/AEIData.h"
#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

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

TEST(BuiltInFormats, EachModeAndRegionFillsTheSystemSlotsOverWhateverTheyHeld) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    TagFormatData junk;
    junk.defined = 1;
    junk.notForReading = 1;
    SetText(junk.formatName, "Junk");
    SetText(junk.fieldName[14], "Row 14");
    TagFormatData mine = junk;
    SetText(mine.formatName, "Mine");
    data.UpdateTagFormatData(17, mine);
    for (const BuiltInSet& set : kSets) {
        SCOPED_TRACE(std::to_string(set.model) + " " + std::to_string(set.region));
        for (int i = 0; i < 6; ++i) data.UpdateTagFormatData(i, junk);
        SettingsBlock s = data.GetSettings();
        s.programmerModel = static_cast<uint8_t>(set.model);
        data.UpdateSettings(s);
        data.SetMarketRegion(set.region);
        data.BuildBuiltInFormats();
        EXPECT_EQ(data.HalfFrameMode(), set.model == 1);
        for (int i = 0; i < 6; ++i) {
            const TagFormatData f = data.GetTagFormatData(i);
            EXPECT_EQ(f.Name(), set.names[i]) << i;
            EXPECT_EQ(f.defined, *set.names[i] ? 1 : 0) << i;
            EXPECT_EQ(f.systemSlot, 1) << i;
            EXPECT_EQ(f.notForReading, 0) << i;
            EXPECT_EQ(f.fullFrame, set.model == 1 && i < 2 ? 0 : 1) << i;
            EXPECT_EQ(f.FieldName(14), "") << i;
            if (!*set.names[i]) EXPECT_EQ(f.startingBit[0], 255) << i;
        }
        EXPECT_EQ(data.GetTagFormatData(17).Name(), "Mine");
    }
    // The Australian locomotive and wagon carry the owner's row.
    data.SetMarketRegion(kRegionAustralia);
    data.BuildBuiltInFormats();
    EXPECT_EQ(data.GetTagFormatData(0).FieldName(8), "Owner's ID");
    EXPECT_EQ(data.GetTagFormatData(1).FieldName(6), "Owner's ID");
    // The region is not an option: setting the defaults keeps it.
    SetOptionDefaults(data);
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Rail Wagon");
    EXPECT_EQ(data.FindTagFormatByName("Hex Half Frame"), -1);
}

TEST(BuiltInFormats, BuildingResetsTheImportSettings) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    ImportSettings s;
    SetText(s.fileName, "other.csv");
    SetText(s.delimiter, ";");
    s.flag1 = 1;
    s.flag2 = 0;
    data.UpdateImportSettings(s);
    data.BuildBuiltInFormats();
    const ImportSettings t = data.GetImportSettings();
    EXPECT_EQ(std::string(GetText(t.fileName)) + std::string(GetText(t.delimiter)) + char('0' + t.flag1) + char('0' + t.flag2),
              "import.txt,01");
}

} // namespace
} // namespace velmora
