// The tag log: the line of each kind of tag byte for byte, the counters, the
// recent tag lines and the in-memory list, the file with and without the log
// file option, and the day roll-over.
#include "data/AEIData.h"
#include "data/TagLog.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::FakeClock;
using test::ReadFileBytes;
using test::ScriptedOperator;
using test::TempDir;

constexpr int kRailcar = 0;
constexpr int kLocomotive = 1;
constexpr int kAscii = 2;
constexpr int kEotDevice = 3;
constexpr int kContainer = 5;

constexpr const char* kFrame = "0123456789ABCDEF0123456789ABCD";

struct Recorder : TagLogListener {
    std::vector<std::string> calls;
    void ShowProgrammedToday(const std::string& t) override { calls.push_back("today:" + t); }
    void ShowProgrammedCounter(const std::string& t) override { calls.push_back("counter:" + t); }
    void RecentTagLinesChanged() override { calls.push_back("recent"); }
    void TagLogLineAdded() override { calls.push_back("added"); }
};

LastTagRecord Record(int format, std::vector<std::string> texts, int umler = kUmlerNotChecked,
                     int rf = kRfNotChecked) {
    LastTagRecord r;
    r.formatIndex = static_cast<uint8_t>(format);
    for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
    r.umlerResult = umler;
    r.rfResult = rf;
    r.SetFrameText(kFrame);
    return r;
}

// A railcar as the form hands it over: the second "Length" row has no control
// and stays empty.
LastTagRecord Railcar(const std::string& length, int umler = kUmlerNotChecked, int rf = kRfNotChecked) {
    return Record(kRailcar, {"ABCD", "42", "RIGHT", length, "", "4", "1", "0"}, umler, rf);
}

std::string FileText(const std::string& path) {
    auto b = ReadFileBytes(path);
    return std::string(b.begin(), b.end());
}

class TagLogTest : public ::testing::Test {
protected:
    TagLogTest() : data(op, clock) {
        clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297};
        data.SetStartDirectory(dir.path().string() + "/");
    }
    void SetFeetInches(bool on) {
        SettingsBlock s = data.GetSettings();
        s.feetInches = on ? 1 : 0;
        data.UpdateSettings(s);
    }
    void SetLogFile(bool on) {
        SettingsBlock s = data.GetSettings();
        s.logFileOn = on ? 1 : 0;
        data.UpdateSettings(s);
    }
    std::string LogPath() const { return dir.File("tag log.txt"); }
    std::string Line(const LastTagRecord& r) { return LogProgrammedTag(data, list, r).line; }

    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data;
    TagLogList list;
};

// --- the line ------------------------------------------------------------------

// Each kind of tag's line, with the result words its format gets.
struct LineCase {
    LastTagRecord record;
    bool feetInches;
    int certify, reconditioned;
    const char* line; // after the date and time
};

