// The reader message table, its lookups with their trap, and the frames built
// from it.
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

TEST(ReaderMessageTable, StoredOrderCarriesEachEntrysOwnIndex) {
    const char* codes[] = {"FSP", "FHD", "FRD", "FRE", "FLD", "FLE", "FAD", "FAE", "FMC", "FSA",
                           "FCA", "ACK", "NAK", "SSP", "SHR", "SDD", "SDE", "SMC", "SAC", "EOD"};
    const int indexes[] = {0, 1, 2, 5, 4, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    const auto& table = ReaderMessageTable();
    ASSERT_EQ(table.size(), 20u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(std::string(table[i].code), codes[i]) << "slot " << i;
        EXPECT_EQ(table[i].index, indexes[i]) << codes[i];
    }
}

TEST(ReaderMessageTable, RepliesDirectionsSendsAndData) {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    struct Want {
        int index;
        const char* reply;
        int direction;
        int sends;
        int carriesData;
    };
    const Want want[] = {{0, "SSP", 1, 3, 0},  {1, "SHR", 1, 3, 0},  {2, "SDD", 1, 3, 1},  {3, "SHR", 1, 3, 0},
                         {4, "SHR", 1, 3, 0},  {5, "SHR", 1, 3, 1},  {6, "SHR", 1, 3, 0},  {7, "SHR", 1, 3, 0},
                         {8, "SMC", 1, 3, 0},  {9, "RAM", 1, 3, 0},  {10, "RAM", 1, 3, 1}, {11, "", 2, 3, 0},
                         {12, "", 2, 3, 0},    {13, "ACK", 0, 3, 0}, {14, "ACK", 0, 3, 0}, {15, "ACK", 0, 3, 0},
                         {16, "ACK", 0, 3, 0}, {17, "ACK", 0, 3, 0}, {18, "ACK", 0, 3, 0}, {19, "", 0, 1, 0}};
    for (const Want& w : want) {
        const ReaderMessageFormat f = GetMessageFormat(data, w.index);
        EXPECT_EQ(f.index, w.index);
        EXPECT_EQ(std::string(f.reply), w.reply) << f.code;
        EXPECT_EQ(f.direction, w.direction) << f.code;
        EXPECT_EQ(f.sends, w.sends) << f.code;
        EXPECT_EQ(f.carriesData, w.carriesData) << f.code;
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST(ReaderMessageTable, LookupByCodeComparesTheFirstThreeLettersExactly) {
    EXPECT_EQ(FindMessageCode("FRE"), 5);
    EXPECT_EQ(FindMessageCode("FLE"), 3);
    EXPECT_EQ(FindMessageCode("SSPSHOP0001..."), 13);
    EXPECT_EQ(FindMessageCode("EOD"), 19);
    EXPECT_EQ(FindMessageCode("ssp"), -1);
    EXPECT_EQ(FindMessageCode("RAM"), -1); // a reply code with no entry of its own
    EXPECT_EQ(FindMessageCode("SS"), -1);
    EXPECT_EQ(FindMessageCode(""), -1);
}

TEST(ReaderMessageTable, BadIndexRaisesTheTrapAndGivesTheFirstEntry) {
    for (int bad : {-1, 20, 21, 1000}) {
        ScriptedOperator op;
        FakeClock clock;
        AEIData data(op, clock);
        data.SetOperationName("TAEIDec::EvTimer");
        const ReaderMessageFormat f = GetMessageFormat(data, bad);
        EXPECT_EQ(std::string(f.code), "FSP");
        ASSERT_EQ(op.boxes.size(), 1u);
        EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
        EXPECT_EQ(op.boxes[0].text.rfind("Message Code Error - GetMessageFormat value \"" + std::to_string(bad) +
                                             "\" called by \"TAEIDec::EvTimer\".",
                                         0),
                  0u)
            << op.boxes[0].text;
    }
}

TEST(ReaderFrames, DataOnlyForEntriesThatCarryIt) {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    EXPECT_EQ(BuildReaderFrame(data, kMsgFSP), "\x02" "FSP\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgFSP, "123"), "\x02" "FSP\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgFRD, "0042"), "\x02" "FRD0042\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgFRE), "\x02" "FRE\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgACK), "\x02" "ACK\x03");
    EXPECT_TRUE(op.boxes.empty());
    // A bad index builds the first entry's frame after the trap.
    EXPECT_EQ(BuildReaderFrame(data, 42, "x"), "\x02" "FSP\x03");
    EXPECT_EQ(op.boxes.size(), 1u);
}

} // namespace
} // namespace velmora::test
