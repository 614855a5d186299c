// The manufacturing lot number: its three messages and the year, day and
// "recent" rules with a fixed date, and what OK stores in the last tag record.
#include "data/LotNumber.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

LocalDateTime Day(int year, int dayOfYear) {
    LocalDateTime t;
    t.year = year;
    t.dayOfYear = dayOfYear;
    return t;
}

TEST(LotNumber, LengthAndDigits) {
    const LocalDateTime today = Day(2026, 73);
    for (const char* bad : {"", "2610", "261000", "26 10", "2a100", "-2610", "26100 "}) {
        const LotNumberResult r = CheckLotNumber(bad, today);
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.message, "Lot date must be five digits long.") << bad;
    }
}

TEST(LotNumber, YearsUpToTheCurrentOneAreThisCentury) {
    const LocalDateTime today = Day(2026, 73);
    LotNumberResult r = CheckLotNumber("26100", today);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.year, 126);
    EXPECT_EQ(r.day, 100);
    r = CheckLotNumber("90001", today);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.year, 90);
    EXPECT_FALSE(r.recent);
    r = CheckLotNumber("27001", today); // next year's two digits count as 1927
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message,
              "The first two digits of the lot code (year manufactured) must be between 90 and 26.");
    r = CheckLotNumber("89001", today);
    EXPECT_EQ(r.message,
              "The first two digits of the lot code (year manufactured) must be between 90 and 26.");
}

TEST(LotNumber, YearMessageShowsTwoDigits) {
    EXPECT_EQ(CheckLotNumber("50001", Day(2005, 10)).message,
              "The first two digits of the lot code (year manufactured) must be between 90 and 05.");
    EXPECT_EQ(LotYearRangeText(0), "The first two digits of the lot code (year manufactured) must be between 90 and 00.");
}

TEST(LotNumber, DayOfTheYear) {
    const LocalDateTime today = Day(2026, 73);
    const char* dayText =
        "The last three digits of the lot code (Julian date when manufactured) must be between 1 and 366.";
    EXPECT_EQ(CheckLotNumber("00000", today).message, dayText); // year 100 passes, day 0 does not
    EXPECT_EQ(CheckLotNumber("25367", today).message, dayText);
    EXPECT_EQ(CheckLotNumber("25999", today).message, dayText);
    EXPECT_TRUE(CheckLotNumber("25366", today).ok);
    EXPECT_TRUE(CheckLotNumber("25001", today).ok);
}

TEST(LotNumber, RecentMeansAtMostFiveYearsOld) {
    // Five years back to the day: recent while today's day has not passed
    // the lot's day.
    EXPECT_TRUE(CheckLotNumber("21200", Day(2026, 200)).recent);
    EXPECT_TRUE(CheckLotNumber("21200", Day(2026, 1)).recent);
    EXPECT_FALSE(CheckLotNumber("21200", Day(2026, 201)).recent);
    EXPECT_FALSE(CheckLotNumber("20365", Day(2026, 1)).recent);
    EXPECT_TRUE(CheckLotNumber("22001", Day(2026, 366)).recent);
    EXPECT_TRUE(CheckLotNumber("26100", Day(2026, 73)).recent);
}

TEST(LotNumber, AcrossTheCentury) {
    // In 2001: 98 is 1998 (recent), 01 is this year, 02 is 1902 (refused).
    EXPECT_TRUE(CheckLotNumber("98100", Day(2001, 50)).recent);
    EXPECT_EQ(CheckLotNumber("01010", Day(2001, 50)).year, 101);
    EXPECT_FALSE(CheckLotNumber("02010", Day(2001, 50)).ok);
}

class LotNumberApply : public ::testing::Test {
protected:
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
};

TEST_F(LotNumberApply, OkStoresTheLotDataInTheLastTagRecord) {
    clock.local.year = 2026;
    clock.local.dayOfYear = 150;
    LastTagRecord before = data.GetLastTagRecord();
    before.SetFieldText(0, "ABCD");
    data.UpdateLastTagRecord(before);

    ASSERT_TRUE(ApplyLotNumber(data, "21200"));
    LastTagRecord r = data.GetLastTagRecord();
    EXPECT_EQ(r.reconditioned, 1);
    EXPECT_EQ(r.lotDay, 200u);
    EXPECT_EQ(r.lotYear, 21u);
    EXPECT_EQ(r.FieldText(0), "ABCD"); // the rest of the record stays
    EXPECT_TRUE(op.boxes.empty());

    ASSERT_TRUE(ApplyLotNumber(data, "95010"));
    r = data.GetLastTagRecord();
    EXPECT_EQ(r.reconditioned, 0);
    EXPECT_EQ(r.lotDay, 10u);
    EXPECT_EQ(r.lotYear, 95u);

    ASSERT_TRUE(ApplyLotNumber(data, "26100"));
    EXPECT_EQ(data.GetLastTagRecord().lotYear, 26u); // 126 modulo 100
}

TEST_F(LotNumberApply, ABadLotNumberIsShownAndNothingStored) {
    clock.local.year = 2026;
    LastTagRecord before = data.GetLastTagRecord();
    before.lotDay = 7;
    data.UpdateLastTagRecord(before);
    EXPECT_FALSE(ApplyLotNumber(data, "123"));
    EXPECT_FALSE(ApplyLotNumber(data, "89001"));
    EXPECT_FALSE(ApplyLotNumber(data, "00000"));
    ASSERT_EQ(op.boxes.size(), 3u);
    for (const auto& b : op.boxes) {
        EXPECT_EQ(b.caption, data.ProductCaption());
        EXPECT_EQ(b.icon, MsgIcon::Stop);
    }
    EXPECT_EQ(op.boxes[0].text, "Lot date must be five digits long.");
    EXPECT_NE(op.boxes[1].text.find("between 90 and 26."), std::string::npos);
    EXPECT_NE(op.boxes[2].text.find("between 1 and 366."), std::string::npos);
    EXPECT_EQ(data.GetLastTagRecord().lotDay, 7u);
}

} // namespace
} // namespace velmora