TEST_F(TagLogTest, LineOfEachKindOfTag) {
    const LineCase cases[] = {
        {Railcar("50-6"), true, 0, 0, "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked"},
        {Railcar("50"), true, 0, 0, "\"Railcar,ABCD,42,RIGHT,50'0\",4,1,0\" 51,19,2 UMLER not checked RF not checked"},
        {Railcar("154", kUmlerAgrees, kRfOk), false, 0, 0, "\"Railcar,ABCD,42,RIGHT,154dm,4,1,0\" 51,19,2 UMLER Ok RF Ok"},
        {Record(kLocomotive, {"UP", "1234", "LEFT", "70-0", "6", "1"}, kUmlerDisagrees), true, 0, 0,
         "\"Locomotive,UP,1234,LEFT,70'0\",6,1\" 51,5,2 UMLER disagrees RF not checked"},
        {Record(kLocomotive, {"UP", "1234", "LEFT", "70-0", "6", "1"}, kUmlerAgrees, kRfOk), true, 1, 0,
         "\"Locomotive,UP,1234,LEFT,70'0\",6,1\" 51,5,2 UMLER Ok RF Ok"},
        {Record(kEotDevice, {"CSXE", "123456", "0", "RIGHT"}, kUmlerNotChecked, kRfIdOnly), true, 0, 0,
         "\"EOT Device,CSXE,123456,0,RIGHT\" 51,6,2 RF ID only"},
        {Record(kContainer, {"ABCU", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, kUmlerAgrees, kRfOk), true, 0, 0,
         "\"Container,ABCU,1,2,3,4,5,6,7,8,9\" 51,10,2 RF Ok"},
        {Record(kAscii, {"HELLO WORLD", "SECOND"}, kUmlerAgrees, kRfOk), true, 0, 0,
         "\"ASCII,HELLO WORLD,SECOND\" 0,0,2"},
        {Railcar("50-6", kUmlerDisagrees, kRfOk), true, 1, 0,
         "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 Certified RF OK"},
        {Railcar("50-6", kUmlerDisagrees, kRfOk), true, 1, 1,
         "\"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 Reconditioned RF OK"},
    };
    for (LineCase c : cases) {
        SetFeetInches(c.feetInches);
        c.record.certify = static_cast<uint8_t>(c.certify);
        c.record.reconditioned = static_cast<uint8_t>(c.reconditioned);
        EXPECT_EQ(Line(c.record), std::string("10/24/2018 13:05 - ") + c.line);
    }
    clock.local = LocalDateTime{2009, 1, 2, 3, 4, 0, 2};
    EXPECT_EQ(Line(Railcar("50-6")).substr(0, 19), "01/02/2009 03:04 - ");
}

TEST_F(TagLogTest, ControlCharactersInTextsBecomeBlanks) {
    LastTagRecord r = Record(kAscii, {"A\r\nB", "C\tD"});
    r.SetFrameText("0123456789\nBCDEF0123456789ABCD");
    LogProgrammedTag(data, list, r);
    EXPECT_EQ(list.Line(0), "10/24/2018 13:05 - \"ASCII,A  B,C D\" 0,0,2");
    EXPECT_EQ(FileText(LogPath()), list.Line(0) + ",0123456789 BCDEF0123456789ABCD\r\n");
}

// --- counters, lists and the file ------------------------------------------------

TEST_F(TagLogTest, CountsShowsAndWritesTheLineWithItsFrame) {
    SettingsBlock s = data.GetSettings();
    s.programmedToday = 4;
    s.programmedTotal = 99;
    s.certifiedCount = 7;
    data.UpdateSettings(s);
    Recorder rec;

    TagLogOutcome out = LogProgrammedTag(data, list, Railcar("50-6"), &rec);

    s = data.GetSettings();
    EXPECT_EQ(s.programmedToday, 5);
    EXPECT_EQ(s.programmedTotal, 100);
    EXPECT_EQ(s.certifiedCount, 7);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"today:Programmed Today 5", "counter:Programmed Counter 100",
                                                   "recent", "added"}));
    EXPECT_TRUE(out.fileOn);
    EXPECT_TRUE(out.fileWritten);
    EXPECT_EQ(FileText(LogPath()), out.line + "," + kFrame + "\r\n");
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Line(0), out.line);
    EXPECT_EQ(data.GetRecentTagLine(0), out.line);
}

TEST_F(TagLogTest, CertifiedTagCountsAsCertified) {
    LastTagRecord r = Railcar("50-6");
    r.certify = 1;
    LogProgrammedTag(data, list, r);
    EXPECT_EQ(data.GetSettings().certifiedCount, 1);
}

TEST_F(TagLogTest, TagsAreAppendedOldestFirstAndListedNewestFirst) {
    LogProgrammedTag(data, list, Railcar("50-6"));
    clock.local.minute = 6;
    LogProgrammedTag(data, list, Railcar("51-0"));
    const std::string text = FileText(LogPath());
    const auto first = text.find("13:05");
    const auto second = text.find("13:06");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(list.Line(0).find("13:06"), std::string::npos);
    EXPECT_NE(list.Line(1).find("13:05"), std::string::npos);
    EXPECT_NE(data.GetRecentTagLine(0).find("13:06"), std::string::npos);
    EXPECT_NE(data.GetRecentTagLine(1).find("13:05"), std::string::npos);
}

TEST_F(TagLogTest, AppendsToAnExistingLog) {
    test::WriteFileBytes(LogPath(), {'o', 'l', 'd', '\r', '\n'});
    TagLogOutcome out = LogProgrammedTag(data, list, Railcar("50-6"));
    EXPECT_EQ(FileText(LogPath()), "old\r\n" + out.line + "," + kFrame + "\r\n");
}

TEST_F(TagLogTest, LogFileOffUpdatesCountersAndListsButTouchesNoFile) {
    SetLogFile(false);
    Recorder rec;
    TagLogOutcome out = LogProgrammedTag(data, list, Railcar("50-6"), &rec);
    EXPECT_FALSE(out.fileOn);
    EXPECT_FALSE(std::filesystem::exists(LogPath()));
    EXPECT_EQ(list.Line(0), out.line);
    EXPECT_EQ(data.GetRecentTagLine(0), out.line);
    EXPECT_EQ(data.GetSettings().programmedTotal, 1);
    // The open tag log window is not told.
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"today:Programmed Today 1", "counter:Programmed Counter 1",
                                                   "recent"}));
}

