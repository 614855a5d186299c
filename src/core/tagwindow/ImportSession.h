// The fleet list the operator opened in the program: its checked lines, the
// line on the form, and the progress file that every step of a line is
// written to as it happens. The Program Tag workflow reports its steps here
// (the frame handed over, programmed, finished); a step counts for the line
// on the form only when its frame is that line's frame, so a line changed by
// hand on the form is programmed as a typed tag.
#pragma once

#include "tagwindow/ImportList.h"
#include "tagwindow/ImportProgress.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

struct ImportCounts {
    int waiting = 0;
    int programmed = 0;
    int failed = 0;
    int refused = 0;
};

class ImportSession {
public:
    // Reads and checks the list, marks the vehicles found in the tag log and
    // takes over the progress of earlier runs. Empty on success, else why the
    // list cannot be used (the session is then closed).
    std::string Open(AEIData& data, const std::string& listPath, std::string_view text,
                     const ImportListOptions& options);
    void Close();
    bool Active() const { return active_; }

    const ImportList& List() const { return list_; }
    const std::string& ListPath() const { return listPath_; }
    ImportCounts Counts() const;

    // The line on the form: an index into List().lines, -1 none.
    int Current() const { return current_; }
    void SetCurrent(int index);
    // The first waiting line from `from` on; -1 when none is left.
    int NextWaiting(int from = 0) const;
    // "line N of M" of a line.
    std::string Position(int index) const;

    // What an earlier run left of a line (stage None when nothing).
    LineProgress EarlierProgress(int index) const;

    // The steps of the line on the form; each writes its progress record. A
    // frame that is not the line's is no step of it (false, nothing written).
    bool HandedOver(std::string_view frame);
    bool Programmed(std::string_view frame, uint64_t logSize, int32_t total);
    // The line is done: its time is kept.
    bool Finished(std::string_view frame, const LocalDateTime& when);
    // The programmer could not program the line: it shows the reason and
    // stays programmable.
    void Failed(std::string_view frame, const std::string& reason);
    // A line settled on opening (see the workflows): done with that time.
    bool FinishLine(int index, const LocalDateTime& when);

    // The frame is the frame of the line on the form.
    bool IsCurrentFrame(std::string_view frame) const;

    // The progress file could not be written (empty when it was).
    const std::string& WriteError() const { return writeError_; }

    // Called whenever a line's state or the current line changes.
    std::function<void()> changed;

private:
    bool Append(const std::string& record);
    void Notify() {
        if (changed) changed();
    }
    bool active_ = false;
    std::string listPath_;
    ImportList list_;
    std::map<int, LineProgress> earlier_;
    int current_ = -1;
    std::string writeError_;
};

} // namespace velmora
