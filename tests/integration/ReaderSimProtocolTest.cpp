// velmora-reader-sim on its own, seen from the serial line: the parameters
// answer and its acknowledgement, NAK, the readings built from the tag file,
// a reading held for a closed port, the faults, and its command line.
#include "ProgrammerSimHarness.h"
#include "ReaderSimProcess.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora::test {
namespace {

const std::string kRailcar = "9A0181C000AA981900000000000033"; // ABCD 42 RIGHT 50-0 4 1 0

std::string F(const std::string& body) { return "\x02" + body + "\x03"; }

void WriteTag(const std::string& path, const std::string& digits) {
    std::ofstream(path) << digits << "\n";
}

class ReaderSimLine : public ::testing::Test {
protected:
    void Start(std::vector<std::string> extra = {}) {
        if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
        std::vector<std::string> args{"--date", "03/14/26", "--time", "09:26:53"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<ReaderSimProcess>(args);
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
        WriteTag(sim->TagFile(), kRailcar);
        ASSERT_TRUE(port.Open(sim->Link()));
        ASSERT_TRUE(sim->WaitForLog("the port was opened"));
    }
    std::string Expect(const std::string& command, std::size_t size) {
        return Visible(port.Transact(command, size));
    }
    void TearDown() override {
        port.Close();
        if (sim) {
            const int status = sim->Stop(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }
    std::unique_ptr<ReaderSimProcess> sim;
    SimSerialPort port;
};

const std::string kSsp = "SSPVELMORA103/14/26 09:26:530950700600501.6";

TEST_F(ReaderSimLine, FspIsAnsweredWithAckAndTheParameters) {
    Start();
    const std::string answer = F("ACK") + F(kSsp);
    EXPECT_EQ(Expect(F("FSP"), answer.size()), Visible(answer));
    ASSERT_TRUE(port.Send(F("ACK")));
    EXPECT_TRUE(sim->WaitForLog("the parameters were acknowledged")) << sim->ErrorOutput();
}

TEST_F(ReaderSimLine, EveryParameterIsSettable) {
    Start({"--user-id", "SHOP7", "--battery", "81", "--alarms", "1,22,333", "--firmware", "2.0b"});
    ASSERT_TRUE(sim->Control("date 12/31/99; time 23:59:58"));
    const std::string ssp = "SSPSHOP7   12/31/99 23:59:5881 1  22 3332.0b";
    const std::string answer = F("ACK") + F(ssp);
    EXPECT_EQ(Expect(F("FSP"), answer.size()), Visible(answer));
    EXPECT_TRUE(sim->WaitForLog("the parameters were not acknowledged", 1, 4000));
}

TEST_F(ReaderSimLine, BrokenDateOnceThenCorrectAfterNak) {
    Start({"--broken-date"});
    const std::string broken = F("ACK") + F("SSPVELMORA103-14-26 09:26:530950700600501.6");
    EXPECT_EQ(Expect(F("FSP"), broken.size()), Visible(broken));
    EXPECT_EQ(Expect(std::string("\x02NAK\x03\0\0\0", 8), kSsp.size() + 2), Visible(F(kSsp)));
}

TEST_F(ReaderSimLine, BrokenDateAlwaysGivesUpAfterThreeSends) {
    Start({"--broken-date=on", "--no-ack"});
    const std::string broken = F("SSPVELMORA103-14-26 09:26:530950700600501.6");
    EXPECT_EQ(Expect(F("FSP"), broken.size()), Visible(broken));
    EXPECT_EQ(Expect(F("NAK"), broken.size()), Visible(broken));
    EXPECT_EQ(Expect(F("NAK"), broken.size()), Visible(broken));
    EXPECT_EQ(Visible(port.Transact(F("NAK"), 1, 300)), "");
    EXPECT_TRUE(sim->WaitForLog("giving up"));
}

TEST_F(ReaderSimLine, UnknownFramesAreRefusedAndJunkIgnored) {
    Start();
    EXPECT_EQ(Expect("junk\x15" + F("FHD"), 5), Visible(F("NAK")));
    EXPECT_EQ(Visible(port.ReadFor(50)), "");
}

TEST_F(ReaderSimLine, ReadingsOfTheTagFile) {
    Start();
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_EQ(Visible(port.ReadCount(24)), Visible("ABCD 42,19,R,152,4,1,0\r\n"));
    ASSERT_TRUE(sim->Control("read old"));
    EXPECT_EQ(Visible(port.ReadCount(9)), Visible("ABCD 42\r\n"));
    ASSERT_TRUE(sim->Control("read wrong"));
    EXPECT_EQ(Visible(port.ReadCount(24)), Visible("ABCD 43,19,R,152,4,1,0\r\n"));
    ASSERT_TRUE(sim->Control("read wrong length"));
    EXPECT_EQ(Visible(port.ReadCount(24)), Visible("ABCD 42,19,R,154,4,1,0\r\n"));
    ASSERT_TRUE(sim->Control("oldfirmware on; read"));
    EXPECT_EQ(Visible(port.ReadCount(9)), Visible("ABCD 42\r\n"));
    ASSERT_TRUE(sim->Control("line 0 tags stored"));
    EXPECT_EQ(Visible(port.ReadCount(15)), Visible("0 tags stored\r\n"));
}

TEST_F(ReaderSimLine, LocomotiveAndEndOfTrainReadings) {
    Start();
    WriteTag(sim->TagFile(), "2B8BD3003EBB962900000000000033"); // UP 4014, right, 406 dm, 6 axles, bearing 1
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_EQ(Visible(port.ReadCount(23)), Visible("UP   4014,5,R,406,6,1\r\n"));
    WriteTag(sim->TagFile(), "33A7A500C0E4800000000000000033"); // EOT device WABC 12345
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_EQ(Visible(port.ReadCount(12)), Visible("WABC 12345\r\n"));
    ASSERT_TRUE(sim->Control("read wrong length")); // no length: the number is made wrong
    EXPECT_EQ(Visible(port.ReadCount(12)), Visible("WABC 12346\r\n"));
    // A tag file without 30 digits gives no reading, only a message.
    WriteTag(sim->TagFile(), "12345");
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_TRUE(sim->WaitForLog("no reading:"));
    EXPECT_EQ(Visible(port.ReadFor(100)), "");
}

TEST_F(ReaderSimLine, ReadingHeldUntilThePortIsOpened) {
    Start();
    port.Close();
    ASSERT_TRUE(sim->WaitForLog("the port was closed"));
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_TRUE(sim->WaitForLog("goes out when Velmora opens it"));
    ASSERT_TRUE(port.Open(sim->Link()));
    EXPECT_EQ(Visible(port.ReadCount(24, 3000)), Visible("ABCD 42,19,R,152,4,1,0\r\n"));
}

TEST_F(ReaderSimLine, SilentAndGarbage) {
    Start({"--silent"});
    EXPECT_EQ(Visible(port.Transact(F("FSP"), 1, 300)), "");
    ASSERT_TRUE(sim->Control("silent off; garbage on; ack off"));
    const std::string got = port.Transact(F("FSP"), 9 + kSsp.size() + 2);
    EXPECT_EQ(Visible(got), Visible(std::string("\x00\xff\x7e\x15\x02ZQ\x80\x1b", 9) + F(kSsp)));
    ASSERT_TRUE(sim->Control("normal"));
    const std::string answer = F("ACK") + F(kSsp);
    EXPECT_EQ(Expect(F("FSP"), answer.size()), Visible(answer));
}

TEST_F(ReaderSimLine, SplitSendsByteByByte) {
    Start({"--split=5"});
    const std::string answer = F("ACK") + F(kSsp);
    EXPECT_EQ(Expect(F("FSP"), answer.size()), Visible(answer));
}

TEST(ReaderSimCommandLine, HelpAndBadArguments) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    TempDir dir;
    const CommandResult help = RunProgram(ReaderSimBinary(), "--help", dir.path().string());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("velmora-reader-sim - a pretend portable AEI RF reader"), std::string::npos);
    EXPECT_NE(help.out.find("read wrong length"), std::string::npos);
    for (const char* bad : {"--bogus", "--date 2026-03-14", "--battery 1234", "--alarms 1,2", "--broken-date=maybe",
                            "--link"}) {
        const CommandResult r = RunProgram(ReaderSimBinary(), bad, dir.path().string());
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_NE(r.err.find("Try: velmora-reader-sim --help"), std::string::npos) << bad;
    }
}

} // namespace
} // namespace velmora::test
