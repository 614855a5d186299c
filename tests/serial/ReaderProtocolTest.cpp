// Accepting reader frames: the date and time check of SSP and SHR, the ACK
// replies, NAK, and the parameters taken from an SSP.
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

TEST(ReaderDateTime, ReadsEachPartUpToItsSeparator) {
    const ReaderDateTime t = ParseReaderDateTime(SspText(), kSspDateStart);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 14);
    EXPECT_EQ(t.year, 2026);
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 26);
    EXPECT_EQ(t.second, 53);
    // 14 March 2026 is day 20526 after 1 January 1970.
    EXPECT_EQ(t.seconds, 20526u * 86400 + 9 * 3600 + 26 * 60 + 53);
}

TEST(ReaderDateTime, TwoDigitYearsFrom1950To2049) {
    EXPECT_EQ(ParseReaderDateTime("SHR001/1/49 0:0:00", kShrDateStart).year, 2049);
    EXPECT_EQ(ParseReaderDateTime("SHR001/1/50 0:0:00", kShrDateStart).year, 1950);
    const ReaderDateTime epoch = ParseReaderDateTime("SHR0001/01/70 00:00:00", kShrDateStart);
    ASSERT_TRUE(epoch.ok);
    EXPECT_EQ(epoch.seconds, 0u);
    EXPECT_EQ(ParseReaderDateTime("SHR00012/31/99 23:59:59", kShrDateStart).seconds, 946684799u);
    // January and the first day count: 15 January 2026 is day 20468.
    EXPECT_EQ(ParseReaderDateTime("SHR0001/15/26 00:00:00", kShrDateStart).seconds, 20468u * 86400);
    EXPECT_EQ(ParseReaderDateTime("SHR0002/01/26 00:00:00", kShrDateStart).seconds, 20485u * 86400);
}

TEST(ReaderDateTime, MissingSeparatorOrShortTextFails) {
    const char* broken[] = {
        "SSPSHOP000103-14-26 09:26:53", // no "/"
        "SSPSHOP000103/14-26 09:26:53", // one "/"
        "SSPSHOP000103/14/26 09.26.53", // no ":"
        "SSPSHOP000103/14/26 09:26.53", // one ":"
        "SSPSHOP000103/14/26 09:26:5",  // second cut short
        "SSPSHOP000103/14/2",           // year cut short
        "SSP",                          // nothing after the code
        "",
    };
    for (const char* text : broken) EXPECT_FALSE(ParseReaderDateTime(text, kSspDateStart).ok) << text;
    // Separators before the start do not count.
    EXPECT_FALSE(ParseReaderDateTime("SHR/x/ 12:34:56", kShrDateStart).ok);
}

TEST(ReaderDateTime, OddValuesPassTheCheckWithoutADeviceTime) {
    const ReaderDateTime t = ParseReaderDateTime("SSPSHOP000199/99/26 99:26:53", kSspDateStart);
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.seconds, 0u);
    EXPECT_TRUE(ParseReaderDateTime("SSPSHOP0001xx/yy/zz a:b:cc", kSspDateStart).ok);
}

class AcceptTest : public ::testing::Test {
protected:
    void SetUp() override {
        dev = rig.Device(1);
        ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kReaderMode, 0, kDeviceReader), kOpenReady);
        SendReaderCommand(rig.data, rig.ports, 1, kMsgFSP);
        dev->written.clear();
    }
    ReaderRig rig;
    std::shared_ptr<FakeDevice> dev;
};

TEST_F(AcceptTest, SspIsAcknowledgedAndQueuedWithItsDeviceTime) {
    EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, SspText()));
    ASSERT_EQ(dev->written.size(), 1u);
    EXPECT_EQ(dev->written[0], Frame("ACK"));
    const CommMessage m = GetMessageQue(rig.data, FindNextMessage(rig.data, 1));
    EXPECT_EQ(m.code, kMsgSSP);
    EXPECT_EQ(std::string(m.text), SspText());
    EXPECT_EQ(m.received, rig.clock.seconds);
    EXPECT_EQ(m.deviceTime, ParseReaderDateTime(SspText(), kSspDateStart).seconds);
    // The acknowledgement is logged like any frame sent, but a resend after a
    // time-out must repeat the FSP, not the ACK.
    EXPECT_NE(rig.LoggedLines().back().find("portable T-- \x02" "ACK\x03"), std::string::npos);
    EXPECT_EQ(std::string(rig.Link(1).lastCommand), Frame("FSP"));
}

