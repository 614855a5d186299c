// The receive ring and the three assemblers over it: programmer lines,
// reader STX/ETX frames and CR LF tag-reading lines, on split, doubled,
// garbage-prefixed, empty, wrapping, overflowing and overlong input.
#include "ReaderRig.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReaderAssemblers.h"
#include "serial/ReceiveRing.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

void Feed(CommLinkData& link, std::string_view bytes) {
    AppendToRing(link, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

enum Kind { kLines, kPrimedLines, kFrames, kReadings };

// The texts taken, '|' between texts and '/' between the chunks fed.
std::string Take(Kind kind, CommLinkData& link) {
    std::string out, text;
    bool first = true;
    auto take = [&] {
        if (kind == kFrames) return TakeReaderFrame(link, text);
        if (kind == kReadings) return TakeTagReadingLine(link, text);
        return TakeProgrammerLine(link, text);
    };
    while (take()) {
        out += (first ? "" : "|") + text;
        first = false;
    }
    return out;
}

struct AssemblerCase {
    const char* name;
    Kind kind;
    std::vector<std::string> chunks;
    std::string expected;
    int ringRead = 0, ringWrite = 0; // where the indexes start
};

const std::string kBin(std::string("\xff\x00\x15noise", 8));

class Assemblers : public ::testing::TestWithParam<AssemblerCase> {};

TEST_P(Assemblers, TakeTheTextsWholeAndNothingElse) {
    const AssemblerCase& c = GetParam();
    CommLinkData link;
    link.ringRead = c.ringRead;
    link.ringWrite = c.ringWrite;
    if (c.kind == kPrimedLines) PrimeRingForNewLine(link);
    std::string got;
    for (std::size_t i = 0; i < c.chunks.size(); ++i) {
        Feed(link, c.chunks[i]);
        got += (i ? "/" : "") + Take(c.kind, link);
    }
    EXPECT_EQ(got, c.expected);
    // Only an unfinished text may stay behind.
    if (c.expected.back() != '/')
        EXPECT_EQ(c.kind == kFrames || c.kind == kReadings ? ReaderRingUnconsumed(link) : RingUnconsumed(link), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Assemblers,
    ::testing::Values(
        // Whole, split and garbage-prefixed answers are the recordings'.
        // Programmer lines: the first byte after open and the byte after each
        // CR are skipped (the device's CR LF), so a bare CR eats a first byte.
        AssemblerCase{"BareCr", kLines, {"\n#Done\r#Error\r"}, "#Done|Error"},
        AssemblerCase{"PrimedKeepsFirstByte", kPrimedLines, {"", "#2010123\r\n#Done\r\n"}, "/#2010123|#Done"},
        AssemblerCase{"AcrossTheRingsEnd", kLines, {std::string(194, 'x') + "\r", "\n#Model AP4112 Ver 2.00\r\n"},
                      std::string(99, 'x') + "/#Model AP4112 Ver 2.00"},
        AssemblerCase{"LongLineCut", kLines, {"\n#" + std::string(150, '7') + "\r\n"}, "#" + std::string(98, '7')},
        AssemblerCase{"LineFeedsAndNulsLeftOut", kLines, {std::string("\n\0#Do\nne\r\n", 10)}, "#Done"},
        AssemblerCase{"DamagedIndexes", kLines, {"\n#Done\r\n"}, "#Done", -5, 900},
        // Reader frames: the text after the last STX up to its ETX.
        AssemblerCase{"TextAfterTheLastStx", kFrames, {"\x02SSP half a frame\x02" "ACK\x03"}, "ACK"},
        AssemblerCase{"EmptyFrame", kFrames, {"\x02\x03\x02" "ACK\x03"}, "|ACK"},
        AssemblerCase{"NulsLeftOutLongFrameCut", kFrames,
                      {std::string("\x02" "A\0CK\x03", 6), "\x02" + std::string(150, 'x') + "\x03"},
                      "ACK/" + std::string(99, 'x')},
        AssemblerCase{"FrameAcrossTheRingsEnd", kFrames, {"\x02SSP0123456789\x03"}, "SSP0123456789", 195, 195},
        AssemblerCase{"FrameOverflowKeepsLatest", kFrames, {"\x02" + std::string(250, 'z'), "\x02" "ACK\x03"}, "/ACK"},
        // Tag readings: CR LF lines; a CR waits for its next byte.
        AssemblerCase{"CrThenOtherByte", kReadings, {"ABCD 1\rABCD 2\r\n", "X\r\r\n"}, "ABCD 1|ABCD 2/X|"},
        AssemblerCase{"SplitStrayLfLongLine", kReadings, {"\nAB", "CD 9\r\n" + std::string(120, 'q') + "\r\n"},
                      "/ABCD 9|" + std::string(99, 'q')}),
    [](const auto& info) { return std::string(info.param.name); });

// Sound behaviour: a full ring drops its oldest bytes and moves the read
// index with them; it never overwrites unconsumed bytes behind the read
// index, which would splice an old line's head onto a new line.
TEST(ReceiveRing, FullRingKeepsTheTailOfTheStream) {
    CommLinkData link;
    const std::string stream = "\n" + std::string(180, 'n') + "\r\n#Done\r\n" + std::string(100, 'm');
    EXPECT_EQ(AppendToRing(link, reinterpret_cast<const uint8_t*>(stream.data()), 190), 0u);
    EXPECT_GT(AppendToRing(link, reinterpret_cast<const uint8_t*>(stream.data()) + 190, stream.size() - 190), 0u);
    EXPECT_EQ(RingUnconsumed(link), kRingSize - 2);
    std::string held;
    for (int i = (link.ringRead + 1) % kRingSize; i != link.ringWrite; i = (i + 1) % kRingSize)
        held.push_back(static_cast<char>(link.ring[i]));
    EXPECT_EQ(held, stream.substr(stream.size() - held.size()));
}

TEST(ReceiveRing, OverflowMidRingKeepsTheNewestBytesInOrder) {
    // The read index sits mid-ring when an unfinished line outgrows the
    // ring: the line that finally ends holds the newest bytes in arrival
    // order (all B's after the surviving A's), and the next line is intact.
    CommLinkData link;
    Feed(link, "\n" + std::string(98, 'x') + "\r\n");
    ASSERT_EQ(Take(kLines, link), std::string(98, 'x'));
    Feed(link, std::string(120, 'A'));
    Feed(link, std::string(120, 'B'));
    Feed(link, "\r\n#Done\r\n");
    const std::string got = Take(kLines, link);
    const std::size_t firstB = got.find('B');
    ASSERT_NE(firstB, std::string::npos);
    EXPECT_EQ(got.substr(0, firstB), std::string(firstB, 'A'));
    EXPECT_EQ(got.substr(firstB), std::string(99 - firstB, 'B') + "|#Done");
}

// On a port: every non-empty text is logged; only the wanted ones are queued
// (what each holds is the recordings'); a full queue drops them but the ring
// keeps moving.
TEST(AssemblersOnAPort, LogEveryTextQueueTheWantedOnes) {
    ReaderRig rig;
    auto feed = [&](int p, std::string_view bytes) {
        rig.Device(p);
        ASSERT_EQ(OpenCommPort(rig.data, rig.ports, p, p ? kReaderMode : kProgrammerMode, 0,
                               p ? kDeviceReader : kDeviceProgrammer), kOpenReady);
        CommLinkData r = rig.Link(p);
        Feed(r, bytes);
        UpdateCommLinkData(rig.data, p, r);
    };
    feed(0, "\n\r\n\r\n#00\r\n");
    EXPECT_EQ(AssembleProgrammerLines(rig.data, rig.ports, 0), 1);
    feed(1, "\x02\x03junk\x02XYZ\x03\x02" "FSP\x03\x02" "ACK\x03\x02" "EOD\x03");
    EXPECT_EQ(AssembleReaderFrames(rig.data, rig.ports, 1), 2);
    feed(2, "\r\nABCD 42\r\n0 status\r\n");
    EXPECT_EQ(AssembleTagReadings(rig.data, rig.ports, 2), 2);
    EXPECT_EQ(rig.LoggedLines(),
              (std::vector<std::string>{"03/14/2026 09:26:53 C(1) programmer R-- #00",
                                        "03/14/2026 09:26:53 C(2) portable R-- XYZ",
                                        "03/14/2026 09:26:53 C(2) portable R-- FSP",
                                        "03/14/2026 09:26:53 C(2) portable R-- ACK",
                                        "03/14/2026 09:26:53 C(2) portable R-- EOD",
                                        "03/14/2026 09:26:53 C(3) portable R-- ABCD 42",
                                        "03/14/2026 09:26:53 C(3) portable R-- 0 status"}));
    EXPECT_EQ(GetMessageQue(rig.data, FindNextMessage(rig.data, 2)).code, kReaderTagReading);
    EXPECT_EQ(GetMessageCount(rig.data), 5);
    CommMessage filler;
    while (GetMessageCount(rig.data) < kMessageSlots) AddMessage(rig.data, filler);
    CommLinkData r = rig.Link(0);
    Feed(r, "#Done\r\n");
    UpdateCommLinkData(rig.data, 0, r);
    EXPECT_EQ(AssembleProgrammerLines(rig.data, rig.ports, 0), 0);
    EXPECT_EQ(RingUnconsumed(rig.Link(0)), 0);
}

} // namespace
} // namespace velmora::test
