// The texts of the UMLER record window, the Find dialog and the load gauge,
// and the current record kept by the application data object.
#include "umler/UmlerExtract.h"
#include "umler/UmlerTexts.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

TEST(UmlerTexts, LengthInFeetAndInches) {
    EXPECT_EQ(UmlerLengthText(474), "39' 6\"");
    EXPECT_EQ(UmlerLengthText(0), "0' 0\"");
    EXPECT_EQ(UmlerLengthText(11), "0' 11\"");
    EXPECT_EQ(UmlerLengthText(12), "1' 0\"");
    EXPECT_EQ(UmlerLengthText(65535), "5461' 3\"");
}

TEST(UmlerTexts, WeightsInPounds) {
    EXPECT_EQ(UmlerWeightText(0), "");
    EXPECT_EQ(UmlerWeightText(5), "0,500");
    EXPECT_EQ(UmlerWeightText(654), "65,400");
    EXPECT_EQ(UmlerWeightText(9999), "999,900");
    EXPECT_EQ(UmlerWeightText(10), "1,000");
    EXPECT_EQ(UmlerWeightText(65535), "6553,500");
}

TEST(UmlerTexts, RecordWindowFields) {
    UmlerRecord r = ParseUmlerLine(" TTX 123456T106089060B06540000");
    UmlerRecordTexts t = MakeUmlerRecordTexts(r, "TTX 123456");
    EXPECT_EQ(t.vehicleId, "TTX 123456");
    EXPECT_EQ(t.type, "T106");
    EXPECT_EQ(t.axles, "10");
    EXPECT_EQ(t.platform, "12");
    EXPECT_EQ(t.length, "89' 6\"");
    EXPECT_EQ(t.tareWeight, "65,400");
    EXPECT_EQ(t.capacity, ""); // 0 shows nothing

    UmlerRecord loco = ParseUmlerLine(" UP  000001D3  050004Z6  77777");
    t = MakeUmlerRecordTexts(loco, "UP  000001");
    EXPECT_EQ(t.type, "D3  ");
    EXPECT_EQ(t.axles, "6");
    EXPECT_EQ(t.platform, "0");
    EXPECT_EQ(t.tareWeight, "");
}

TEST(UmlerTexts, NoRecordEmptiesEveryField) {
    UmlerRecord none;
    none.axles = 4;
    none.tare = 5;
    UmlerRecordTexts t = MakeUmlerRecordTexts(none, "NS  001234");
    for (const std::string* f : {&t.vehicleId, &t.type, &t.axles, &t.platform, &t.length, &t.tareWeight, &t.capacity})
        EXPECT_EQ(*f, "");
}

TEST(UmlerTexts, GaugeTitleAndMessages) {
    EXPECT_EQ(UmlerGaugeTitle(42), "Loading UMLER 42%");
    EXPECT_STREQ(kUmlerCannotFind, "Cannot find car in UMLER.");
    EXPECT_STREQ(kUmlerInvalidVehicleNumber, "Invalid vehicle number.");
}

TEST(UmlerCurrentRecord, KeptByTheApplicationData) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    EXPECT_EQ(data.GetUMLERRecord().initialCode, -1); // none at start-up
    EXPECT_EQ(data.GetVehicleKey(), "");

    UmlerRecord r = ParseUmlerLine(" TTX 123456T106089060B06540000");
    data.SetUMLERRecord(r);
    data.SetVehicleKey("TTX 123456");
    EXPECT_EQ(data.GetUMLERRecord().number, 123456);
    EXPECT_STREQ(data.GetUMLERRecord().typeCode, "T106");
    EXPECT_EQ(data.GetVehicleKey(), "TTX 123456");
    data.SetVehicleKey("TOO LONG FOR THE KEY FIELD");
    EXPECT_EQ(data.GetVehicleKey().size(), kVehicleKeyLength);
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora
