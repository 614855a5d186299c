// Communication log lines, the recent-traffic list, the monitor text and the
// log file switch.
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

struct LogRig {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;
    CommLog log{data};
    LogRig() { data.SetStartDirectory(dir.path().string() + "/"); }
    void SetLogFileOn(bool on) {
        SettingsBlock s = data.GetSettings();
        s.logFileOn = on ? 1 : 0;
        data.UpdateSettings(s);
    }
    std::string FileText() {
        auto b = ReadFileBytes(dir.File("communication log.txt"));
        return std::string(b.begin(), b.end());
    }
};

TEST(CommLogLine, DateTimePortDeviceAndText) {
    LocalDateTime t{2026, 3, 4, 7, 5, 9, 63};
    EXPECT_EQ(FormatCommLogLine(t, 0, "programmer", "T-- #30\r\n"),
              "03/04/2026 07:05:09 C(1) programmer T-- #30");
    EXPECT_EQ(FormatCommLogLine(t, 3, "portable", "R-- \x02SSP12\x03"),
              "03/04/2026 07:05:09 C(4) portable R-- \x02SSP12\x03");
    // Cut at the first carriage return, then at the first line feed.
    EXPECT_EQ(FormatCommLogLine(t, 1, "programmer", "R-- abc\ndef\rghi"),
              "03/04/2026 07:05:09 C(2) programmer R-- abc");
    // Percent signs in device text are text, never a format.
    EXPECT_EQ(FormatCommLogLine(t, 1, "programmer", "R-- %s%n%d"),
              "03/04/2026 07:05:09 C(2) programmer R-- %s%n%d");
}

TEST(CommLogFile, AppendsOneLinePerMessageWhileLogFileOn) {
    LogRig rig;
    rig.log.LogCommMessage(0, "T-- #30\r\n", "programmer");
    rig.log.LogCommMessage(0, "R-- #Model AP4118 Ver 1.07", "programmer");
    EXPECT_EQ(rig.FileText(), "03/14/2026 09:26:53 C(1) programmer T-- #30\n"
                              "03/14/2026 09:26:53 C(1) programmer R-- #Model AP4118 Ver 1.07\n");
    EXPECT_EQ(rig.log.LogFilePath(), rig.dir.File("communication log.txt"));
}

TEST(CommLogFile, OffKeepsTheMonitorButWritesNoFile) {
    LogRig rig;
    rig.SetLogFileOn(false);
    rig.log.LogCommMessage(1, "T-- #40\r\n", "programmer");
    EXPECT_FALSE(std::filesystem::exists(rig.dir.File("communication log.txt")));
    ASSERT_EQ(rig.log.RecentTraffic().size(), 1u);
    EXPECT_EQ(rig.log.MonitorText(), "03/14/2026 09:26:53 C(2) programmer T-- #40\r\n");
}

TEST(CommLogFile, UnopenableFileLosesOnlyTheFileLine) {
    LogRig rig;
    rig.data.SetStartDirectory(rig.dir.File("missing-folder") + "/");
    rig.log.LogCommMessage(0, "T-- #40", "programmer");
    EXPECT_EQ(rig.log.RecentTraffic().size(), 1u);
}

TEST(RecentTraffic, HoldsTheNewest1001Lines) {
    LogRig rig;
    rig.SetLogFileOn(false);
    for (int i = 1; i <= 1002; ++i) rig.log.LogCommMessage(0, "R-- " + std::to_string(i), "programmer");
    const auto& lines = rig.log.RecentTraffic();
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.front(), "03/14/2026 09:26:53 C(1) programmer R-- 2");
    EXPECT_EQ(lines.back(), "03/14/2026 09:26:53 C(1) programmer R-- 1002");
}

TEST(MonitorText, NewestFirstAndCutAfterTheLineThatPassesTheLimit) {
    LogRig rig;
    rig.SetLogFileOn(false);
    for (int i = 1; i <= 1002; ++i) rig.log.LogCommMessage(0, "R-- " + std::to_string(i), "programmer");
    const std::string text = rig.log.MonitorText();
    EXPECT_EQ(text.rfind("03/14/2026 09:26:53 C(1) programmer R-- 1002\r\n", 0), 0u);
    // Each line here is 40-44 characters plus CR LF; the text stops with the
    // first line that takes it over 9850 characters.
    EXPECT_GT(text.size(), kMonitorTextCut);
    EXPECT_LT(text.size(), kMonitorTextCut + 50);
    const std::string lastLine = text.substr(text.rfind("\r\n", text.size() - 3) + 2);
    EXPECT_LE(text.size() - lastLine.size(), kMonitorTextCut);
    EXPECT_LT(text.size(), kMonitorTextLimit);
}

TEST(MonitorText, RefreshedOnEveryMessageWhileOpen) {
    LogRig rig;
    rig.SetLogFileOn(false);
    std::vector<std::string> shown;
    rig.log.LogCommMessage(0, "R-- before", "programmer");
    rig.log.SetMonitorRefresh([&](const std::string& t) { shown.push_back(t); });
    ASSERT_EQ(shown.size(), 1u); // filled when it opens
    rig.log.LogCommMessage(0, "R-- after", "programmer");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], "03/14/2026 09:26:53 C(1) programmer R-- after\r\n"
                        "03/14/2026 09:26:53 C(1) programmer R-- before\r\n");
    rig.log.SetMonitorRefresh({});
    EXPECT_FALSE(rig.log.MonitorOpen());
    rig.log.LogCommMessage(0, "R-- closed", "programmer");
    EXPECT_EQ(shown.size(), 2u);
}

} // namespace
} // namespace velmora::test
