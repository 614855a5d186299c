// Accepting reader frames: the date and time check of SSP and SHR, the ACK
// replies and NAK, and the parameters taken from an SSP. The exchanges
// themselves (ACK after SSP, NAK and the resent SSP) are the recordings'.
#include "ReaderRig.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

// Each part is read up to its separator; two-digit years run from 1950 to
// 2049; odd values pass the check without a device time (seconds 0).
TEST(ReaderDateTime, Table) {
    struct Case {
        const char* text;
        std::size_t start;
        bool ok;
        int year;
        long long seconds; // -1: not checked
    };
    // 14 March 2026 is day 20526 after 1 January 1970, 15 January 2026 day
    // 20468, 1 February 2026 day 20485.
    const Case cases[] = {
        {"SSPSHOP000103/14/26 09:26:53", kSspDateStart, true, 2026, 20526u * 86400 + 9 * 3600 + 26 * 60 + 53},
        {"SHR001/1/49 0:0:00", kShrDateStart, true, 2049, -1},
        {"SHR001/1/50 0:0:00", kShrDateStart, true, 1950, -1},
        {"SHR0001/01/70 00:00:00", kShrDateStart, true, 1970, 0},
        {"SHR00012/31/99 23:59:59", kShrDateStart, true, 1999, 946684799u},
        {"SHR0001/15/26 00:00:00", kShrDateStart, true, 2026, 20468u * 86400},
        {"SHR0002/01/26 00:00:00", kShrDateStart, true, 2026, 20485u * 86400},
        {"SSPSHOP000199/99/26 99:26:53", kSspDateStart, true, 2026, 0},
        {"SSPSHOP0001xx/yy/zz a:b:cc", kSspDateStart, true, -1, -1},
        {"SSPSHOP000103-14-26 09:26:53", kSspDateStart, false, -1, 0}, // no "/"
        {"SSPSHOP000103/14-26 09:26:53", kSspDateStart, false, -1, 0}, // one "/"
        {"SSPSHOP000103/14/26 09.26.53", kSspDateStart, false, -1, 0}, // no ":"
        {"SSPSHOP000103/14/26 09:26.53", kSspDateStart, false, -1, 0}, // one ":"
        {"SSPSHOP000103/14/26 09:26:5", kSspDateStart, false, -1, 0},  // second cut short
        {"SSPSHOP000103/14/2", kSspDateStart, false, -1, 0},           // year cut short
        {"SSP", kSspDateStart, false, -1, 0},
        {"", kSspDateStart, false, -1, 0},
        {"SHR/x/ 12:34:56", kShrDateStart, false, -1, 0}, // separators before the start do not count
    };
    for (const Case& c : cases) {
        const ReaderDateTime t = ParseReaderDateTime(c.text, c.start);
        EXPECT_EQ(t.ok, c.ok) << c.text;
        if (!c.ok) continue;
        if (c.year >= 0) EXPECT_EQ(t.year, c.year) << c.text;
        if (c.seconds >= 0) EXPECT_EQ(t.seconds, c.seconds) << c.text;
    }
    const ReaderDateTime t = ParseReaderDateTime("SSPSHOP000103/14/26 09:26:53", kSspDateStart);
    EXPECT_EQ(std::vector<int>({t.month, t.day, t.hour, t.minute, t.second}), std::vector<int>({3, 14, 9, 26, 53}));
}

class AcceptTest : public ::testing::Test {
protected:
    void SetUp() override {
        dev = rig.Device(1);
        ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 1, kReaderMode, 0, kDeviceReader), kOpenReady);
    }
    bool Accept(const std::string& text) { return AcceptReaderMessage(rig.data, rig.ports, 1, text); }
    ReaderRig rig;
    std::shared_ptr<FakeDevice> dev;
};

TEST_F(AcceptTest, SspAndShrDatesAreCheckedAtTheirOwnStart) {
    EXPECT_TRUE(Accept("SSPSHOP000103/14/26 09:26:53"));
    EXPECT_TRUE(Accept("SHR00212/25/25 18:30:00"));
    EXPECT_EQ(dev->written, std::vector<std::string>(2, Frame("ACK")));
    EXPECT_EQ(GetMessageQue(rig.data, FindNextMessage(rig.data, 1)).code, kMsgSSP);
    EXPECT_FALSE(Accept("SHR00112-31-25 12:00:00"));
    EXPECT_FALSE(Accept("SHR/1/12-25-25 18:30:00")); // a "/" before character 6 is not the date's
    EXPECT_EQ(dev->written.back(), std::string("\x02NAK\x03\0\0\0", 8));
    EXPECT_EQ(GetMessageCount(rig.data), 2);
}

TEST_F(AcceptTest, AcknowledgedCodesAndOthers) {
    for (const char* code : {"SDD", "SDE", "SMC", "SAC"}) {
        dev->written.clear();
        EXPECT_TRUE(Accept(std::string(code) + "data"));
        EXPECT_EQ(dev->written, std::vector<std::string>{Frame("ACK")}) << code;
    }
    dev->written.clear();
    for (const char* code : {"ACK", "NAK", "EOD"}) EXPECT_TRUE(Accept(code)) << code;
    // What the system itself sends, and unknown codes, are dropped.
    for (const char* code : {"FSP", "FRD0001", "RAM", "ZZ"}) EXPECT_FALSE(Accept(code)) << code;
    EXPECT_TRUE(dev->written.empty()) << "no reply to ACK, NAK, EOD or what is dropped";
    EXPECT_EQ(GetMessageCount(rig.data), 7);
    CommMessage filler;
    while (GetMessageCount(rig.data) < kMessageSlots) AddMessage(rig.data, filler);
    EXPECT_FALSE(Accept("EOD")) << "a full queue drops the message";
}

TEST(ReaderNak, EightBytesOnAClosedPortOnlyLogged) {
    ReaderRig rig;
    auto dev = rig.Device(0);
    SendReaderNak(rig.data, rig.ports, 0);
    EXPECT_TRUE(dev->written.empty());
    EXPECT_EQ(rig.LoggedLines().size(), 1u);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kReaderMode, 0, kDeviceReader), kOpenReady);
    SendReaderNak(rig.data, rig.ports, 0);
    EXPECT_EQ(dev->written, std::vector<std::string>{std::string("\x02NAK\x03\0\0\0", 8)});
    EXPECT_STREQ(rig.Link(0).lastCommand, "");
    SendReaderNak(rig.data, rig.ports, 7);
    EXPECT_EQ(rig.op.boxes.size(), 1u);
}

// Each field at its positions is the parameter-read recordings'.
TEST(ReaderParametersFromSsp, ShortAndLongTexts) {
    const ReaderParameters shortOne = ParseReaderParameters("SSPAB", 0);
    EXPECT_STREQ(shortOne.userIdFirst, "AB");
    EXPECT_STREQ(shortOne.battery, "");
    EXPECT_STREQ(shortOne.firmwareVersion, "");
    const ReaderParameters longOne =
        ParseReaderParameters("SSPSHOP000103/14/26 09:26:53095070060050" + std::string(59, 'v'), 0);
    EXPECT_EQ(std::string(longOne.firmwareVersion), std::string(19, 'v'));
}

} // namespace
} // namespace velmora::test
