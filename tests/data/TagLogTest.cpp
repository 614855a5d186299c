// The tag log: the line of each kind of tag byte for byte, the counters, the
// recent tag lines and the in-memory list, the file with and without the log
// file option, the day roll-over, and reading the newest lines back at start
// (backwards in blocks, newest first, at most 1000 lines).
#include "data/AEIData.h"
#include "data/TagLog.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

constexpr const char* kFrame = "0123456789ABCDEF0123456789ABCD";
using Calls = std::vector<std::string>;

struct Recorder : TagLogListener {
    Calls calls;
    void ShowProgrammedToday(const std::string& t) override { calls.push_back("today:" + t); }
    void ShowProgrammedCounter(const std::string& t) override { calls.push_back("counter:" + t); }
    void RecentTagLinesChanged() override { calls.push_back("recent"); }
    void TagLogLineAdded() override { calls.push_back("added"); }
};

LastTagRecord Record(int format, std::vector<std::string> texts, int umler = kUmlerNotChecked,
                     int rf = kRfNotChecked, int certify = 0, int reconditioned = 0) {
    LastTagRecord r;
    r.formatIndex = static_cast<uint8_t>(format);
    for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
    std::tie(r.umlerResult, r.rfResult) = std::tuple(umler, rf);
    std::tie(r.certify, r.reconditioned) = std::tuple(uint8_t(certify), uint8_t(reconditioned));
    r.SetFrameText(kFrame);
    return r;
}

// A railcar as the form hands it over: the second "Length" row stays empty.
LastTagRecord Railcar(const std::string& length, int umler = kUmlerNotChecked, int rf = kRfNotChecked,
                      int certify = 0, int reconditioned = 0) {
    return Record(0, {"ABCD", "42", "RIGHT", length, "", "4", "1", "0"}, umler, rf, certify, reconditioned);
}

struct TagLogTest : ::testing::Test {
    TagLogTest() {
        clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297};
        data.SetStartDirectory(dir.path().string() + "/");
    }
    void Set(uint8_t SettingsBlock::*field, int value) {
        SettingsBlock s = data.GetSettings();
        s.*field = static_cast<uint8_t>(value);
        data.UpdateSettings(s);
    }
    std::string LogPath() const { return dir.File("tag log.txt"); }
    std::string FileText() const { return test::ReadFileText(LogPath()); }
    TagLogOutcome Log(const LastTagRecord& r, TagLogListener* l = nullptr) { return LogProgrammedTag(data, list, r, l); }

    test::TempDir dir;
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    TagLogList list;
};

