// The tags the tool programs are counted and logged as the program does it:
// the line goes to the tag log named in the options (relative names in the
// working directory), the counters and the recent tag lines go back into the
// options file after each tag. The options file is the one given with
// --options or else "programmer option.ads" in the working directory (made
// when there is none).
#pragma once

#include "FrameArgs.h"

#include "data/AEIData.h"
#include "data/TagLog.h"

#include <string>

namespace velmora::tool {

// --options, else the working directory's options file when there is one.
void UseWorkingDirectoryOptions(DataArgs& da);

class ToolTagLog {
public:
    // data: the tool's application data, loaded from optionsPath (or the
    // defaults); feetInches: the units the lengths were typed in.
    ToolTagLog(AEIData& data, std::string optionsPath, bool feetInches);

    // The frame text of the newest tag log line; empty when there is none.
    // The same-data question compares with it.
    std::string LastLoggedFrame() const;

    // Counts the tag and logs it, then saves the counters. Empty when all of
    // it was done, else what failed (the counts in memory are kept).
    std::string Log(const LastTagRecord& record);
    // Counts a tag whose log line is already written, then saves the counters.
    std::string CountOnly(const LastTagRecord& record);

private:
    std::string SaveCounters();

    AEIData& data_;
    std::string optionsPath_;
    bool feetInches_;
    TagLogList list_;
};

} // namespace velmora::tool
