// The fixed reference tables: equipment types, the WABTEC parts list and the
// background colours, with their look-ups.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora {
namespace {

struct RefFixture : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
};

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

using CarTypes = RefFixture;

TEST_F(CarTypes, LookUpByCodePrefixThenCategoryThenName) {
    const struct {
        const char* code;
        int category;
        const char* name;
        const char* found;
    } cases[] = {
        {"R100", -1, "", "R 7 1 Refrigerated"},
        {"D123", -1, "", "D1 10 10 Road Diesel"},
        {"L612", -1, "", "L6 5 5 Hopper"},
        {"XX", -1, "", "XX 16 16 Trailer"},
        {"H350", 5, "Coal Hopper", "H 5 5 Hopper"}, // the first row wins between equal codes
        {"D", 10, "Road Diesel", " 1 1 Unknown"},    // no prefix match, and a code is never looked up otherwise
        {"r100", -1, "", " 1 1 Unknown"},
        {"", 13, "", "XX 13 13 Tractor"},
        {"", 4, "Tank", "E 4 4 Gondola"},
        {"", -1, "Coal Hopper", "H 5 5 Coal Hopper"},
        {"", 99, "", " 1 1 Unknown"},
        {"", -1, "Caboose", " 1 1 Unknown"},
        {"", -1, "Unknown", " 1 1 Unknown"},
        {"", -1, "", " 1 1 Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(Car(data.GetCarType(c.code, c.category, c.name)), c.found) << c.code;
}

using WABTEC = RefFixture;

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
    EXPECT_EQ(data.FindWABTEC("CR  ", 1), 2);
    EXPECT_EQ(data.FindWABTEC("CR", 1), -1);
    EXPECT_EQ(data.FindWABTEC("CR  ", 0), -1);
    EXPECT_EQ(data.FindWABTEC("BNQ ", 0), 18);
    EXPECT_EQ(data.FindWABTEC("WRE ", 0), 28);
    EXPECT_EQ(data.FindWABTEC("bnq ", 1), -1);
    EXPECT_EQ(data.FindWABTEC("", 0), -1);
    EXPECT_EQ(data.GetWABTECData(-5).partNumber, 4508u); // and the trap, proven in AEIDataTest
}

using BackgroundColors = RefFixture;

TEST_F(BackgroundColors, SevenColoursWithRedInTheLowByteAndFindByName) {
    const std::pair<const char*, uint32_t> expected[] = {
        {"Gold", 0x00C8FF},         {"Gray", 0x808080},  {"White", 0xFFFFFF},     {"Light Gray", 0xC0C0C0},
        {"Greenish Yellow", 0x00C0C0}, {"Green", 0x00FF00}, {"Dark Green", 0x00C000}};
    for (int i = 0; i < kBackgroundColors; ++i) {
        const BackgroundColor c = data.GetBackgroundColor(i);
        EXPECT_EQ(c.defined, i < 7 ? 1 : 0) << i;
        EXPECT_EQ(GetText(c.name), i < 7 ? expected[i].first : "") << i;
        if (i < 7) EXPECT_EQ(c.value, expected[i].second) << i;
    }
    EXPECT_EQ(data.FindBackgroundColor("Dark Green"), 6);
    EXPECT_EQ(data.FindBackgroundColor("dark green"), -1);
    EXPECT_EQ(data.FindBackgroundColor(""), -1);
    EXPECT_EQ(GetText(data.GetBackgroundColor(20).name), "Gold");
}

} // namespace
} // namespace velmora
