// velmora-reader-sim answering an RF check by itself: a port opened and left
// quiet gets the reading of the tag, a port on which the program speaks
// first (a search, a parameter read) does not; the "autoread" command and
// the --auto-read flag.
#include "ProgrammerSimHarness.h"
#include "ReaderSimProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace velmora::test {
namespace {

const std::string kRailcar = "9A0181C000AA981900000000000033"; // ABCD 42 RIGHT 50-0 4 1 0
const std::string kReading = "ABCD 42,19,R,152,4,1,0\r\n";

std::string F(const std::string& body) { return "\x02" + body + "\x03"; }

class ReaderSimAutoRead : public ::testing::Test {
protected:
    // Starts the simulator with its tag; the port is not opened yet.
    void Start(std::vector<std::string> extra) {
        if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
        std::vector<std::string> args{"--date", "03/14/26", "--time", "09:26:53"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<ReaderSimProcess>(args);
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
        std::ofstream(sim->TagFile()) << kRailcar << "\n";
    }
    void OpenPort() {
        ASSERT_TRUE(port.Open(sim->Link()));
        ASSERT_TRUE(sim->WaitForLog("the port was opened", ++opens)) << sim->ErrorOutput();
    }
    void ClosePort() {
        port.Close();
        ASSERT_TRUE(sim->WaitForLog("the port was closed", opens)) << sim->ErrorOutput();
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
    int opens = 0;
};

TEST_F(ReaderSimAutoRead, AQuietPortGetsTheReadingAfterTheQuietSpellEachTimeItIsOpened) {
    Start({"--auto-read"});
    OpenPort();
    // Nothing during the first second: the program may still send its FSP.
    EXPECT_EQ(Visible(port.ReadFor(1000)), "");
    EXPECT_EQ(Visible(port.ReadCount(kReading.size(), 5000)), Visible(kReading)) << sim->ErrorOutput();
    EXPECT_TRUE(sim->WaitForLog("sending the automatic reading"));
    // One reading per open.
    EXPECT_EQ(Visible(port.ReadFor(1500)), "");

    // The next RF check opens the port again: a fresh reading, of the tag as
    // the file now holds it, on an older reader initial and number only.
    ClosePort();
    ASSERT_TRUE(sim->Control("oldfirmware on"));
    OpenPort();
    EXPECT_EQ(Visible(port.ReadCount(9, 5000)), Visible("ABCD 42\r\n")) << sim->ErrorOutput();
}

TEST_F(ReaderSimAutoRead, AProgramThatSpeaksFirstGetsItsAnswersAndNoReading) {
    Start({"--auto-read=1"});
    OpenPort();
    const std::string ssp = "SSPVELMORA103/14/26 09:26:530950700600501.6";
    const std::string answer = F("ACK") + F(ssp);
    EXPECT_EQ(Visible(port.Transact(F("FSP"), answer.size())), Visible(answer));
    ASSERT_TRUE(port.Send(F("ACK")));
    EXPECT_TRUE(sim->WaitForLog("Velmora sent first: no automatic reading")) << sim->ErrorOutput();
    EXPECT_EQ(Visible(port.ReadFor(2500)), "");
    EXPECT_EQ(sim->CountInLog("automatic reading \""), 0);
}

TEST_F(ReaderSimAutoRead, TheCommandSwitchesItWhileRunning) {
    Start({});
    OpenPort();
    EXPECT_EQ(Visible(port.ReadFor(1800)), "") << "off by default";
    // Switched on while the port waits quietly: the reading follows.
    ASSERT_TRUE(sim->Control("autoread 0.2"));
    EXPECT_EQ(Visible(port.ReadCount(kReading.size(), 3000)), Visible(kReading)) << sim->ErrorOutput();
    ASSERT_TRUE(sim->Control("show"));
    EXPECT_TRUE(sim->WaitForLog("auto-read after 0.2 s"));

    // Off again: a reopened port waits for "read".
    ClosePort();
    ASSERT_TRUE(sim->Control("autoread off"));
    OpenPort();
    EXPECT_EQ(Visible(port.ReadFor(2200)), "");
    ASSERT_TRUE(sim->Control("read"));
    EXPECT_EQ(Visible(port.ReadCount(kReading.size())), Visible(kReading));

    // Bad values change nothing.
    ASSERT_TRUE(sim->Control("autoread soon; autoread 0; autoread 1 2"));
    EXPECT_EQ(sim->CountInLog("control: autoread needs on, off or"), 3) << sim->ErrorOutput();
}

TEST(ReaderSimAutoReadCommandLine, BadValuesAreRefusedAndTheHelpTellsOfIt) {
    if (!ReaderSimProcess::Available()) GTEST_SKIP() << "velmora-reader-sim not built";
    TempDir dir;
    const CommandResult help = RunProgram(ReaderSimBinary(), "--help", dir.path().string());
    EXPECT_NE(help.out.find("--auto-read[=SECONDS]"), std::string::npos);
    EXPECT_NE(help.out.find("autoread on|off|SECONDS"), std::string::npos);
    for (const char* bad : {"--auto-read=0", "--auto-read=-1", "--auto-read=later", "--auto-read="}) {
        const CommandResult r = RunProgram(ReaderSimBinary(), bad, dir.path().string());
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_NE(r.err.find("--auto-read: autoread needs"), std::string::npos) << bad << ": " << r.err;
    }
}

} // namespace
} // namespace velmora::test
