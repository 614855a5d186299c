// The receive ring and the programmer line assembler.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

void Feed(CommLinkData& link, std::string_view bytes) {
    AppendToRing(link, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::string> Lines(CommLinkData& link) {
    std::vector<std::string> out;
    std::string line;
    while (TakeProgrammerLine(link, line)) out.push_back(line);
    return out;
}

TEST(ProgrammerLines, FirstByteAfterOpenAndTheByteAfterEachCarriageReturnAreSkipped) {
    CommLinkData link;
    Feed(link, "#30\r\n#Model AP4118 Ver 1.07\r\n");
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"30", "#Model AP4118 Ver 1.07"}));
    // A bare CR line end loses the next line's first byte, as the device's
    // CR LF convention expects.
    CommLinkData bare;
    Feed(bare, "\n#Done\r#Error\r");
    EXPECT_EQ(Lines(bare), (std::vector<std::string>{"#Done", "Error"}));
}

TEST(ProgrammerLines, PrimedRingKeepsTheFirstByte) {
    CommLinkData link;
    PrimeRingForNewLine(link);
    EXPECT_EQ(RingUnconsumed(link), 0);
    std::string line;
    EXPECT_FALSE(TakeProgrammerLine(link, line));
    Feed(link, "#2010123\r\n#Done\r\n");
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"#2010123", "#Done"}));
}

TEST(ProgrammerLines, IncompleteLineStaysUntilItsCarriageReturnArrives) {
    CommLinkData link;
    Feed(link, "\n#Do");
    EXPECT_TRUE(Lines(link).empty());
    Feed(link, "ne");
    EXPECT_TRUE(Lines(link).empty());
    Feed(link, "\r\n");
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"#Done"}));
    EXPECT_EQ(RingUnconsumed(link), 0);
}

TEST(ProgrammerLines, LineSplitAcrossTheEndOfTheRingIsCutOutWhole) {
    CommLinkData link;
    // Move both indexes to 195 with consumed traffic.
    std::string filler(194, 'x');
    Feed(link, filler + "\r");
    Lines(link);
    ASSERT_EQ(link.ringWrite, 195);
    ASSERT_EQ(link.ringRead, 195);
    Feed(link, "\n#Model AP4112 Ver 2.00\r\n");
    EXPECT_LT(link.ringWrite, 195); // wrapped
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"#Model AP4112 Ver 2.00"}));
}

TEST(ProgrammerLines, LongLinesAreCutTo99CharactersWithoutOverflow) {
    CommLinkData link;
    std::string longLine = "#" + std::string(150, '7');
    Feed(link, "\n" + longLine + "\r\n");
    auto lines = Lines(link);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 99u);
    EXPECT_EQ(lines[0], longLine.substr(0, 99));
}

TEST(ProgrammerLines, LineFeedsAndNulBytesAreLeftOut) {
    CommLinkData link;
    Feed(link, std::string("\n\0#Do\nne\r\n", 10));
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"#Done"}));
}

// Sound behaviour: a full ring drops its oldest bytes and moves the read
// index with them; it never overwrites unconsumed bytes behind the read
// index, which would splice an old line's head onto a new line.
TEST(ReceiveRing, FullRingDropsOldestBytesAndKeepsTheLatestRunContiguous) {
    CommLinkData link;
    std::string noise(180, 'n');
    Feed(link, "\n" + noise);
    EXPECT_EQ(RingUnconsumed(link), 180);
    const std::size_t dropped = AppendToRing(
        link, reinterpret_cast<const uint8_t*>("\r\n#Done\r\n"), 9);
    EXPECT_EQ(dropped, 0u);
    std::string more(100, 'm');
    const std::size_t dropped2 =
        AppendToRing(link, reinterpret_cast<const uint8_t*>(more.data()), more.size());
    EXPECT_GT(dropped2, 0u);
    EXPECT_EQ(RingUnconsumed(link), kRingSize - 2);
    // Whatever is left is the tail of the stream, in order.
    auto lines = Lines(link);
    for (const auto& l : lines) {
        EXPECT_EQ(l.find_first_not_of("n#Done"), std::string::npos) << l;
        EXPECT_EQ(l.find('m'), std::string::npos) << l;
    }
    std::string stream = "\n" + noise + "\r\n#Done\r\n" + more;
    // The unconsumed bytes equal the last bytes of the stream.
    std::string held;
    for (int i = (link.ringRead + 1) % kRingSize; i != link.ringWrite; i = (i + 1) % kRingSize)
        held.push_back(static_cast<char>(link.ring[i]));
    EXPECT_EQ(held, stream.substr(stream.size() - held.size()));
}

