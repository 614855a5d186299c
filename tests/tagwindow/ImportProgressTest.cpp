// The progress file of a fleet list: what a resume makes of the records a run
// left behind, including a run killed between two of its writes.
#include "TestSupport.h"

#include "tagwindow/ImportProgress.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

constexpr const char* kFrame = "9A0181C000AA981900000000000033";
constexpr const char* kOther = "9A0181C000AE981900000000000033";

TEST(ImportProgress, RecordsReadBackToTheFurthestStepOfEachLine) {
    const std::string text = std::string("sent 3 ") + kFrame + "\n" +
                             "programmed 3 " + kFrame + " 1234 17\n" +
                             "sent 5 " + kFrame + "\n" +
                             "done 4 " + kOther + " 12/07/2026 04:20\n" +
                             "sent 4 " + kOther + "\n" +        // an older step after done
                             "garbage 6 " + kFrame + "\n" +
                             "sent -1 " + kFrame + "\n" +
                             "sent 7 xyz\n" +
                             "programmed 8 " + kFrame + " 12\n" + // no total
                             "done 9 " + kFrame;                 // cut off: no line end
    const auto p = ReadProgress(text);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p.at(3).stage, ProgressStage::Programmed);
    EXPECT_EQ(p.at(3).logSize, 1234u);
    EXPECT_EQ(p.at(3).total, 17);
    EXPECT_EQ(p.at(4).stage, ProgressStage::Done);
    EXPECT_EQ(p.at(4).when, "12/07/2026 04:20");
    EXPECT_EQ(p.at(5).stage, ProgressStage::Sent);
}

TEST(ImportProgress, AStepOfAnotherFrameStartsTheLineAgain) {
    const auto p = ReadProgress(std::string("done 2 ") + kFrame + " 12/07/2026 04:20\nsent 2 " + kOther + "\n");
    EXPECT_EQ(p.at(2).stage, ProgressStage::Sent);
    EXPECT_EQ(p.at(2).frame, kOther);
}

TEST(ImportProgress, WhatAResumeStillDoes) {
    LineProgress sent{ProgressStage::Sent, kFrame, 0, 0, ""};
    LineProgress programmed{ProgressStage::Programmed, kFrame, 500, 41, ""};
    LineProgress done{ProgressStage::Done, kFrame, 0, 0, "12/07/2026 04:20"};
    struct Case {
        const char* name;
        LineProgress p;
        const char* lineFrame;
        bool logOn, loggedSince;
        int32_t totalNow;
        ResumeStep want;
    } cases[] = {
        {"nothing recorded", LineProgress{}, kFrame, true, false, 41, ResumeStep::Program},
        {"the list line changed", programmed, kOther, true, true, 42, ResumeStep::Program},
        {"answer lost", sent, kFrame, true, false, 41, ResumeStep::ReadBack},
        {"killed before the log line", programmed, kFrame, true, false, 41, ResumeStep::Log},
        {"killed between log line and counters", programmed, kFrame, true, true, 41, ResumeStep::Count},
        {"killed between counters and progress", programmed, kFrame, true, true, 42, ResumeStep::Finish},
        {"log off, not counted", programmed, kFrame, false, false, 41, ResumeStep::Log},
        {"log off, counted", programmed, kFrame, false, false, 42, ResumeStep::Finish},
        {"done", done, kFrame, true, false, 0, ResumeStep::Done},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextResumeStep(c.p, c.lineFrame, c.logOn, c.loggedSince, c.totalNow), c.want) << c.name;
}

TEST(ImportProgress, TheTagLogIsSearchedFromTheRecordedSize) {
    TempDir dir;
    const std::string log = dir.File("tag log.txt");
    const std::string first = std::string("10/24/2018 13:05 - \"Railcar,ABCD,42\" 51,19,2,") + kFrame + "\r\n";
    WriteFileBytes(log, std::vector<uint8_t>(first.begin(), first.end()));
    EXPECT_TRUE(TagLogHoldsFrameSince(log, 0, kFrame));
    EXPECT_FALSE(TagLogHoldsFrameSince(log, first.size(), kFrame)); // logged before the tag was
    EXPECT_FALSE(TagLogHoldsFrameSince(log, 0, "9A0181C000AA98"));   // a frame's start is not the frame
    EXPECT_FALSE(TagLogHoldsFrameSince(dir.File("none"), 0, kFrame));
}

TEST(ImportProgress, AppendedRecordsReadBackAndFinishTheirLines) {
    TempDir dir;
    const std::string path = ProgressFilePath(dir.File("fleet.txt"));
    std::string error;
    ASSERT_TRUE(AppendProgress(path, SentRecord(1, kFrame), error)) << error;
    ASSERT_TRUE(AppendProgress(path, ProgrammedRecord(1, kFrame, 99, 5), error)) << error;
    LocalDateTime when{};
    when.year = 2026, when.month = 12, when.day = 7, when.hour = 4, when.minute = 5;
    ASSERT_TRUE(AppendProgress(path, DoneRecord(1, kFrame, when), error)) << error;
    EXPECT_EQ(ReadFileText(path), std::string("sent 1 ") + kFrame + "\nprogrammed 1 " + kFrame + " 99 5\ndone 1 " +
                                      kFrame + " 12/07/2026 04:05\n");

    ImportList list;
    list.lines.resize(2);
    for (int i : {0, 1}) list.lines[i].fileLine = i + 1, list.lines[i].frameText = kFrame;
    ApplyProgress(list, LoadProgress(path));
    EXPECT_EQ(list.lines[0].state, ImportLineState::Programmed);
    EXPECT_EQ(list.lines[0].when, "12/07/2026 04:05");
    EXPECT_EQ(list.lines[1].state, ImportLineState::Waiting);

    EXPECT_FALSE(AppendProgress(dir.File("no/such/folder/x.progress"), "sent 1 A", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace velmora::test
