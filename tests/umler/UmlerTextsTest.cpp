// The texts of the UMLER record window, the Find dialog and the load gauge.
#include "umler/UmlerExtract.h"
#include "umler/UmlerTexts.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(UmlerTexts, LengthsWeightsAndMessages) {
    const std::pair<int, const char*> lengths[] = {
        {474, "39' 6\""}, {0, "0' 0\""}, {11, "0' 11\""}, {12, "1' 0\""}, {65535, "5461' 3\""}};
    for (auto [inches, text] : lengths) EXPECT_EQ(UmlerLengthText(inches), text);
    const std::pair<int, const char*> weights[] = {{0, ""},           {5, "0,500"},      {10, "1,000"},
                                                   {654, "65,400"},   {9999, "999,900"}, {65535, "6553,500"}};
    for (auto [hundreds, text] : weights) EXPECT_EQ(UmlerWeightText(hundreds), text);
    EXPECT_EQ(UmlerGaugeTitle(42), "Loading UMLER 42%");
    EXPECT_STREQ(kUmlerCannotFind, "Cannot find car in UMLER.");
    EXPECT_STREQ(kUmlerInvalidVehicleNumber, "Invalid vehicle number.");
}

std::string Shown(const UmlerRecordTexts& t) {
    return t.vehicleId + "|" + t.type + "|" + t.axles + "|" + t.platform + "|" + t.length + "|" + t.tareWeight + "|" +
           t.capacity;
}

TEST(UmlerTexts, RecordWindowFields) {
    EXPECT_EQ(Shown(MakeUmlerRecordTexts(ParseUmlerLine(" TTX 123456T106089060B06540000"), "TTX 123456")),
              "TTX 123456|T106|10|12|89' 6\"|65,400|");
    EXPECT_EQ(Shown(MakeUmlerRecordTexts(ParseUmlerLine(" UP  000001D3  050004Z6  77777"), "UP  000001")),
              "UP  000001|D3  |6|0|50' 0\"||");
    UmlerRecord none;
    none.axles = 4;
    none.tare = 5;
    EXPECT_EQ(Shown(MakeUmlerRecordTexts(none, "NS  001234")), "||||||");
}

} // namespace
} // namespace velmora
