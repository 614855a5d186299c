// The reader's two assemblers over the receive ring: STX/ETX frames and the
// CR LF tag-reading lines, on split, doubled, garbage-prefixed, empty,
// wrapping and overlong input.
#include "ReaderRig.h"

#include "serial/ReaderAssemblers.h"
#include "serial/ReceiveRing.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

void Feed(CommLinkData& link, const std::string& bytes) {
    AppendToRing(link, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::string> Frames(CommLinkData& link) {
    std::vector<std::string> out;
    std::string text;
    while (TakeReaderFrame(link, text)) out.push_back(text);
    return out;
}

std::vector<std::string> Lines(CommLinkData& link) {
    std::vector<std::string> out;
    std::string text;
    while (TakeTagReadingLine(link, text)) out.push_back(text);
    return out;
}

using V = std::vector<std::string>;

TEST(ReaderFrameAssembler, FrameSplitOverReadsIsJoined) {
    CommLinkData link;
    Feed(link, "\x02SS");
    EXPECT_EQ(Frames(link), V{});
    Feed(link, "P12");
    EXPECT_EQ(Frames(link), V{});
    Feed(link, "3\x03\x02" "AC");
    EXPECT_EQ(Frames(link), V{"SSP123"});
    Feed(link, "K\x03");
    EXPECT_EQ(Frames(link), V{"ACK"});
    EXPECT_EQ(ReaderRingUnconsumed(link), 0);
}

TEST(ReaderFrameAssembler, TextAfterTheLastOfTwoStx) {
    CommLinkData link;
    Feed(link, "\x02SSP half a frame\x02" "ACK\x03");
    EXPECT_EQ(Frames(link), V{"ACK"});
}

TEST(ReaderFrameAssembler, GarbageBeforeTheStxIsDropped) {
    CommLinkData link;
    Feed(link, std::string("\xff\x00\x15noise", 8) + "\x02" "EOD\x03junk");
    EXPECT_EQ(Frames(link), V{"EOD"});
    // Junk with no STX can never start a frame: nothing of it is kept.
    EXPECT_EQ(ReaderRingUnconsumed(link), 0);
}

TEST(ReaderFrameAssembler, EmptyFrameGivesAnEmptyText) {
    CommLinkData link;
    Feed(link, "\x02\x03\x02" "ACK\x03");
    EXPECT_EQ(Frames(link), (V{"", "ACK"}));
}

TEST(ReaderFrameAssembler, NulBytesLeftOutAndLongFramesCut) {
    CommLinkData link;
    Feed(link, std::string("\x02" "A\0CK\x03", 6));
    EXPECT_EQ(Frames(link), V{"ACK"});
    const std::string body(150, 'x');
    Feed(link, "\x02" + body + "\x03");
    const V got = Frames(link);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], std::string(99, 'x'));
}

TEST(ReaderFrameAssembler, FrameAcrossTheRingsEndIsCutWhole) {
    CommLinkData link;
    link.ringRead = link.ringWrite = 195;
    Feed(link, "\x02SSP0123456789\x03");
    EXPECT_EQ(Frames(link), V{"SSP0123456789"});
    EXPECT_LT(link.ringWrite, 195);
}

TEST(ReaderFrameAssembler, OverflowKeepsTheLatestBytes) {
    CommLinkData link;
    // An STX whose ETX never comes, then more than the ring holds, then a frame.
    Feed(link, "\x02" + std::string(250, 'z'));
    EXPECT_EQ(Frames(link), V{});
    Feed(link, "\x02" "ACK\x03");
    EXPECT_EQ(Frames(link), V{"ACK"});
}

TEST(TagReadingAssembler, LinesEndWithCrLf) {
    CommLinkData link;
    Feed(link, "ABCD 123456,19,L,150,4,1,0\r\nABCD 7\r\n");
    EXPECT_EQ(Lines(link), (V{"ABCD 123456,19,L,150,4,1,0", "ABCD 7"}));
    EXPECT_EQ(ReaderRingUnconsumed(link), 0);
}

TEST(TagReadingAssembler, CrWaitsForTheNextByte) {
    CommLinkData link;
    Feed(link, "ABCD 1\r");
    EXPECT_EQ(Lines(link), V{});
    Feed(link, "\n");
    EXPECT_EQ(Lines(link), V{"ABCD 1"});
}

TEST(TagReadingAssembler, CrFollowedByAnotherByteEndsTheLineThere) {
    CommLinkData link;
    Feed(link, "ABCD 1\rABCD 2\r\n");
    EXPECT_EQ(Lines(link), (V{"ABCD 1", "ABCD 2"}));
    Feed(link, "X\r\r\n");
    EXPECT_EQ(Lines(link), (V{"X", ""}));
}

TEST(TagReadingAssembler, SplitLinesStrayLineFeedsAndLongLines) {
    CommLinkData link;
    Feed(link, "\nAB");
    EXPECT_EQ(Lines(link), V{});
    Feed(link, "CD 9\r\n" + std::string(120, 'q') + "\r\n");
    const V got = Lines(link);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "ABCD 9");
    EXPECT_EQ(got[1], std::string(99, 'q'));
}

TEST(ReaderAssemblersOnAPort, FramesAreLoggedAcceptedAndQueued) {
    ReaderRig rig;
    rig.Device(0);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kReaderMode, 0, kDeviceReader), kOpenReady);
    CommLinkData r = rig.Link(0);
    Feed(r, "\x02\x03junk\x02XYZ\x03\x02" "FSP\x03\x02" "ACK\x03\x02" "EOD\x03");
    UpdateCommLinkData(rig.data, 0, r);
    EXPECT_EQ(AssembleReaderFrames(rig.data, rig.ports, 0), 2);
    EXPECT_EQ(GetMessageCount(rig.data), 2);
    const CommMessage first = GetMessageQue(rig.data, FindNextMessage(rig.data, 0));
    EXPECT_EQ(first.code, kMsgACK);
    EXPECT_EQ(first.port, 0);
    EXPECT_EQ(first.received, rig.clock.seconds);
    // Every non-empty frame is logged, also those then dropped.
    const auto lines = rig.LoggedLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("C(1) portable R-- XYZ"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("R-- FSP"), std::string::npos);
    EXPECT_NE(lines[3].find("R-- EOD"), std::string::npos);
}

TEST(ReaderAssemblersOnAPort, ReadingsQueuedWithCode21) {
    ReaderRig rig;
    rig.Device(2);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 2, kReaderMode, 0, kDeviceReader), kOpenReady);
    CommLinkData r = rig.Link(2);
    Feed(r, "\r\nABCD 42\r\n0 status\r\n");
    UpdateCommLinkData(rig.data, 2, r);
    EXPECT_EQ(AssembleTagReadings(rig.data, rig.ports, 2), 2);
    const CommMessage m = GetMessageQue(rig.data, FindNextMessage(rig.data, 2));
    EXPECT_EQ(m.code, kReaderTagReading);
    EXPECT_EQ(std::string(m.text), "ABCD 42");
    EXPECT_EQ(rig.LoggedLines().size(), 2u); // the empty line is no reading
}

} // namespace
} // namespace velmora::test
