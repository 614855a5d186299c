// The tag log and the programmed-tag counters: every tag programmed (or
// certified) successfully is counted, described by one line at the top of the
// recent tag lines and of the in-memory tag log list, and, with the log file
// on, appended with its frame text to the tag log file. At start the newest
// lines of the file are read back into the list.
//
// Line format (the file adds ",<frame text>" and CR LF):
//   10/24/2018 13:05 - "Railcar,ABCD,42,RIGHT,50'6",4,1,0" 51,19,2 UMLER not checked RF not checked
#pragma once

#include "data/LastTagRecord.h"
#include "platform/Clock.h"
#include "tagdata/TagFormatData.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class AEIData;

inline constexpr std::size_t kTagLogListCapacity = 1000; // lines kept in memory
inline constexpr std::size_t kTagLogTailLines = 1000;    // lines read back at start
inline constexpr std::size_t kTagLogBlockSize = 510;     // the file is read backwards in these
// A line read back is cut to this many characters: a written line is never
// near it, so only a damaged file (no line ends) reaches it.
inline constexpr std::size_t kTagLogMaxLineLength = 4096;

// The in-memory tag log list, newest first. When it is full the oldest line
// is dropped before a new one is put at the top.
class TagLogList {
public:
    explicit TagLogList(std::size_t capacity = kTagLogListCapacity)
        : capacity_(capacity == 0 ? 1 : capacity) {}

    // Puts a line at the top (a tag just logged).
    void AddNewest(std::string line);
    // Puts a line at the bottom (reading the file back, newest first); false,
    // and nothing added, when the list is full.
    bool AddOlder(std::string line);

    std::size_t Size() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    std::size_t Capacity() const { return capacity_; }
    // Line i, 0 = newest; empty for an index past the end.
    const std::string& Line(std::size_t i) const;
    void Clear() { lines_.clear(); }

private:
    std::deque<std::string> lines_;
    std::size_t capacity_;
};

// What the windows do when the log changes. The frame and the windows
// implement it; every call has a do-nothing default.
class TagLogListener {
public:
    virtual ~TagLogListener() = default;
    // The bottom status bar's "Programmed Today" and "Programmed Counter" panes.
    virtual void ShowProgrammedToday(const std::string& text) { (void)text; }
    virtual void ShowProgrammedCounter(const std::string& text) { (void)text; }
    // The recent tag lines changed: refill the main window's list with the
    // lines up to the first empty one.
    virtual void RecentTagLinesChanged() {}
    // A line was put at the top of the in-memory list with the log file on:
    // an open programmed tag log window shows it as its top row.
    virtual void TagLogLineAdded() {}
};

std::string ProgrammedTodayText(int32_t count);   // "Programmed Today %d"
std::string ProgrammedCounterText(int32_t count); // "Programmed Counter %d"

// The result words of a line (" UMLER not checked RF Ok", " Certified RF OK",
// or nothing), by the format's codes and the record's flags.
std::string TagLogResultWords(const LastTagRecord& record, const TagFormatData& format);

// The line for a tag, without the file's frame suffix. Lengths are written as
// "dm" values or as feet'inches" by the feetInches option. Control characters
// in the texts are written as blanks so that a line stays one line.
std::string BuildTagLogLine(const LastTagRecord& record, const TagFormatData& format,
                            bool feetInches, const LocalDateTime& now);

// The tag log file's path: its name from the options, with the start
// directory in front of a name that has no directory of its own.
std::string TagLogFilePath(const AEIData& data);

struct TagLogOutcome {
    std::string line;         // as put into the lists (no frame suffix)
    bool fileOn = false;      // the log file option was on
    bool fileWritten = false; // the line reached the file whole
    std::string fileError;    // why not, when the file was on and not written
};

// Counts the tag, puts its line at the top of the in-memory list and of the
// recent tag lines, and, with the log file on, appends the line and its frame
// text to the tag log file. A file that cannot be written leaves the counts
// and the lists updated; the outcome says what happened to the file (nothing
// is shown to the operator here).
TagLogOutcome LogProgrammedTag(AEIData& data, TagLogList& list, const LastTagRecord& record,
                               TagLogListener* listener = nullptr);

// Reads the newest lines of a tag log, newest first, backwards in blocks of
// 510 bytes from the end. Lines end in LF (a CR before it is dropped); the
// unterminated text after the last LF is skipped, empty lines are skipped,
// the first line of the file counts when the start is reached. At most
// maxLines lines; each is cut to kTagLogMaxLineLength characters.
//   readAt(offset, buffer, count) reads count bytes at offset; false on error
//   (the lines found so far are kept).
using TagLogReadAt = std::function<bool(uint64_t offset, char* buffer, std::size_t count)>;
std::vector<std::string> ReadTagLogTail(uint64_t size, const TagLogReadAt& readAt,
                                        std::size_t maxLines = kTagLogTailLines);
// The same over bytes in memory.
std::vector<std::string> TagLogTailOfBytes(std::string_view bytes,
                                           std::size_t maxLines = kTagLogTailLines);

// Adds the newest lines of the tag log file at the end of the list (newest
// first). A file that cannot be opened adds nothing. Returns the number of
// lines added.
std::size_t LoadTagLogTail(const std::string& path, TagLogList& list,
                           std::size_t maxLines = kTagLogTailLines);

// The day roll-over the frame's timer runs once a minute: when today's day of
// the year differs from the stored one, the stored day becomes today's, the
// today count becomes 0 and "Programmed Today 0" is shown. True when it rolled.
bool CheckDayRollover(AEIData& data, TagLogListener* listener = nullptr);

// "Clear Tag Counter": the total count becomes 0 and "Programmed Counter 0"
// is shown.
void ClearTagCounter(AEIData& data, TagLogListener* listener = nullptr);

} // namespace velmora
