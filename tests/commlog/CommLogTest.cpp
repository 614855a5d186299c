// Communication log lines, the recent-traffic list, the monitor text, the
// log file switch, and trimming the communication log and the tag log to
// their newest lines.
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "commlog/TrimLog.h"
#include "data/AEIData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const std::string kStamp = "03/14/2026 09:26:53 C(1) programmer ";

struct CommLogTest : ::testing::Test {
    CommLogTest() { data.SetStartDirectory(dir.path().string() + "/"); }
    void LogFileOff() { SettingsBlock s = data.GetSettings(); s.logFileOn = 0; data.UpdateSettings(s); }
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;
    CommLog log{data};
};

TEST(CommLogLine, DateTimePortDeviceAndTextCutAtTheFirstLineEnd) {
    const LocalDateTime t{2026, 3, 4, 7, 5, 9, 63};
    EXPECT_EQ(FormatCommLogLine(t, 3, "portable", "R-- \x02SSP12\x03"), "03/04/2026 07:05:09 C(4) portable R-- \x02SSP12\x03");
    EXPECT_EQ(FormatCommLogLine(t, 1, "programmer", "R-- %s%n%d\ndef\rghi"), "03/04/2026 07:05:09 C(2) programmer R-- %s%n%d");
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

TEST_F(CommLogTest, RecentTrafficHoldsTheNewest1001LinesAndTheMonitorIsCut) {
    LogFileOff();
    for (int i = 1; i <= 1002; ++i) log.LogCommMessage(0, "R-- " + std::to_string(i), "programmer");
    const auto& lines = log.RecentTraffic();
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.front() + "|" + lines.back(), kStamp + "R-- 2|" + kStamp + "R-- 1002");
    // Newest first, stopping with the first line that takes it over the cut.
    const std::string text = log.MonitorText();
    EXPECT_EQ(text.rfind(kStamp + "R-- 1002\r\n", 0), 0u);
    EXPECT_GT(text.size(), kMonitorTextCut);
    const std::string lastLine = text.substr(text.rfind("\r\n", text.size() - 3) + 2);
    EXPECT_LE(text.size() - lastLine.size(), kMonitorTextCut);
    EXPECT_LT(text.size(), kMonitorTextLimit);
}

// With the log file off the monitor still shows every message.
TEST_F(CommLogTest, MonitorRefreshedOnEveryMessageWhileOpen) {
    LogFileOff();
    std::vector<std::string> shown;
    log.LogCommMessage(0, "R-- before\r\n", "programmer");
    EXPECT_FALSE(fs::exists(dir.File("communication log.txt")));
    log.SetMonitorRefresh([&](const std::string& t) { shown.push_back(t); });
    ASSERT_EQ(shown.size(), 1u); // filled when it opens
    log.LogCommMessage(0, "R-- after", "programmer");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], kStamp + "R-- after\r\n" + kStamp + "R-- before\r\n");
    log.SetMonitorRefresh({});
    log.LogCommMessage(0, "R-- closed", "programmer");
    EXPECT_EQ(std::tuple(log.MonitorOpen(), shown.size()), std::tuple(false, 2u));
}

void Write(const std::string& path, const std::string& text) { WriteFileBytes(path, {text.begin(), text.end()}); }

// Numbered lines of varied length until the text is `size` bytes long.
std::string LogOfSize(std::size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i) {
        std::string line = "line " + std::to_string(i) + " " + std::string(i % 70, 'x') + "\n";
        if (text.size() + line.size() > size) line = std::string(size - text.size() - 1, 'y') + "\n";
        text += line;
    }
    return text;
}

// The longest suffix starting at a line start that holds at most `limit` bytes.
std::string NewestLines(const std::string& text, std::size_t limit) {
    std::size_t start = 0;
    while (text.size() - start > limit) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
    }
    return text.substr(start);
}

TEST(TrimLog, CutByWholeLinesFromTheFront) {
    TempDir dir;
    std::string longLines; // lines longer than 499 characters are kept whole
    for (int i = 0; i < 40; ++i) longLines += std::to_string(i) + ":" + std::string(1200, 'L') + "\r\n";
    const struct {
        const char* what;
        std::string text;
        std::size_t limit;
        TrimOutcome outcome;
        std::string kept;
    } cases[] = {
        {"one byte over", LogOfSize(1000001), 1000000, TrimOutcome::Trimmed, NewestLines(LogOfSize(1000001), 1000000)},
        {"exactly at the limit", LogOfSize(1000000), 1000000, TrimOutcome::SmallEnough, LogOfSize(1000000)},
        {"long lines", longLines, 10000, TrimOutcome::Trimmed, longLines.substr(longLines.find("32:"))},
        {"last line without its end", "aaaa\nbbbb\ncccc", 10, TrimOutcome::Trimmed, "bbbb\ncccc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.File("communication log.txt");
        Write(path, c.text);
        EXPECT_EQ(TrimLogFile(path, c.limit), c.outcome);
        EXPECT_EQ(ReadFileText(path), c.kept);
        EXPECT_FALSE(fs::exists(dir.File("communication log.tmp")));
    }
}

TEST(TrimLog, FilesThatCannotBeTrimmedAreLeftUntouched) {
    TempDir dir;
    EXPECT_EQ(TrimLogFile(dir.File("absent.txt"), 10), TrimOutcome::NotOpened);
    Write(dir.File("logfile"), std::string(50, 'a') + "\n");
    EXPECT_EQ(TrimLogFile(dir.File("logfile"), 10), TrimOutcome::NoWorkName);
    EXPECT_EQ(ReadFileText(dir.File("logfile")).size(), 51u);
    // The work file is renamed over the log, so when it cannot be made the
    // log keeps every line.
    const std::string path = dir.File("comm.txt");
    const std::string text = std::string(30, 'a') + "\n" + std::string(30, 'b') + "\n";
    Write(path, text);
    fs::create_directory(dir.File("comm.tmp"));
    EXPECT_EQ(TrimLogFile(path, 40), TrimOutcome::WorkFileFailed);
    EXPECT_EQ(ReadFileText(path), text);
    EXPECT_EQ(TrimWorkFileName("/a/b/tag.log.txt") + "|" + TrimWorkFileName("/a.dir/logfile") + "|" + TrimWorkFileName("x.tmp"),
              "/a/b/tag.log.tmp||x.tmp.tmp");
}

TEST(TrimLogFiles, TrimsTheCommunicationLogAndTheTagLogOfTheStartDirectory) {
    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    data.SetStartDirectory(dir.path().string() + "/");
    data.SetTagLogFileName("tags.txt");
    const std::string big = LogOfSize(1000500);
    for (const char* name : {"communication log.txt", "tags.txt"}) Write(dir.File(name), big);
    TrimLogFiles(data);
    for (const char* name : {"communication log.txt", "tags.txt"})
        EXPECT_EQ(ReadFileText(dir.File(name)), NewestLines(big, 1000000)) << name;
}

} // namespace
} // namespace velmora::test
