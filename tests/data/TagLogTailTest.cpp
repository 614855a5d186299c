// Reading the newest lines of the tag log back at start: backwards in blocks,
// newest first, at most 1000 lines.
#include "data/TagLog.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

// The lines a forward reading finds: complete lines (ending in LF, a CR before
// it dropped), non-empty, newest first.
Lines ForwardReference(const std::string& bytes, std::size_t maxLines) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        std::string line = bytes.substr(start, i - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.insert(lines.begin(), line);
        start = i + 1;
    }
    if (lines.size() > maxLines) lines.resize(maxLines);
    return lines;
}

std::string NumberedLog(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "10/24/2018 13:05 - \"Railcar,ABCD," + std::to_string(i) +
                ",RIGHT,50'6\",4,1,0\" 51,19,2 UMLER Ok RF Ok,0123456789ABCDEF0123456789ABCD\r\n";
    return text;
}

void WriteText(const std::string& path, const std::string& text) {
    test::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(TagLogTail, FilesLoadTheirNewestLinesUpToTheListSize) {
    test::TempDir dir;
    WriteText(dir.File("big.txt"), NumberedLog(5000));
    TagLogList list;
    EXPECT_EQ(LoadTagLogTail(dir.File("big.txt"), list), 1000u);
    Lines got;
    for (std::size_t i = 0; i < list.Size(); ++i) got.push_back(list.Line(i));
    EXPECT_EQ(got, ForwardReference(NumberedLog(5000), 1000));
    TagLogList small(4);
    EXPECT_EQ(LoadTagLogTail(dir.File("big.txt"), small), 4u);
    EXPECT_NE(small.Line(3).find("ABCD,4997,"), std::string::npos);
    WriteText(dir.File("empty.txt"), "");
    TagLogList none;
    for (const std::string& path : {dir.File("missing.txt"), dir.File("empty.txt"), dir.path().string()})
        EXPECT_EQ(LoadTagLogTail(path, none), 0u) << path;
    EXPECT_TRUE(none.Empty());
}

TEST(TagLogTail, ShortTexts) {
    EXPECT_EQ(TagLogTailOfBytes("first\r\nsecond\r\nthird\r\n"), (Lines{"third", "second", "first"}));
    EXPECT_EQ(TagLogTailOfBytes("one\r\ntwo\r\nhalf a li"), (Lines{"two", "one"}));
    EXPECT_TRUE(TagLogTailOfBytes("no line end at all").empty());
    EXPECT_EQ(TagLogTailOfBytes("\r\none\r\n\r\n\ntwo\n"), (Lines{"two", "one"}));
    const Lines lines = TagLogTailOfBytes("a\nstart" + std::string(3 * kTagLogMaxLineLength, 'x') + "\r\nb\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].size(), kTagLogMaxLineLength); // a huge line is cut to its start
    EXPECT_EQ(lines[1].substr(0, 6), "startx");
    EXPECT_EQ(lines[2], "a");
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

TEST(TagLogTail, ReadsBackwardsInBlocksOf510BytesAndKeepsWhatItFoundOnAnError) {
    const std::string bytes = NumberedLog(100);
    std::vector<std::pair<uint64_t, std::size_t>> reads;
    const Lines lines = ReadTagLogTail(bytes.size(), [&](uint64_t off, char* buf, std::size_t n) {
        reads.emplace_back(off, n);
        if (reads.size() > 2) return false;
        std::copy_n(bytes.data() + off, n, buf);
        return true;
    });
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0].first + reads[0].second, bytes.size());
    EXPECT_EQ(reads[0].second, 510u);
    for (std::size_t i = 1; i < reads.size(); ++i) EXPECT_EQ(reads[i].first + reads[i].second, reads[i - 1].first);
    ASSERT_FALSE(lines.empty());
    EXPECT_LT(lines.size(), 100u);
    EXPECT_NE(lines[0].find("ABCD,100,"), std::string::npos);
}

TEST(TagLogList, DropsTheOldestWhenFull) {
    TagLogList list(3);
    for (int i = 1; i <= 4; ++i) list.AddNewest("line " + std::to_string(i));
    EXPECT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.Line(0), "line 4");
    EXPECT_EQ(list.Line(2), "line 2");
    EXPECT_EQ(list.Line(3), "");
    EXPECT_FALSE(list.AddOlder("older"));
}

} // namespace
} // namespace velmora
