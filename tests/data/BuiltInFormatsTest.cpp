// The built-in formats of system slots 0 to 5 for each programmer mode and
// market region, and the stored bytes of one of them.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace velmora {
namespace {

struct ExpectedRow {
    const char* name;
    int start, length, type;
    const char* minimum;
    const char* maximum;
    const char* defaultText;
};

struct ExpectedFormat {
    const char* name;
    int equipment, formatCode, tagType, defaultTag, fullFrame;
    std::vector<ExpectedRow> rows;
};

const std::vector<ExpectedRow> kRailcarRows = {
    {"Equipment Initial", 7, 19, 1, "A   ", "ZZZZ", ""},
    {"Car Number", 26, 20, 3, "0", "999999", ""},
    {"Side Indicator Code", 46, 1, 8, "0", "1", ""},
    {"Length", 94, 3, 7, "0", "4095", ""},
    {"Length", 47, 9, 7, "0", "4095", ""},
    {"Number of Axles", 56, 5, 3, "1", "32", "4"},
    {"Bearing Type Code", 65, 3, 3, "0", "7", "1"},
    {"Platform Identifier Code", 68, 4, 3, "0", "15", "0"},
};

const std::vector<ExpectedRow> kLocomotiveRows = {
    {"Equipment Initial", 7, 19, 1, "A   ", "ZZZZ", ""},
    {"Locomotive Number", 26, 20, 3, "0", "999999", ""},
    {"Side Indicator Code", 46, 1, 8, "0", "1", ""},
    {"Length", 47, 9, 7, "0", "510", ""},
    {"Number of Axles", 56, 5, 3, "1", "32", "4"},
    {"Bearing Type Code", 65, 3, 3, "0", "7", "1"},
};

ExpectedFormat Railcar() { return {"Railcar", 19, 51, 2, 1, 1, kRailcarRows}; }

ExpectedFormat RailWagon() {
    ExpectedFormat f{"Rail Wagon", 19, 51, 2, 1, 1, kRailcarRows};
    f.rows[0].name = "Vehicle Class";
    f.rows[1].name = "Vehicle Number";
    f.rows.push_back({"Owner's ID", 72, 5, 1, "A", "Z", "A"});
    return f;
}

ExpectedFormat LocomotiveA() { return {"Locomotive", 5, 51, 2, 1, 1, kLocomotiveRows}; }

ExpectedFormat LocomotiveB() {
    ExpectedFormat f = LocomotiveA();
    f.rows.push_back({"Owner's ID", 68, 5, 1, "A", "Z", "A"});
    return f;
}

ExpectedFormat Ascii() {
    return {"ASCII", 0, 0, 2, 1, 1,
            {{"Characters 1 to 10", 0, 60, 0, "", "", ""}, {"Characters 11 to 20", 64, 60, 0, "", "", ""}}};
}

ExpectedFormat Eot() {
    return {"EOT Device", 6, 51, 2, 7, 1,
            {{"EOT Initial", 7, 19, 1, "A   ", "ZZZZ", ""},
             {"EOT Number", 26, 20, 3, "0", "999999", ""},
             {"EOT Type Code", 46, 2, 3, "0", "3", "0"},
             {"Side Indicator Code", 48, 1, 8, "0", "1", "1"}}};
}

ExpectedFormat Hex() {
    return {"Hex", 0, 99, 2, 1, 1,
            {{"Charcters 1 to 10", 0, 40, 9, "", "", ""},
             {"Charcters 11 to 20", 40, 40, 9, "", "", ""},
             {"Charcters 21 to 30", 84, 40, 9, "", "", ""}}};
}

ExpectedFormat Sara() {
    return {"SARA", 0, 99, 2, 1, 1,
            {{"Asset Type", 0, 36, 0, "", "", ""},
             {"Blank", 36, 6, 10, "", "", ""},
             {"Owner Code", 42, 12, 0, "", "", ""},
             {"Blank", 54, 6, 10, "", "", ""},
             {"Wagon Number", 64, 48, 0, "", "", ""},
             {"Blank", 112, 6, 10, "", "", ""},
             {"Orientation", 118, 6, 0, "", "", ""}}};
}

ExpectedFormat Container() {
    return {"Container", 10, 51, 2, 1, 1,
            {{"Owner's Code", 7, 19, 1, "A   ", "ZZZZ", ""},
             {"Number", 26, 20, 3, "0", "999999", ""},
             {"Check Digit", 46, 4, 3, "0", "9", ""},
             {"Length", 50, 11, 3, "0", "2000", ""},
             {"Height", 65, 9, 3, "0", "500", ""},
             {"Width", 74, 7, 3, "200", "300", ""},
             {"Type Code", 81, 7, 3, "1", "128", ""},
             {"Max Gross Weight", 88, 9, 3, "45", "455", ""},
             {"Tare Weight", 97, 7, 3, "0", "91", ""},
             {"Spare", 104, 2, 3, "0", "3", ""}}};
}

ExpectedFormat AsciiHalf() {
    return {"ASCII Half Frame", 0, 0, 2, 8, 0, {{"Characters 1 to 10", 0, 60, 0, "", "", ""}}};
}

ExpectedFormat HexHalf() {
    return {"Hex Half Frame ", 0, 99, 2, 8, 0,
            {{"Charcters 1 to 10", 0, 40, 9, "", "", ""}, {"Charcters 11 to 15", 40, 20, 9, "", "", ""}}};
}

// A row not in use: no name, no texts, bits, length and type not set.
void ExpectUnsetRow(const TagFormatData& f, int r) {
    SCOPED_TRACE("row " + std::to_string(r));
    EXPECT_EQ(f.FieldName(r), "");
    EXPECT_EQ(f.startingBit[r], 255);
    EXPECT_EQ(f.length[r], 255);
    EXPECT_EQ(f.type[r], 255);
    EXPECT_EQ(f.Minimum(r), "");
    EXPECT_EQ(f.Maximum(r), "");
    EXPECT_EQ(f.Default(r), "");
}

void ExpectFormat(const TagFormatData& f, const ExpectedFormat& e, int slot) {
    SCOPED_TRACE(std::string("slot ") + std::to_string(slot) + " " + e.name);
    EXPECT_EQ(f.defined, 1);
    EXPECT_EQ(f.systemSlot, 1);
    EXPECT_EQ(f.notForReading, 0);
    EXPECT_EQ(f.Name(), e.name);
    EXPECT_EQ(f.equipmentGroupCode, e.equipment);
    EXPECT_EQ(f.dataFormatCode, e.formatCode);
    EXPECT_EQ(f.tagTypeCode, e.tagType);
    EXPECT_EQ(f.defaultTag, e.defaultTag);
    EXPECT_EQ(f.fullFrame, e.fullFrame);
    ASSERT_EQ(f.RowCount(), static_cast<int>(e.rows.size()));
    for (int r = 0; r < kFieldRows; ++r) {
        if (r >= static_cast<int>(e.rows.size())) {
            ExpectUnsetRow(f, r);
            continue;
        }
        SCOPED_TRACE("row " + std::to_string(r));
        const ExpectedRow& x = e.rows[r];
        EXPECT_EQ(f.FieldName(r), x.name);
        EXPECT_EQ(f.startingBit[r], x.start);
        EXPECT_EQ(f.length[r], x.length);
        EXPECT_EQ(f.type[r], x.type);
        EXPECT_EQ(f.Minimum(r), x.minimum);
        EXPECT_EQ(f.Maximum(r), x.maximum);
        EXPECT_EQ(f.Default(r), x.defaultText);
    }
    for (uint8_t b : f.reserved) EXPECT_EQ(b, 0);
}

void ExpectReserved(const TagFormatData& f, int slot) {
    SCOPED_TRACE("reserved slot " + std::to_string(slot));
    EXPECT_EQ(f.defined, 0);
    EXPECT_EQ(f.systemSlot, 1);
    EXPECT_EQ(f.defaultTag, 1);
    EXPECT_EQ(f.fullFrame, 1);
    EXPECT_EQ(f.Name(), "");
    for (int r = 0; r < kFieldRows; ++r) ExpectUnsetRow(f, r);
}

struct BuiltInFormats : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};

    void Build(int model, int32_t region) {
        SettingsBlock s = data.GetSettings();
        s.programmerModel = static_cast<uint8_t>(model);
        data.UpdateSettings(s);
        data.SetMarketRegion(region);
        data.BuildBuiltInFormats();
    }
};

