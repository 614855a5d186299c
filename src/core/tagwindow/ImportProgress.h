// The progress file beside a fleet list ("<list>.progress"): one text line
// per step of a list line, appended and flushed to the disk at once, so that
// a restart, a crash or a pulled plug resumes at the first unfinished line
// with no line programmed or logged twice and none skipped.
//
//   sent <line> <frame>                           before the program command goes out
//   programmed <line> <frame> <log size> <total>  the programmer said done; before the tag log line
//   done <line> <frame> <MM/DD/YYYY hh:mm>        after the tag log line and the saved counters
//
// <line> is the line's number in the list file, <frame> its frame: a step of
// a line whose frame is no longer the same (the list was edited) counts for
// nothing. <log size> is the tag log file's size and <total> the programmed
// counter before the tag was logged: a resume finds the tag's log line after
// that size, and the counter past that total, when they were written.
#pragma once

#include "data/TagLog.h"
#include "tagwindow/ImportList.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace velmora {

enum class ProgressStage { None, Sent, Programmed, Done };

struct LineProgress {
    ProgressStage stage = ProgressStage::None;
    std::string frame;
    uint64_t logSize = 0;
    int32_t total = 0;
    std::string when;
};

std::string ProgressFilePath(const std::string& listPath);

// The furthest step of each line, by line number. Damaged or cut lines are
// skipped.
std::map<int, LineProgress> ReadProgress(std::string_view text);
// The same from the file; none when it cannot be read.
std::map<int, LineProgress> LoadProgress(const std::string& path);

std::string SentRecord(int line, std::string_view frame);
std::string ProgrammedRecord(int line, std::string_view frame, uint64_t logSize, int32_t total);
std::string DoneRecord(int line, std::string_view frame, const LocalDateTime& when);

// Appends one record and its line end, flushed to the disk; false with the
// reason when it could not be written whole.
bool AppendProgress(const std::string& path, const std::string& record, std::string& error);

// What a line still needs on a resume.
enum class ResumeStep {
    Program,  // nothing went out (or the tag read back is not this line's)
    ReadBack, // the command went out and the answer was lost: read the tag and compare
    Log,      // programmed, not logged: count and log
    Count,    // logged, the counters not saved: count only
    Finish,   // logged and counted: record it done
    Done,
};

// loggedSince: the tag log holds the line's frame after the recorded size
// (with the log file off the counter alone tells); totalNow: the programmed
// counter as the options file holds it now.
ResumeStep NextResumeStep(const LineProgress& p, std::string_view lineFrame, bool logFileOn, bool loggedSince,
                          int32_t totalNow);

// True when the file holds a line ending in ",<frame>" after offset.
bool TagLogHoldsFrameSince(const std::string& tagLogPath, uint64_t offset, std::string_view frame);

// Marks the list's lines done by the progress (state Programmed, the time).
void ApplyProgress(ImportList& list, const std::map<int, LineProgress>& progress);

} // namespace velmora
