// The fixed reference tables: equipment types, the WABTEC parts list and the
// background colours, with their look-ups.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct RefFixture : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
};

void ExpectCar(const CarType& t, const char* code, int cat, int second, const char* name) {
    EXPECT_EQ(GetText(t.code), code);
    EXPECT_EQ(t.category, cat);
    EXPECT_EQ(t.secondCategory, second);
    EXPECT_EQ(GetText(t.name), name);
}

using CarTypes = RefFixture;

TEST_F(CarTypes, TypeCodeIsMatchedByTheRecordCodeAsPrefix) {
    ExpectCar(data.GetCarType("R100", -1, ""), "R", 7, 1, "Refrigerated");
    ExpectCar(data.GetCarType("D123", -1, ""), "D1", 10, 10, "Road Diesel");
    ExpectCar(data.GetCarType("D3", -1, ""), "D3", 11, 11, "Switcher");
    ExpectCar(data.GetCarType("A405", -1, ""), "A", 1, 1, "Box");
    ExpectCar(data.GetCarType("L612", -1, ""), "L6", 5, 5, "Hopper");
    ExpectCar(data.GetCarType("XX", -1, ""), "XX", 16, 16, "Trailer");
}

TEST_F(CarTypes, RecordOrderDecidesBetweenEqualCodes) {
    ExpectCar(data.GetCarType("H", -1, ""), "H", 5, 5, "Hopper");
    ExpectCar(data.GetCarType("H350", 5, "Coal Hopper"), "H", 5, 5, "Hopper");
}

TEST_F(CarTypes, TypeCodeShorterThanTheRecordCodeOrUnknownGivesUnknown) {
    // "D" alone is no prefix match for "D1", and a text is never looked up
    // by number or name.
    ExpectCar(data.GetCarType("D", 10, "Road Diesel"), "", 1, 1, "Unknown");
    ExpectCar(data.GetCarType("Z99", -1, ""), "", 1, 1, "Unknown");
    ExpectCar(data.GetCarType("r100", -1, ""), "", 1, 1, "Unknown");
}

TEST_F(CarTypes, CategoryThenNameWhenTheTextIsEmpty) {
    ExpectCar(data.GetCarType("", 13, ""), "XX", 13, 13, "Tractor");
    ExpectCar(data.GetCarType("", 4, "Tank"), "E", 4, 4, "Gondola");
    ExpectCar(data.GetCarType("", -1, "Coal Hopper"), "H", 5, 5, "Coal Hopper");
    ExpectCar(data.GetCarType("", -1, "Slug"), "D4", 12, 12, "Slug");
    ExpectCar(data.GetCarType("", 99, ""), "", 1, 1, "Unknown");
    ExpectCar(data.GetCarType("", -1, "Caboose"), "", 1, 1, "Unknown");
}

TEST_F(CarTypes, EverythingEmptyGivesUnknown) {
    ExpectCar(data.GetCarType("", -1, ""), "", 1, 1, "Unknown");
    // The unknown entry itself is never found by its name or number.
    ExpectCar(data.GetCarType("", -1, "Unknown"), "", 1, 1, "Unknown");
}

TEST(CarTypeTable, RowsAsFilled) {
    CarType t[kCarTypes];
    FillCarTypes(t);
    ExpectCar(t[0], "A", 1, 1, "Box");
    ExpectCar(t[2], "C", 5, 5, "Covered Hopper");
    ExpectCar(t[5], "D4", 12, 12, "Slug");
    ExpectCar(t[19], "L9", 3, 3, "Flat");
    ExpectCar(t[22], "R", 7, 1, "Refrigerated");
    ExpectCar(t[25], "V", 9, 9, "Auto Rack");
    ExpectCar(t[26], "H", 5, 5, "Coal Hopper");
    ExpectCar(t[28], "XX", 13, 13, "Tractor");
    for (int i = 29; i < 50; ++i) EXPECT_EQ(GetText(t[i].code), "") << i;
    ExpectCar(t[50], "", 1, 1, "Unknown");
}

using WABTEC = RefFixture;

