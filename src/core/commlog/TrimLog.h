// Keeps the communication log and the tag log below their size limit by
// dropping their oldest lines. Run by the frame every 18000 ticks.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

class AEIData;

inline constexpr std::uintmax_t kLogTrimLimit = 1000000;

enum class TrimOutcome {
    NotOpened,      // the log could not be opened: left untouched
    SmallEnough,    // not above the limit: left untouched
    NoWorkName,     // the name has no "." to form the work file name: left untouched
    WorkFileFailed, // the work file could not be written or renamed: log left untouched
    Trimmed,
};

// The work file name: the file's name up to its last "." followed by ".tmp"
// ("" when the file name has no "."). A log that is itself named "*.tmp" gets
// a second ".tmp" so the work file is never the log.
std::string TrimWorkFileName(const std::string& path);

// Keeps the newest whole lines that together hold at most `limit` bytes:
// a line is kept when the bytes from its start to the end of the file are at
// most the limit. Lines of any length are kept whole. The kept lines go to
// the work file, which is then renamed over the log, so a stop at any moment
// leaves the old log or the trimmed one.
TrimOutcome TrimLogFile(const std::string& path, std::uintmax_t limit = kLogTrimLimit);

// The communication log, then the tag log (a name without a directory is
// taken in the start directory).
void TrimLogFiles(AEIData& data);

} // namespace velmora