TEST_F(BuiltInFormats, NorthAmericaSet) {
    Build(2, kRegionNorthAmerica);
    const ExpectedFormat set[] = {Railcar(), LocomotiveA(), Ascii(), Eot(), Hex(), Container()};
    for (int i = 0; i < 6; ++i) ExpectFormat(data.GetTagFormatData(i), set[i], i);
}

TEST_F(BuiltInFormats, FreshObjectHoldsTheNorthAmericaSet) {
    const ExpectedFormat set[] = {Railcar(), LocomotiveA(), Ascii(), Eot(), Hex(), Container()};
    for (int i = 0; i < 6; ++i) ExpectFormat(data.GetTagFormatData(i), set[i], i);
    for (int i = 6; i < kFormatSlots; ++i) {
        EXPECT_EQ(data.GetTagFormatData(i).defined, 0);
        EXPECT_EQ(data.GetTagFormatData(i).systemSlot, 0);
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(BuiltInFormats, SaraSetPutsSaraInSlotFour) {
    Build(0, kRegionSARA);
    const ExpectedFormat set[] = {Railcar(), LocomotiveA(), Ascii(), Eot(), Sara(), Container()};
    for (int i = 0; i < 6; ++i) ExpectFormat(data.GetTagFormatData(i), set[i], i);
}

TEST_F(BuiltInFormats, AustraliaSetHasRailWagonAndLocomotiveWithOwner) {
    Build(2, kRegionAustralia);
    const ExpectedFormat set[] = {RailWagon(), LocomotiveB(), Ascii(), Eot(), Hex(), Container()};
    for (int i = 0; i < 6; ++i) ExpectFormat(data.GetTagFormatData(i), set[i], i);
}

TEST_F(BuiltInFormats, HalfFrameModeLeavesOnlyTheTwoHalfFrameFormats) {
    TagFormatData mine;
    mine.defined = 1;
    SetText(mine.formatName, "Mine");
    data.UpdateTagFormatData(17, mine);
    for (int32_t region : {kRegionNorthAmerica, kRegionSARA, kRegionAustralia}) {
        Build(1, region);
        ExpectFormat(data.GetTagFormatData(0), AsciiHalf(), 0);
        ExpectFormat(data.GetTagFormatData(1), HexHalf(), 1);
        for (int i = 2; i < 6; ++i) ExpectReserved(data.GetTagFormatData(i), i);
        EXPECT_EQ(data.GetTagFormatData(17).Name(), "Mine");
    }
    EXPECT_EQ(data.FindTagFormatByName("Railcar"), -1);
    EXPECT_EQ(data.FindTagFormatByName("Hex Half Frame "), 1);
    EXPECT_EQ(data.FindTagFormatByName("Hex Half Frame"), -1);
}

TEST_F(BuiltInFormats, LeavingHalfFrameModeBringsTheFullSetBack) {
    Build(1, kRegionNorthAmerica);
    Build(0, kRegionNorthAmerica);
    ExpectFormat(data.GetTagFormatData(3), Eot(), 3);
}

TEST_F(BuiltInFormats, OverwriteWhateverTheSystemSlotsHeld) {
    TagFormatData junk;
    junk.defined = 1;
    junk.notForReading = 1;
    junk.reserved[5] = 9;
    SetText(junk.formatName, "Junk");
    SetText(junk.fieldName[14], "Row 14");
    for (int i = 0; i < 6; ++i) data.UpdateTagFormatData(i, junk);
    Build(2, kRegionNorthAmerica);
    ExpectFormat(data.GetTagFormatData(3), Eot(), 3);
    Build(1, kRegionNorthAmerica);
    ExpectReserved(data.GetTagFormatData(3), 3);
}

TEST_F(BuiltInFormats, ResetTheImportSettings) {
    ImportSettings s;
    SetText(s.fileName, "other.csv");
    SetText(s.delimiter, ";");
    s.flag1 = 1;
    s.flag2 = 0;
    data.UpdateImportSettings(s);
    data.BuildBuiltInFormats();
    ImportSettings t = data.GetImportSettings();
    EXPECT_EQ(GetText(t.fileName), "import.txt");
    EXPECT_EQ(GetText(t.delimiter), ",");
    EXPECT_EQ(t.flag1, 0);
    EXPECT_EQ(t.flag2, 1);
}

// The stored bytes of the built-in "EOT Device" record, offset by offset.
TEST(TagFormatRecord, GoldenBytesOfTheEotDevice) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    uint8_t out[kTagFormatDataSize];
    std::memset(out, 0xEE, sizeof out);
    SerializeTagFormat(data.GetTagFormatData(3), out);

    std::vector<uint8_t> expected(kTagFormatDataSize, 0);
    auto text = [&](std::size_t off, const char* s) { std::memcpy(expected.data() + off, s, std::strlen(s)); };
    expected[0] = 1;
    text(1, "EOT Device");
    expected[32] = 6;
    expected[33] = 51;
    expected[34] = 2;
    const char* names[] = {"EOT Initial", "EOT Number", "EOT Type Code", "Side Indicator Code"};
    const int start[] = {7, 26, 46, 48}, len[] = {19, 20, 2, 1}, type[] = {1, 3, 3, 8};
    const char* mins[] = {"A   ", "0", "0", "0"};
    const char* maxs[] = {"ZZZZ", "999999", "3", "1"};
    const char* defs[] = {"", "", "0", "1"};
    for (int r = 0; r < 15; ++r) {
        expected[500 + r] = r < 4 ? start[r] : 255;
        expected[515 + r] = r < 4 ? len[r] : 255;
        expected[530 + r] = r < 4 ? type[r] : 255;
        if (r < 4) {
            text(35 + 31 * r, names[r]);
            text(545 + 10 * r, mins[r]);
            text(695 + 10 * r, maxs[r]);
            text(845 + 10 * r, defs[r]);
        }
    }
    expected[995] = 1;
    expected[996] = 7;
    expected[997] = 0;
    expected[998] = 1;
    EXPECT_EQ(std::vector<uint8_t>(out, out + kTagFormatDataSize), expected);

    TagFormatData back = DeserializeTagFormat(out);
    uint8_t again[kTagFormatDataSize];
    SerializeTagFormat(back, again);
    EXPECT_EQ(std::memcmp(out, again, sizeof out), 0);
}

} // namespace
} // namespace velmora
