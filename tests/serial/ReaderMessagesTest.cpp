// The reader message table, its lookups with their trap, and the frames built
// from it.
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

// The entries in their stored order (FRE and FLE carry each other's index),
// with their replies, directions (1 sent by the system, 0 by the reader, 2
// either), sends and whether they carry data.
TEST(ReaderMessageTable, StoredOrderRepliesDirectionsSendsAndData) {
    struct Want {
        const char* code;
        int index;
        const char* reply;
        int direction, sends, carriesData;
    };
    const Want want[] = {
        {"FSP", 0, "SSP", 1, 3, 0},  {"FHD", 1, "SHR", 1, 3, 0},  {"FRD", 2, "SDD", 1, 3, 1},
        {"FRE", 5, "SHR", 1, 3, 1},  {"FLD", 4, "SHR", 1, 3, 0},  {"FLE", 3, "SHR", 1, 3, 0},
        {"FAD", 6, "SHR", 1, 3, 0},  {"FAE", 7, "SHR", 1, 3, 0},  {"FMC", 8, "SMC", 1, 3, 0},
        {"FSA", 9, "RAM", 1, 3, 0},  {"FCA", 10, "RAM", 1, 3, 1}, {"ACK", 11, "", 2, 3, 0},
        {"NAK", 12, "", 2, 3, 0},    {"SSP", 13, "ACK", 0, 3, 0}, {"SHR", 14, "ACK", 0, 3, 0},
        {"SDD", 15, "ACK", 0, 3, 0}, {"SDE", 16, "ACK", 0, 3, 0}, {"SMC", 17, "ACK", 0, 3, 0},
        {"SAC", 18, "ACK", 0, 3, 0}, {"EOD", 19, "", 0, 1, 0}};
    const auto& table = ReaderMessageTable();
    ASSERT_EQ(table.size(), std::size(want));
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Want& w = want[i];
        EXPECT_STREQ(table[i].code, w.code) << "slot " << i;
        EXPECT_EQ(table[i].index, w.index) << w.code;
        const ReaderMessageFormat f = GetMessageFormat(data, w.index);
        EXPECT_STREQ(f.code, w.code);
        EXPECT_STREQ(f.reply, w.reply) << w.code;
        EXPECT_EQ(f.direction, w.direction) << w.code;
        EXPECT_EQ(f.sends, w.sends) << w.code;
        EXPECT_EQ(f.carriesData, w.carriesData) << w.code;
    }
    EXPECT_TRUE(op.boxes.empty());
}

TEST(ReaderMessageTable, LookupByCodeComparesTheFirstThreeLettersExactly) {
    const std::pair<const char*, int> cases[] = {{"FRE", 5}, {"FLE", 3},  {"SSPSHOP0001...", 13}, {"EOD", 19},
                                                 {"ssp", -1}, {"RAM", -1}, {"SS", -1},            {"", -1}};
    for (const auto& [text, index] : cases) EXPECT_EQ(FindMessageCode(text), index) << text;
}

TEST(ReaderMessageTable, BadIndexRaisesTheTrapAndGivesTheFirstEntry) {
    for (int bad : {-1, 20, 21, 1000}) {
        ScriptedOperator op;
        FakeClock clock;
        AEIData data(op, clock);
        data.SetOperationName("TAEIDec::EvTimer");
        EXPECT_STREQ(GetMessageFormat(data, bad).code, "FSP");
        ASSERT_EQ(op.boxes.size(), 1u);
        EXPECT_EQ(op.boxes[0].caption, "Internal Error Trap");
        EXPECT_EQ(op.boxes[0].text.rfind("Message Code Error - GetMessageFormat value \"" + std::to_string(bad) +
                                             "\" called by \"TAEIDec::EvTimer\".", 0), 0u)
            << op.boxes[0].text;
    }
}

TEST(ReaderFrames, DataOnlyForEntriesThatCarryIt) {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    EXPECT_EQ(BuildReaderFrame(data, kMsgFSP, "123"), "\x02" "FSP\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgFRD, "0042"), "\x02" "FRD0042\x03");
    EXPECT_EQ(BuildReaderFrame(data, kMsgACK), "\x02" "ACK\x03");
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(BuildReaderFrame(data, 42, "x"), "\x02" "FSP\x03"); // the first entry's frame after the trap
    EXPECT_EQ(op.boxes.size(), 1u);
}

} // namespace
} // namespace velmora::test
