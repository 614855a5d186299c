// Communication log lines, the recent-traffic list, the monitor text and the
// log file switch.
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::test {
namespace {

const std::string kStamp = "03/14/2026 09:26:53 C(1) programmer ";

struct CommLogTest : ::testing::Test {
    CommLogTest() { data.SetStartDirectory(dir.path().string() + "/"); }
    void LogFileOff() {
        SettingsBlock s = data.GetSettings();
        s.logFileOn = 0;
        data.UpdateSettings(s);
    }
    void LogNumbers(int from, int to) {
        for (int i = from; i <= to; ++i) log.LogCommMessage(0, "R-- " + std::to_string(i), "programmer");
    }
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;
    CommLog log{data};
};

TEST(CommLogLine, DateTimePortDeviceAndTextCutAtTheFirstLineEnd) {
    const LocalDateTime t{2026, 3, 4, 7, 5, 9, 63};
    EXPECT_EQ(FormatCommLogLine(t, 0, "programmer", "T-- #30\r\n"), "03/04/2026 07:05:09 C(1) programmer T-- #30");
    EXPECT_EQ(FormatCommLogLine(t, 3, "portable", "R-- \x02SSP12\x03"), "03/04/2026 07:05:09 C(4) portable R-- \x02SSP12\x03");
    EXPECT_EQ(FormatCommLogLine(t, 1, "programmer", "R-- abc\ndef\rghi"), "03/04/2026 07:05:09 C(2) programmer R-- abc");
    EXPECT_EQ(FormatCommLogLine(t, 1, "programmer", "R-- %s%n%d"), "03/04/2026 07:05:09 C(2) programmer R-- %s%n%d");
}

TEST_F(CommLogTest, AppendsOneLinePerMessageWhileLogFileOn) {
    log.LogCommMessage(0, "T-- #30\r\n", "programmer");
    log.LogCommMessage(0, "R-- #Model AP4118 Ver 1.07", "programmer");
    EXPECT_EQ(ReadFileText(dir.File("communication log.txt")),
              kStamp + "T-- #30\n" + kStamp + "R-- #Model AP4118 Ver 1.07\n");
    EXPECT_EQ(log.LogFilePath(), dir.File("communication log.txt"));
    // A file that cannot be opened loses only the file line.
    data.SetStartDirectory(dir.File("missing-folder") + "/");
    log.LogCommMessage(0, "T-- #40", "programmer");
    EXPECT_EQ(log.RecentTraffic().size(), 3u);
}

TEST_F(CommLogTest, OffKeepsTheMonitorButWritesNoFile) {
    LogFileOff();
    log.LogCommMessage(1, "T-- #40\r\n", "programmer");
    EXPECT_FALSE(std::filesystem::exists(dir.File("communication log.txt")));
    EXPECT_EQ(log.MonitorText(), "03/14/2026 09:26:53 C(2) programmer T-- #40\r\n");
}

TEST_F(CommLogTest, RecentTrafficHoldsTheNewest1001LinesAndTheMonitorIsCut) {
    LogFileOff();
    LogNumbers(1, 1002);
    const auto& lines = log.RecentTraffic();
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.front(), kStamp + "R-- 2");
    EXPECT_EQ(lines.back(), kStamp + "R-- 1002");
    // Newest first, stopping with the first line that takes it over the cut.
    const std::string text = log.MonitorText();
    EXPECT_EQ(text.rfind(kStamp + "R-- 1002\r\n", 0), 0u);
    EXPECT_GT(text.size(), kMonitorTextCut);
    const std::string lastLine = text.substr(text.rfind("\r\n", text.size() - 3) + 2);
    EXPECT_LE(text.size() - lastLine.size(), kMonitorTextCut);
    EXPECT_LT(text.size(), kMonitorTextLimit);
}

TEST_F(CommLogTest, MonitorRefreshedOnEveryMessageWhileOpen) {
    LogFileOff();
    std::vector<std::string> shown;
    log.LogCommMessage(0, "R-- before", "programmer");
    log.SetMonitorRefresh([&](const std::string& t) { shown.push_back(t); });
    ASSERT_EQ(shown.size(), 1u); // filled when it opens
    log.LogCommMessage(0, "R-- after", "programmer");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], kStamp + "R-- after\r\n" + kStamp + "R-- before\r\n");
    log.SetMonitorRefresh({});
    EXPECT_FALSE(log.MonitorOpen());
    log.LogCommMessage(0, "R-- closed", "programmer");
    EXPECT_EQ(shown.size(), 2u);
}

} // namespace
} // namespace velmora::test