TEST_F(WABTEC, RecordsAsFilled) {
    WABTECData w = data.GetWABTECData(2);
    EXPECT_EQ(w.defined, 1);
    EXPECT_EQ(w.partNumber, 4511u);
    EXPECT_EQ(GetText(w.mark), "CR  ");
    EXPECT_EQ(w.numberPrefix, 9);
    EXPECT_EQ(w.eotTypeCode, 0);
    EXPECT_EQ(w.sideCode, 1);
    EXPECT_EQ(w.tagTypeFlag, 1);

    w = data.GetWABTECData(23);
    EXPECT_EQ(w.partNumber, 4736u);
    EXPECT_EQ(GetText(w.mark), "CNQ ");
    EXPECT_EQ(w.numberPrefix, 8);
    EXPECT_EQ(w.sideCode, 0);
    EXPECT_EQ(w.tagTypeFlag, 0);

    w = data.GetWABTECData(28);
    EXPECT_EQ(w.partNumber, 81319u);
    EXPECT_EQ(GetText(w.mark), "WRE ");

    EXPECT_EQ(data.GetWABTECData(4).eotTypeCode, 2);
    EXPECT_EQ(data.GetWABTECData(9).sideCode, 0);
    for (int i = 29; i < kWABTECRecords; ++i) EXPECT_EQ(data.GetWABTECData(i).defined, 0) << i;
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(WABTEC, FindNeedsTheBlankPaddedMarkAndTheTagTypeFlag) {
    EXPECT_EQ(data.FindWABTEC("CR  ", 1), 2);
    EXPECT_EQ(data.FindWABTEC("CR", 1), -1);
    EXPECT_EQ(data.FindWABTEC("CR  ", 0), -1); // no AT5545 row for CR
    EXPECT_EQ(data.FindWABTEC("BNQ ", 1), 0);
    EXPECT_EQ(data.FindWABTEC("BNQ ", 0), 18);
    EXPECT_EQ(data.FindWABTEC("WRE ", 0), 28);
    EXPECT_EQ(data.FindWABTEC("bnq ", 1), -1);
}

TEST_F(WABTEC, EmptyMarkNeverMatchesAnUndefinedRecord) {
    EXPECT_EQ(data.FindWABTEC("", 0), -1);
    EXPECT_EQ(data.FindWABTEC("", 1), -1);
}

TEST_F(WABTEC, BadIndexReturnsRecordZero) {
    WABTECData w = data.GetWABTECData(-5);
    EXPECT_EQ(w.partNumber, 4508u);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_NE(op.boxes[0].text.find("WABTEC Data index error - GetWABTECData value \"-5\""), std::string::npos);
}

using BackgroundColors = RefFixture;

TEST_F(BackgroundColors, SevenDefinedColoursWithRedInTheLowByte) {
    const struct {
        const char* name;
        uint32_t value;
    } expected[] = {{"Gold", 0x00C8FF},       {"Gray", 0x808080},  {"White", 0xFFFFFF},
                    {"Light Gray", 0xC0C0C0}, {"Greenish Yellow", 0x00C0C0},
                    {"Green", 0x00FF00},      {"Dark Green", 0x00C000}};
    for (int i = 0; i < 7; ++i) {
        BackgroundColor c = data.GetBackgroundColor(i);
        EXPECT_EQ(c.defined, 1);
        EXPECT_EQ(GetText(c.name), expected[i].name);
        EXPECT_EQ(c.value, expected[i].value) << expected[i].name;
    }
}

TEST_F(BackgroundColors, IndexesSevenToNineteenAreUndefined) {
    for (int i = 7; i < kBackgroundColors; ++i) {
        BackgroundColor c = data.GetBackgroundColor(i);
        EXPECT_EQ(c.defined, 0) << i;
        EXPECT_EQ(GetText(c.name), "");
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(BackgroundColors, FindByName) {
    EXPECT_EQ(data.FindBackgroundColor("Gold"), 0);
    EXPECT_EQ(data.FindBackgroundColor("Dark Green"), 6);
    EXPECT_EQ(data.FindBackgroundColor("dark green"), -1);
    EXPECT_EQ(data.FindBackgroundColor(""), -1);
}

TEST_F(BackgroundColors, BadIndexTrapsAndReturnsACopyOfRecordZero) {
    BackgroundColor c = data.GetBackgroundColor(20);
    EXPECT_EQ(GetText(c.name), "Gold");
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
}

} // namespace
} // namespace velmora