TEST_F(AcceptTest, BrokenDateIsAnsweredWithNakAndDropped) {
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, SspText("03-14-26")));
    ASSERT_EQ(dev->written.size(), 1u);
    EXPECT_EQ(dev->written[0], std::string("\x02NAK\x03\0\0\0", 8));
    EXPECT_EQ(GetMessageCount(rig.data), 0);
    EXPECT_NE(rig.LoggedLines().back().find("C(2) portable T-- NAK"), std::string::npos);
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "SHR00112-31-25 12:00:00"));
    EXPECT_EQ(dev->written.size(), 2u);
}

TEST_F(AcceptTest, ShrDateStartsAtCharacterSix) {
    EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, "SHR00212/25/25 18:30:00"));
    EXPECT_EQ(dev->written.back(), Frame("ACK"));
    // A "/" before character 6 is not the date's.
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "SHR/1/12-25-25 18:30:00"));
}

TEST_F(AcceptTest, AcknowledgedCodesAndOthers) {
    for (const char* code : {"SDD", "SDE", "SMC", "SAC"}) {
        dev->written.clear();
        EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, std::string(code) + "data"));
        EXPECT_EQ(dev->written, std::vector<std::string>{Frame("ACK")}) << code;
    }
    dev->written.clear();
    EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, "ACK"));
    EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, "NAK"));
    EXPECT_TRUE(AcceptReaderMessage(rig.data, rig.ports, 1, "EOD"));
    EXPECT_TRUE(dev->written.empty()) << "no reply to ACK, NAK or EOD";
    // What the system itself sends, and unknown codes, are dropped.
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "FSP"));
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "FRD0001"));
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "RAM"));
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "ZZ"));
    EXPECT_TRUE(dev->written.empty());
    EXPECT_EQ(GetMessageCount(rig.data), 7);
}

TEST_F(AcceptTest, FullQueueDropsTheMessage) {
    CommMessage filler;
    filler.port = 3;
    for (int i = 0; i < kMessageSlots; ++i) ASSERT_GE(AddMessage(rig.data, filler), 0);
    EXPECT_FALSE(AcceptReaderMessage(rig.data, rig.ports, 1, "EOD"));
    EXPECT_EQ(GetMessageCount(rig.data), kMessageSlots);
}

TEST(ReaderNak, EightBytesOnAClosedPortOnlyLogged) {
    ReaderRig rig;
    auto dev = rig.Device(0);
    SendReaderNak(rig.data, rig.ports, 0);
    EXPECT_TRUE(dev->written.empty());
    EXPECT_EQ(rig.LoggedLines().size(), 1u);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kReaderMode, 0, kDeviceReader), kOpenReady);
    SendReaderNak(rig.data, rig.ports, 0);
    ASSERT_EQ(dev->written.size(), 1u);
    EXPECT_EQ(dev->written[0].size(), 8u);
    EXPECT_EQ(dev->written[0], std::string("\x02NAK\x03\0\0\0", 8));
    EXPECT_EQ(std::string(rig.Link(0).lastCommand), "");
    SendReaderNak(rig.data, rig.ports, 7);
    EXPECT_EQ(rig.op.boxes.size(), 1u);
}

// Each field at its positions is the parameter-read recordings'.
TEST(ReaderParametersFromSsp, ShortAndLongTexts) {
    const ReaderParameters shortOne = ParseReaderParameters("SSPAB", 0);
    EXPECT_EQ(std::string(shortOne.userIdFirst), "AB");
    EXPECT_EQ(std::string(shortOne.battery), "");
    EXPECT_EQ(std::string(shortOne.firmwareVersion), "");
    const ReaderParameters longOne = ParseReaderParameters(SspText("03/14/26", std::string(59, 'v')), 0);
    EXPECT_EQ(std::string(longOne.firmwareVersion), std::string(19, 'v'));
}

} // namespace
} // namespace velmora::test
