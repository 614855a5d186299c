// Trimming the communication log and the tag log to their newest lines.
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "commlog/TrimLog.h"
#include "data/AEIData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    auto b = ReadFileBytes(path);
    return std::string(b.begin(), b.end());
}
void Write(const std::string& path, const std::string& text) {
    WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Numbered lines of varied length until the text reaches `size` bytes
// (the last line is padded to hit it exactly).
std::string LogOfSize(std::size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i) {
        std::string line = "line " + std::to_string(i) + " " + std::string(i % 70, 'x') + "\n";
        if (text.size() + line.size() > size) {
            line = std::string(size - text.size() - 1, 'y') + "\n";
            if (line.size() == 1 && text.size() + 1 > size) break;
        }
        text += line;
    }
    return text;
}

// The expected result: the longest suffix starting at a line start that
// holds at most `limit` bytes.
std::string NewestLines(const std::string& text, std::size_t limit) {
    std::size_t start = 0;
    while (text.size() - start > limit) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
    }
    return text.substr(start);
}

TEST(TrimLog, OneByteOverTheLimitIsCutByWholeLinesFromTheFront) {
    TempDir dir;
    const std::string path = dir.File("communication log.txt");
    const std::string text = LogOfSize(1000001);
    ASSERT_EQ(text.size(), 1000001u);
    Write(path, text);
    EXPECT_EQ(TrimLogFile(path), TrimOutcome::Trimmed);
    const std::string kept = Slurp(path);
    EXPECT_LE(kept.size(), 1000000u);
    EXPECT_EQ(kept, NewestLines(text, 1000000));
    EXPECT_FALSE(fs::exists(dir.File("communication log.tmp")));
}

TEST(TrimLog, ExactlyAtTheLimitIsLeftAlone) {
    TempDir dir;
    const std::string path = dir.File("tag log.txt");
    const std::string text = LogOfSize(1000000);
    Write(path, text);
    EXPECT_EQ(TrimLogFile(path), TrimOutcome::SmallEnough);
    EXPECT_EQ(Slurp(path), text);
}

// Sound behaviour: lines longer than 499 characters are kept whole.
TEST(TrimLog, LongLinesAreKeptWhole) {
    TempDir dir;
    const std::string path = dir.File("log.txt");
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::to_string(i) + ":" + std::string(1200, 'L') + "\r\n";
    Write(path, text);
    EXPECT_EQ(TrimLogFile(path, 10000), TrimOutcome::Trimmed);
    const std::string kept = Slurp(path);
    EXPECT_EQ(kept, NewestLines(text, 10000));
    EXPECT_EQ(kept.rfind("32:", 0), 0u);
}

TEST(TrimLog, LastLineWithoutLineEndStaysAsItWas) {
    TempDir dir;
    const std::string path = dir.File("log.txt");
    Write(path, "aaaa\nbbbb\ncccc");
    EXPECT_EQ(TrimLogFile(path, 10), TrimOutcome::Trimmed);
    EXPECT_EQ(Slurp(path), "bbbb\ncccc");
}

TEST(TrimLog, FilesThatCannotBeTrimmedAreLeftUntouched) {
    TempDir dir;
    EXPECT_EQ(TrimLogFile(dir.File("absent.txt"), 10), TrimOutcome::NotOpened);

    const std::string noDot = dir.File("logfile");
    Write(noDot, std::string(50, 'a') + "\n");
    EXPECT_EQ(TrimLogFile(noDot, 10), TrimOutcome::NoWorkName);
    EXPECT_EQ(Slurp(noDot).size(), 51u);

    // Sound behaviour: the work file is renamed over the log, so when the
    // work file cannot be made the log keeps every line.
    const std::string path = dir.File("comm.txt");
    const std::string text = std::string(30, 'a') + "\n" + std::string(30, 'b') + "\n";
    Write(path, text);
    fs::create_directory(dir.File("comm.tmp"));
    EXPECT_EQ(TrimLogFile(path, 40), TrimOutcome::WorkFileFailed);
    EXPECT_EQ(Slurp(path), text);
}

TEST(TrimLog, WorkFileNames) {
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
    EXPECT_EQ(Slurp(dir.File("communication log.txt")), NewestLines(big, 1000000));
    EXPECT_EQ(Slurp(dir.File("tags.txt")), NewestLines(big, 1000000));
}

} // namespace
} // namespace velmora::test