TEST(ReceiveRing, OverflowMidRingKeepsTheNewestBytesInOrder) {
    // The read index sits mid-ring when an unfinished line outgrows the
    // ring: the line that finally ends holds the newest bytes in arrival
    // order (all 120 B's after the surviving A's), and the next line is intact.
    CommLinkData link;
    Feed(link, "\n" + std::string(98, 'x') + "\r\n");
    ASSERT_EQ(Lines(link).size(), 1u);
    ASSERT_EQ(link.ringRead, 100);
    Feed(link, std::string(120, 'A'));
    EXPECT_TRUE(Lines(link).empty());
    Feed(link, std::string(120, 'B'));
    EXPECT_TRUE(Lines(link).empty());
    Feed(link, "\r\n#Done\r\n");
    auto lines = Lines(link);
    ASSERT_EQ(lines.size(), 2u);
    const std::size_t firstB = lines[0].find('B');
    ASSERT_NE(firstB, std::string::npos);
    EXPECT_EQ(lines[0].substr(0, firstB), std::string(firstB, 'A'));
    EXPECT_EQ(lines[0].substr(firstB), std::string(99 - firstB, 'B'));
    EXPECT_EQ(lines[1], "#Done");
}

TEST(ReceiveRing, DamagedIndexesAreBroughtBackIntoRange) {
    CommLinkData link;
    link.ringWrite = 900;
    link.ringRead = -5;
    Feed(link, "\n#Done\r\n");
    EXPECT_GE(link.ringWrite, 0);
    EXPECT_LT(link.ringWrite, kRingSize);
    EXPECT_EQ(Lines(link), (std::vector<std::string>{"#Done"}));
}

TEST(ProgrammerAssembler, QueuesAndLogsNonEmptyLinesOnly) {
    LinkRig rig;
    auto dev = rig.Device(0);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    CommLinkData link = rig.Link(0);
    Feed(link, "\n\r\n\r\n#00\r\n");
    UpdateCommLinkData(rig.data, 0, link);
    EXPECT_EQ(AssembleProgrammerLines(rig.data, rig.ports, 0), 1);
    EXPECT_EQ(GetMessageCount(rig.data), 1);
    ASSERT_EQ(rig.log.RecentTraffic().size(), 1u);
    EXPECT_EQ(rig.log.RecentTraffic().back(), "03/14/2026 09:26:53 C(1) programmer R-- #00");
    const CommMessage m = GetMessageQue(rig.data, 0);
    EXPECT_EQ(m.port, 0);
    EXPECT_EQ(m.received, rig.clock.seconds);
    EXPECT_STREQ(m.text, "#00");
}

TEST(ProgrammerAssembler, FullQueueDropsLinesButKeepsTheRingMoving) {
    LinkRig rig;
    CommMessage filler;
    for (int i = 0; i < kMessageSlots; ++i) ASSERT_EQ(AddMessage(rig.data, filler), i);
    CommLinkData link = rig.Link(0);
    Feed(link, "\n#Done\r\n");
    UpdateCommLinkData(rig.data, 0, link);
    EXPECT_EQ(AssembleProgrammerLines(rig.data, rig.ports, 0), 0);
    EXPECT_EQ(RingUnconsumed(rig.Link(0)), 0);
    EXPECT_EQ(GetMessageCount(rig.data), kMessageSlots);
}

} // namespace
} // namespace velmora::test
