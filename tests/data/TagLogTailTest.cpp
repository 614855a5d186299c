// Reading the newest lines of the tag log back at start: backwards in blocks,
// newest first, at most 1000 lines.
#include "data/TagLog.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::TempDir;

// The lines a forward reading finds: complete lines (ending in LF, a CR before
// it dropped), non-empty, newest first.
std::vector<std::string> ForwardReference(const std::string& bytes, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        std::string line = bytes.substr(start, i - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = i + 1;
    }
    std::vector<std::string> newest(lines.rbegin(), lines.rend());
    if (newest.size() > maxLines) newest.resize(maxLines);
    return newest;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string NumberedLog(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "10/24/2018 13:05 - \"Railcar,ABCD," + std::to_string(i) +
                ",RIGHT,50'6\",4,1,0\" 51,19,2 UMLER Ok RF Ok,0123456789ABCDEF0123456789ABCD\r\n";
    return text;
}

TEST(TagLogTail, AFiveThousandLineLogLoadsItsNewestThousandNewestFirst) {
    TempDir dir;
    const std::string path = dir.File("tag log.txt");
    WriteText(path, NumberedLog(5000));
    TagLogList list;
    EXPECT_EQ(LoadTagLogTail(path, list), 1000u);
    ASSERT_EQ(list.Size(), 1000u);
    EXPECT_NE(list.Line(0).find("ABCD,5000,"), std::string::npos);
    EXPECT_NE(list.Line(999).find("ABCD,4001,"), std::string::npos);
    EXPECT_EQ(list.Line(0).back(), 'D'); // the CR is gone
    EXPECT_EQ(ForwardReference(NumberedLog(5000), 1000),
              std::vector<std::string>([&] {
                  std::vector<std::string> v;
                  for (std::size_t i = 0; i < list.Size(); ++i) v.push_back(list.Line(i));
                  return v;
              }()));
}

TEST(TagLogTail, AShortLogLoadsWholeIncludingItsFirstLine) {
    TempDir dir;
    const std::string path = dir.File("tag log.txt");
    WriteText(path, "first\r\nsecond\r\nthird\r\n");
    TagLogList list;
    EXPECT_EQ(LoadTagLogTail(path, list), 3u);
    EXPECT_EQ(list.Line(0), "third");
    EXPECT_EQ(list.Line(2), "first");
}

TEST(TagLogTail, AnUnterminatedLastLineIsSkipped) {
    EXPECT_EQ(TagLogTailOfBytes("one\r\ntwo\r\nhalf a li"), (std::vector<std::string>{"two", "one"}));
    EXPECT_TRUE(TagLogTailOfBytes("no line end at all").empty());
}

TEST(TagLogTail, EmptyLinesAreNotTags) {
    EXPECT_EQ(TagLogTailOfBytes("\r\none\r\n\r\n\ntwo\n"), (std::vector<std::string>{"two", "one"}));
}

TEST(TagLogTail, AMissingOrEmptyFileLeavesTheListEmpty) {
    TempDir dir;
    TagLogList list;
    EXPECT_EQ(LoadTagLogTail(dir.File("missing.txt"), list), 0u);
    WriteText(dir.File("empty.txt"), "");
    EXPECT_EQ(LoadTagLogTail(dir.File("empty.txt"), list), 0u);
    EXPECT_EQ(LoadTagLogTail(dir.path().string(), list), 0u); // a folder
    EXPECT_TRUE(list.Empty());
}

TEST(TagLogTail, LinesAcrossBlockBoundariesMatchAForwardReading) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int lines = static_cast<int>(rng() % 40);
        for (int i = 0; i < lines; ++i) {
            // Lengths around the block size, so lines and CR LF pairs straddle blocks.
            const std::size_t len = rng() % 3 == 0 ? 505 + rng() % 12 : rng() % 120;
            for (std::size_t k = 0; k < len; ++k) bytes += static_cast<char>('a' + rng() % 26);
            bytes += rng() % 4 == 0 ? "\n" : "\r\n";
        }
        if (rng() % 2) bytes += "tail";
        const std::size_t maxLines = 1 + rng() % 30;
        ASSERT_EQ(TagLogTailOfBytes(bytes, maxLines), ForwardReference(bytes, maxLines)) << "round " << round;
    }
}

TEST(TagLogTail, AHugeLineIsCutToItsStart) {
    std::string huge = "start";
    huge += std::string(3 * kTagLogMaxLineLength, 'x');
    const auto lines = TagLogTailOfBytes("a\n" + huge + "\r\nb\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].size(), kTagLogMaxLineLength);
    EXPECT_EQ(lines[1].substr(0, 6), "startx");
    EXPECT_EQ(lines[2], "a");
}

TEST(TagLogTail, AReadErrorKeepsTheLinesFoundSoFar) {
    const std::string bytes = NumberedLog(30);
    int reads = 0;
    auto lines = ReadTagLogTail(bytes.size(), [&](uint64_t off, char* buf, std::size_t n) {
        if (++reads > 2) return false;
        std::copy_n(bytes.data() + off, n, buf);
        return true;
    });
    EXPECT_FALSE(lines.empty());
    EXPECT_LT(lines.size(), 30u);
    EXPECT_NE(lines[0].find("ABCD,30,"), std::string::npos);
}

TEST(TagLogTail, ReadsBackwardsInBlocksOf510Bytes) {
    const std::string bytes = NumberedLog(100);
    std::vector<std::pair<uint64_t, std::size_t>> reads;
    ReadTagLogTail(bytes.size(), [&](uint64_t off, char* buf, std::size_t n) {
        reads.emplace_back(off, n);
        std::copy_n(bytes.data() + off, n, buf);
        return true;
    }, 5);
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads[0].first + reads[0].second, bytes.size());
    EXPECT_EQ(reads[0].second, 510u);
    for (std::size_t i = 1; i < reads.size(); ++i) EXPECT_EQ(reads[i].first + reads[i].second, reads[i - 1].first);
}

TEST(TagLogList, DropsTheOldestWhenFullAndLoadsOnlyToCapacity) {
    TagLogList list(3);
    for (int i = 1; i <= 4; ++i) list.AddNewest("line " + std::to_string(i));
    EXPECT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.Line(0), "line 4");
    EXPECT_EQ(list.Line(2), "line 2");
    EXPECT_EQ(list.Line(3), "");
    EXPECT_FALSE(list.AddOlder("older"));

    TempDir dir;
    WriteText(dir.File("log.txt"), NumberedLog(10));
    TagLogList small(4);
    EXPECT_EQ(LoadTagLogTail(dir.File("log.txt"), small), 4u);
    EXPECT_NE(small.Line(3).find("ABCD,7,"), std::string::npos);
}

} // namespace
} // namespace velmora