TEST_F(TagLogTest, UnwritableLogStillCountsAndListsAndSaysWhy) {
    data.SetTagLogFileName(dir.File("no such folder/tag log.txt"));
    TagLogOutcome out = LogProgrammedTag(data, list, Railcar("50-6"));
    EXPECT_TRUE(out.fileOn);
    EXPECT_FALSE(out.fileWritten);
    EXPECT_NE(out.fileError.find("no such folder"), std::string::npos);
    EXPECT_EQ(list.Line(0), out.line);
    EXPECT_EQ(data.GetRecentTagLine(0), out.line);
    EXPECT_EQ(data.GetSettings().programmedToday, 1);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(TagLogTest, LogFileNameWithItsOwnFolderIsUsedAsGiven) {
    std::filesystem::create_directory(dir.path() / "logs");
    data.SetStartDirectory("/nonexistent/");
    data.SetTagLogFileName(dir.File("logs/tags.txt"));
    EXPECT_EQ(TagLogFilePath(data), dir.File("logs/tags.txt"));
    EXPECT_TRUE(LogProgrammedTag(data, list, Railcar("50-6")).fileWritten);
}

TEST_F(TagLogTest, LongLineIsKeptWholeInListAndFileAndCutTo119InRecentLines) {
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Wide Format Of Thirty Letters!");
    for (int r = 0; r < kFieldRows; ++r) {
        SetText(f.fieldName[r], "Field " + std::to_string(r));
        f.type[r] = kTypeAscii;
    }
    data.UpdateTagFormatData(20, f);
    LastTagRecord r;
    r.formatIndex = 20;
    for (int i = 0; i < kFieldRows; ++i) r.SetFieldText(i, std::string(30, static_cast<char>('A' + i)));
    r.SetFrameText(kFrame);

    TagLogOutcome out = LogProgrammedTag(data, list, r);
    EXPECT_EQ(out.line.size(), 16u + 4 + 30 + 15 * 31 + 2 + 5);
    EXPECT_EQ(list.Line(0), out.line);
    EXPECT_EQ(data.GetRecentTagLine(0), out.line.substr(0, 119));
    EXPECT_EQ(FileText(LogPath()), out.line + "," + kFrame + "\r\n");
}

TEST_F(TagLogTest, RecentLinesKeepTheNewestFifty) {
    SetLogFile(false);
    for (int i = 0; i < 51; ++i) {
        clock.local.hour = i / 60;
        clock.local.minute = i % 60;
        LogProgrammedTag(data, list, Railcar("50-6"));
    }
    EXPECT_EQ(data.GetRecentTagLine(0).substr(11, 5), "00:50");
    EXPECT_EQ(data.GetRecentTagLine(49).substr(11, 5), "00:01");
    EXPECT_EQ(list.Size(), 51u);
    EXPECT_EQ(list.Line(50).substr(11, 5), "00:00");
}

TEST_F(TagLogTest, CountersPastTheLargestValueStartAgainAtZero) {
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = INT32_MAX;
    data.UpdateSettings(s);
    LogProgrammedTag(data, list, Railcar("50-6"));
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
}

TEST_F(TagLogTest, LoggedLinesComeBackNewestFirstWithTheirFrames) {
    std::vector<std::string> lines;
    for (int i = 0; i < 3; ++i) {
        clock.local.minute = i;
        lines.push_back(LogProgrammedTag(data, list, Railcar("50-6")).line);
    }
    TagLogList fresh;
    EXPECT_EQ(LoadTagLogTail(LogPath(), fresh), 3u);
    ASSERT_EQ(fresh.Size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(fresh.Line(i), lines[2 - i] + "," + kFrame);
}

// --- counters over the day ---------------------------------------------------------

TEST_F(TagLogTest, DayRolloverResetsTodayOnlyWhenTheDayChanges) {
    SettingsBlock s = data.GetSettings();
    s.dayOfYear = 297;
    s.programmedToday = 12;
    s.programmedTotal = 40;
    data.UpdateSettings(s);
    Recorder rec;

    EXPECT_FALSE(CheckDayRollover(data, &rec));
    EXPECT_EQ(data.GetSettings().programmedToday, 12);
    EXPECT_TRUE(rec.calls.empty());

    clock.local = LocalDateTime{2018, 10, 25, 0, 0, 30, 298};
    EXPECT_TRUE(CheckDayRollover(data, &rec));
    s = data.GetSettings();
    EXPECT_EQ(s.programmedToday, 0);
    EXPECT_EQ(s.programmedTotal, 40);
    EXPECT_EQ(s.dayOfYear, 298);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"today:Programmed Today 0"}));

    EXPECT_FALSE(CheckDayRollover(data, &rec));
}

TEST_F(TagLogTest, DayRolloverAfterARestartOnALaterDay) {
    // The stored day is from an earlier run; the first check resets it.
    SettingsBlock s = data.GetSettings();
    s.dayOfYear = 10;
    s.programmedToday = 3;
    data.UpdateSettings(s);
    EXPECT_TRUE(CheckDayRollover(data));
    EXPECT_EQ(data.GetSettings().programmedToday, 0);
    EXPECT_EQ(data.GetSettings().dayOfYear, 297);
}

TEST_F(TagLogTest, ClearTagCounterZeroesTheTotalOnly) {
    LogProgrammedTag(data, list, Railcar("50-6"));
    LogProgrammedTag(data, list, Railcar("50-6"));
    Recorder rec;
    ClearTagCounter(data, &rec);
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
    EXPECT_EQ(data.GetSettings().programmedToday, 2);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"counter:Programmed Counter 0"}));
}

} // namespace
} // namespace velmora