TEST_F(TagLogTest, LineOfEachKindOfTag) {
    const struct {
        LastTagRecord record;
        bool feetInches;
        const char* line; // after the date and time
    } cases[] = {
        {Railcar("50-6"), true, "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked"},
        {Railcar("50"), true, "\"Railcar,ABCD,42,RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not checked RF not checked"},
        {Railcar("154", kUmlerAgrees, kRfOk), false, "\"Railcar,ABCD,42,RIGHT,154dm,4,1,0\" 51,19,2 UMLER Ok RF Ok"},
        {Record(1, {"UP", "1234", "LEFT", "70-0", "6", "1"}, kUmlerDisagrees), true,
         "\"Locomotive,UP,1234,LEFT,70'0\",6,1\" 51,5,2 UMLER disagrees RF not checked"},
        {Record(1, {"UP", "1234", "LEFT", "70-0", "6", "1"}, kUmlerAgrees, kRfOk, 1), true,
         "\"Locomotive,UP,1234,LEFT,70'0\",6,1\" 51,5,2 UMLER Ok RF Ok"},
        {Record(3, {"CSXE", "123456", "0", "RIGHT"}, kUmlerNotChecked, kRfIdOnly), true,
         "\"EOT Device,CSXE,123456,0,RIGHT\" 51,6,2 RF ID only"},
        {Record(5, {"ABCU", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, kUmlerAgrees, kRfOk), true,
         "\"Container,ABCU,1,2,3,4,5,6,7,8,9\" 51,10,2 RF Ok"},
        {Record(2, {"HELLO WORLD", "SECOND"}, kUmlerAgrees, kRfOk), true, "\"ASCII,HELLO WORLD,SECOND\" 0,0,2"},
        {Railcar("50-6", kUmlerDisagrees, kRfOk, 1), true,
         "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 Certified RF OK"},
        {Railcar("50-6", kUmlerDisagrees, kRfOk, 1, 1), true,
         "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 Reconditioned RF OK"},
    };
    for (const auto& c : cases) {
        Set(&SettingsBlock::feetInches, c.feetInches);
        EXPECT_EQ(Log(c.record).line, std::string("10/24/2018 13:05 - ") + c.line);
    }
    EXPECT_EQ(data.GetSettings().certifiedCount, 3);
    clock.local = LocalDateTime{2009, 1, 2, 3, 4, 0, 2};
    EXPECT_EQ(Log(Railcar("50-6")).line.substr(0, 19), "01/02/2009 03:04 - ");
}

TEST_F(TagLogTest, ControlCharactersInTextsBecomeBlanks) {
    LastTagRecord r = Record(2, {"A\r\nB", "C\tD"});
    r.SetFrameText("0123456789\nBCDEF0123456789ABCD");
    Log(r);
    EXPECT_EQ(list.Line(0), "10/24/2018 13:05 - \"ASCII,A  B,C D\" 0,0,2");
    EXPECT_EQ(FileText(), list.Line(0) + ",0123456789 BCDEF0123456789ABCD\r\n");
}

TEST_F(TagLogTest, CountsShowsAndAppendsTheLineWithItsFrame) {
    SettingsBlock s = data.GetSettings();
    std::tie(s.programmedToday, s.programmedTotal) = std::tuple(4, 99);
    data.UpdateSettings(s);
    test::WriteFileBytes(LogPath(), {'o', 'l', 'd', '\r', '\n'});
    Recorder rec;
    const TagLogOutcome first = Log(Railcar("50-6"), &rec);
    clock.local.minute = 6;
    const TagLogOutcome second = Log(Railcar("51-0"));
    EXPECT_EQ(std::tuple(data.GetSettings().programmedToday, data.GetSettings().programmedTotal,
                         int(data.GetSettings().certifiedCount)), std::tuple(6, 101, 0));
    EXPECT_EQ(rec.calls, (Calls{"today:Programmed Today 5", "counter:Programmed Counter 100", "recent", "added"}));
    EXPECT_TRUE(first.fileOn && first.fileWritten);
    EXPECT_EQ(FileText(), "old\r\n" + first.line + "," + kFrame + "\r\n" + second.line + "," + kFrame + "\r\n");
    EXPECT_EQ(std::tuple(list.Size(), list.Line(0), list.Line(1)), std::tuple(2u, second.line, first.line));
    EXPECT_EQ(std::tuple(data.GetRecentTagLine(0), data.GetRecentTagLine(1)), std::tuple(second.line, first.line));
}

TEST_F(TagLogTest, LogFileOffOrUnwritableStillCountsAndLists) {
    Set(&SettingsBlock::logFileOn, 0);
    Recorder rec;
    TagLogOutcome out = Log(Railcar("50-6"), &rec);
    EXPECT_FALSE(out.fileOn || std::filesystem::exists(LogPath()));
    EXPECT_EQ(data.GetRecentTagLine(0), out.line);
    EXPECT_EQ(rec.calls, (Calls{"today:Programmed Today 1", "counter:Programmed Counter 1", "recent"}));
    Set(&SettingsBlock::logFileOn, 1);
    data.SetTagLogFileName(dir.File("no such folder/tag log.txt"));
    out = Log(Railcar("50-6"));
    EXPECT_TRUE(out.fileOn && !out.fileWritten);
    EXPECT_NE(out.fileError.find("no such folder"), std::string::npos);
    EXPECT_EQ(list.Line(0), out.line);
    EXPECT_EQ(data.GetSettings().programmedToday, 2);
    EXPECT_TRUE(op.boxes.empty());
    // A name with its own folder is used as given.
    std::filesystem::create_directory(dir.path() / "logs");
    data.SetStartDirectory("/nonexistent/");
    data.SetTagLogFileName(dir.File("logs/tags.txt"));
    EXPECT_EQ(TagLogFilePath(data), dir.File("logs/tags.txt"));
    EXPECT_TRUE(Log(Railcar("50-6")).fileWritten);
}

TEST_F(TagLogTest, LongLineIsKeptWholeInListAndFileAndCutTo119InRecentLines) {
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Wide Format Of Thirty Letters!");
    std::vector<std::string> texts;
    for (int r = 0; r < kFieldRows; ++r) {
        SetText(f.fieldName[r], "Field " + std::to_string(r));
        f.type[r] = kTypeAscii;
        texts.push_back(std::string(30, static_cast<char>('A' + r)));
    }
    data.UpdateTagFormatData(20, f);
    const TagLogOutcome out = Log(Record(20, texts));
    EXPECT_EQ(std::tuple(out.line.size(), list.Line(0)), std::tuple(16u + 4 + 30 + 15 * 31 + 2 + 5, out.line));
    EXPECT_EQ(data.GetRecentTagLine(0), out.line.substr(0, 119));
    EXPECT_EQ(FileText(), out.line + "," + kFrame + "\r\n");
}

TEST_F(TagLogTest, RecentLinesKeepTheNewestFiftyAndTheTotalWraps) {
    Set(&SettingsBlock::logFileOn, 0);
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = INT32_MAX - 50;
    data.UpdateSettings(s);
    for (int i = 0; i < 51; ++i) {
        clock.local.hour = i / 60;
        clock.local.minute = i % 60;
        Log(Railcar("50-6"));
    }
    EXPECT_EQ(data.GetRecentTagLine(0).substr(11, 5) + data.GetRecentTagLine(49).substr(11, 5), "00:5000:01");
    EXPECT_EQ(std::tuple(list.Size(), list.Line(50).substr(11, 5)), std::tuple(51u, "00:00"));
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
}

TEST_F(TagLogTest, DayRolloverAndClearingTheCounter) {
    const auto counters = [&] {
        const SettingsBlock s = data.GetSettings();
        return std::tuple(s.dayOfYear, s.programmedToday, s.programmedTotal);
    };
    SettingsBlock s = data.GetSettings();
    std::tie(s.dayOfYear, s.programmedToday, s.programmedTotal) = std::tuple(297, 12, 40);
    data.UpdateSettings(s);
    Recorder rec;
    EXPECT_FALSE(CheckDayRollover(data, &rec));
    EXPECT_EQ(counters(), std::tuple(297, 12, 40));
    EXPECT_TRUE(rec.calls.empty());
    clock.local = LocalDateTime{2018, 10, 25, 0, 0, 30, 298};
    EXPECT_TRUE(CheckDayRollover(data, &rec));
    EXPECT_EQ(counters(), std::tuple(298, 0, 40));
    EXPECT_FALSE(CheckDayRollover(data, &rec));
    // A stored day from an earlier run, later or earlier in the year, is a new day.
    s = data.GetSettings();
    std::tie(s.dayOfYear, s.programmedToday) = std::tuple(10, 3);
    data.UpdateSettings(s);
    EXPECT_TRUE(CheckDayRollover(data));
    EXPECT_EQ(counters(), std::tuple(298, 0, 40));
    Log(Railcar("50-6"));
    ClearTagCounter(data, &rec);
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
    EXPECT_EQ(data.GetSettings().programmedToday, 1);
    EXPECT_EQ(rec.calls, (Calls{"today:Programmed Today 0", "counter:Programmed Counter 0"}));
}


using Lines = std::vector<std::string>;

// The lines a forward reading finds: complete lines (ending in LF, a CR before
// it dropped), non-empty, newest first.
Lines ForwardReference(const std::string& bytes, std::size_t maxLines) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; start = i + 1, i = bytes.find('\n', start)) {
        std::string line = bytes.substr(start, i - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.insert(lines.begin(), line);
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

void WriteText(const std::string& path, const std::string& text) { test::WriteFileBytes(path, {text.begin(), text.end()}); }

TEST(TagLogTail, FilesLoadTheirNewestLinesUpToTheListSize) {
    test::TempDir dir;
    WriteText(dir.File("big.txt"), NumberedLog(5000));
    TagLogList list, small(4), none;
    EXPECT_EQ(LoadTagLogTail(dir.File("big.txt"), list), 1000u);
    EXPECT_NE(list.Line(0).find("ABCD,5000,"), std::string::npos);
    EXPECT_NE(list.Line(999).find("ABCD,4001,"), std::string::npos);
    EXPECT_EQ(LoadTagLogTail(dir.File("big.txt"), small), 4u);
    WriteText(dir.File("empty.txt"), "");
    for (const std::string& path : {dir.File("missing.txt"), dir.File("empty.txt"), dir.path().string()})
        EXPECT_EQ(LoadTagLogTail(path, none), 0u) << path;
}

// A huge line (a damaged file) is cut to its start.
TEST(TagLogTail, AHugeLineIsCut) {
    const Lines lines = TagLogTailOfBytes("a\nstart" + std::string(3 * kTagLogMaxLineLength, 'x') + "\r\nb\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].size(), kTagLogMaxLineLength);
    EXPECT_EQ(lines[1].substr(0, 6), "startx");
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
    EXPECT_EQ(reads[0], std::pair(uint64_t(bytes.size() - 510), std::size_t(510)));
    for (std::size_t i = 1; i < reads.size(); ++i) EXPECT_EQ(reads[i].first + reads[i].second, reads[i - 1].first);
    ASSERT_TRUE(!lines.empty() && lines.size() < 100u);
    EXPECT_NE(lines[0].find("ABCD,100,"), std::string::npos);
}

TEST(TagLogList, DropsTheOldestWhenFull) {
    TagLogList list(3);
    for (int i = 1; i <= 4; ++i) list.AddNewest("line " + std::to_string(i));
    EXPECT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.Line(0) + "|" + list.Line(2) + "|" + list.Line(3), "line 4|line 2|");
    EXPECT_FALSE(list.AddOlder("older"));
}

} // namespace
} // namespace velmora
