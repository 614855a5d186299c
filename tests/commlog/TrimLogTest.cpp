// Trimming the communication log and the tag log to their newest lines.
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "commlog/TrimLog.h"
#include "data/AEIData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text) {
    WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

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
    const std::string noDot = dir.File("logfile");
    Write(noDot, std::string(50, 'a') + "\n");
    EXPECT_EQ(TrimLogFile(noDot, 10), TrimOutcome::NoWorkName);
    EXPECT_EQ(ReadFileText(noDot).size(), 51u);
    // The work file is renamed over the log, so when it cannot be made the
    // log keeps every line.
    const std::string path = dir.File("comm.txt");
    const std::string text = std::string(30, 'a') + "\n" + std::string(30, 'b') + "\n";
    Write(path, text);
    fs::create_directory(dir.File("comm.tmp"));
    EXPECT_EQ(TrimLogFile(path, 40), TrimOutcome::WorkFileFailed);
    EXPECT_EQ(ReadFileText(path), text);
    EXPECT_EQ(TrimWorkFileName("/a/b/communication log.txt"), "/a/b/communication log.tmp");
    EXPECT_EQ(TrimWorkFileName("tag.log.txt"), "tag.log.tmp");
    EXPECT_EQ(TrimWorkFileName("/a.dir/logfile"), "");
    EXPECT_EQ(TrimWorkFileName("x.tmp"), "x.tmp.tmp");
}

TEST(TrimLogFiles, TrimsTheCommunicationLogAndTheTagLogOfTheStartDirectory) {
    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    data.SetStartDirectory(dir.path().string() + "/");
    data.SetTagLogFileName("tags.txt");
    const std::string big = LogOfSize(1000500);
    Write(dir.File("communication log.txt"), big);
    Write(dir.File("tags.txt"), big);
    TrimLogFiles(data);
    EXPECT_EQ(ReadFileText(dir.File("communication log.txt")), NewestLines(big, 1000000));
    EXPECT_EQ(ReadFileText(dir.File("tags.txt")), NewestLines(big, 1000000));
}

} // namespace
} // namespace velmora::test
