// The manufacturing lot number: its three messages and the year, day and
// "recent" rules with a fixed date, and what OK stores in the last tag record.
#include "data/LotNumber.h"

#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velmora {
namespace {

LocalDateTime Day(int year, int dayOfYear) {
    LocalDateTime t;
    t.year = year;
    t.dayOfYear = dayOfYear;
    return t;
}

const std::string kLength = "Lot date must be five digits long.";
const std::string kYear26 = "The first two digits of the lot code (year manufactured) must be between 90 and 26.";
const std::string kDay =
    "The last three digits of the lot code (Julian date when manufactured) must be between 1 and 366.";

TEST(LotNumber, Rules) {
    const struct {
        const char* lot;
        int year, day; // today
        std::string message;
        int lotYear;   // when accepted
        bool recent;
    } cases[] = {
        {"", 2026, 73, kLength},       {"2610", 2026, 73, kLength},   {"261000", 2026, 73, kLength},
        {"26 10", 2026, 73, kLength},  {"2a100", 2026, 73, kLength},  {"-2610", 2026, 73, kLength},
        {"26100 ", 2026, 73, kLength},
        {"27001", 2026, 73, kYear26},  // next year's two digits count as 1927
        {"89001", 2026, 73, kYear26},
        {"50001", 2005, 10, "The first two digits of the lot code (year manufactured) must be between 90 and 05."},
        {"02010", 2001, 50, "The first two digits of the lot code (year manufactured) must be between 90 and 01."},
        {"89001", 2000, 10, "The first two digits of the lot code (year manufactured) must be between 90 and 00."},
        {"00000", 2026, 73, kDay},     {"25367", 2026, 73, kDay},     {"25999", 2026, 73, kDay},
        {"26100", 2026, 73, "", 126, true},   {"90001", 2026, 73, "", 90, false},  {"25366", 2026, 73, "", 125, true},
        {"21200", 2026, 200, "", 121, true}, // five years back to the day
        {"21200", 2026, 1, "", 121, true},    {"21200", 2026, 201, "", 121, false}, {"20365", 2026, 1, "", 120, false},
        {"22001", 2026, 366, "", 122, true},  {"98100", 2001, 50, "", 98, true},   {"01010", 2001, 50, "", 101, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lot) + " in " + std::to_string(c.year));
        const LotNumberResult r = CheckLotNumber(c.lot, Day(c.year, c.day));
        EXPECT_EQ(std::tuple(r.ok, r.message), std::tuple(c.message.empty(), c.message));
        if (r.ok)
            EXPECT_EQ(std::tuple(r.year, r.day, r.recent), std::tuple(c.lotYear, std::stoi(std::string(c.lot).substr(2)), c.recent));
    }
}

TEST(LotNumber, OkStoresTheLotDataAndABadOneIsShownAndNothingStored) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    std::tie(clock.local.year, clock.local.dayOfYear) = std::tuple(2026, 150);
    LastTagRecord before;
    before.SetFieldText(0, "ABCD");
    data.UpdateLastTagRecord(before);
    const struct {
        const char* lot;
        int reconditioned, day, year;
    } good[] = {{"21200", 1, 200, 21}, {"95010", 0, 10, 95}, {"26100", 1, 100, 26}};
    for (const auto& g : good) {
        ASSERT_TRUE(ApplyLotNumber(data, g.lot));
        const LastTagRecord r = data.GetLastTagRecord();
        EXPECT_EQ(std::tuple(int(r.reconditioned), int(r.lotDay), int(r.lotYear), r.FieldText(0)),
                  std::tuple(g.reconditioned, g.day, g.year, "ABCD")) << g.lot;
    }
    EXPECT_TRUE(op.boxes.empty());
    for (const char* bad : {"123", "89001", "00000"}) EXPECT_FALSE(ApplyLotNumber(data, bad));
    ASSERT_EQ(op.boxes.size(), 3u);
    EXPECT_EQ(std::tuple(op.boxes[0].caption, op.boxes[0].icon), std::tuple(data.ProductCaption(), MsgIcon::Stop));
    EXPECT_EQ(op.boxes[0].text + op.boxes[1].text + op.boxes[2].text, kLength + kYear26 + kDay);
    EXPECT_EQ(data.GetLastTagRecord().lotDay, 100u);
}

} // namespace
} // namespace velmora
