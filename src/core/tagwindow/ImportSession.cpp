#include "tagwindow/ImportSession.h"

#include "data/AEIData.h"
#include "data/TagLog.h"

#include <cstdio>

namespace velmora {

std::string ImportSession::Open(AEIData& data, const std::string& listPath, std::string_view text,
                                const ImportListOptions& options) {
    Close();
    ImportList list = ReadImportList(data, text, options);
    if (!list.error.empty()) return list.error;
    MarkVehiclesInTagLog(data, list, TagLogVehicleKeys(TagLogFilePath(data)), options.feetInches);
    earlier_ = LoadProgress(ProgressFilePath(listPath));
    ApplyProgress(list, earlier_);
    list_ = std::move(list);
    listPath_ = listPath;
    active_ = true;
    current_ = -1;
    Notify();
    return {};
}

void ImportSession::Close() {
    active_ = false;
    list_ = ImportList{};
    listPath_.clear();
    earlier_.clear();
    current_ = -1;
    writeError_.clear();
    Notify();
}

ImportCounts ImportSession::Counts() const {
    ImportCounts c;
    for (const auto& line : list_.lines) {
        switch (line.state) {
        case ImportLineState::Waiting: ++c.waiting; break;
        case ImportLineState::Programmed: ++c.programmed; break;
        case ImportLineState::Failed: ++c.failed; break;
        case ImportLineState::Refused: ++c.refused; break;
        }
    }
    return c;
}

void ImportSession::SetCurrent(int index) {
    current_ = index >= 0 && index < static_cast<int>(list_.lines.size()) ? index : -1;
    Notify();
}

int ImportSession::NextWaiting(int from) const {
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(list_.lines.size()); ++i) {
        const ImportLineState s = list_.lines[static_cast<std::size_t>(i)].state;
        if (s == ImportLineState::Waiting || s == ImportLineState::Failed) return i;
    }
    return -1;
}

std::string ImportSession::Position(int index) const {
    return "line " + std::to_string(index + 1) + " of " + std::to_string(list_.lines.size());
}

LineProgress ImportSession::EarlierProgress(int index) const {
    if (index < 0 || index >= static_cast<int>(list_.lines.size())) return {};
    const ImportLine& line = list_.lines[static_cast<std::size_t>(index)];
    auto it = earlier_.find(line.fileLine);
    if (it == earlier_.end() || it->second.frame != line.frameText) return {};
    return it->second;
}

bool ImportSession::IsCurrentFrame(std::string_view frame) const {
    return active_ && current_ >= 0 && !frame.empty() &&
           list_.lines[static_cast<std::size_t>(current_)].frameText == frame &&
           list_.lines[static_cast<std::size_t>(current_)].state != ImportLineState::Refused;
}

bool ImportSession::Append(const std::string& record) {
    std::string error;
    if (AppendProgress(ProgressFilePath(listPath_), record, error)) return true;
    writeError_ = error;
    return false;
}

bool ImportSession::HandedOver(std::string_view frame) {
    if (!IsCurrentFrame(frame)) return false;
    return Append(SentRecord(list_.lines[static_cast<std::size_t>(current_)].fileLine, frame));
}

bool ImportSession::Programmed(std::string_view frame, uint64_t logSize, int32_t total) {
    if (!IsCurrentFrame(frame)) return false;
    return Append(ProgrammedRecord(list_.lines[static_cast<std::size_t>(current_)].fileLine, frame, logSize, total));
}

bool ImportSession::Finished(std::string_view frame, const LocalDateTime& when) {
    if (!IsCurrentFrame(frame)) return false;
    return FinishLine(current_, when);
}

bool ImportSession::FinishLine(int index, const LocalDateTime& when) {
    if (index < 0 || index >= static_cast<int>(list_.lines.size())) return false;
    ImportLine& line = list_.lines[static_cast<std::size_t>(index)];
    const bool written = Append(DoneRecord(line.fileLine, line.frameText, when));
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d", when.month, when.day, when.year, when.hour,
                  when.minute);
    line.state = ImportLineState::Programmed;
    line.when = stamp;
    line.reason.clear();
    Notify();
    return written;
}

void ImportSession::Failed(std::string_view frame, const std::string& reason) {
    if (!IsCurrentFrame(frame)) return;
    ImportLine& line = list_.lines[static_cast<std::size_t>(current_)];
    line.state = ImportLineState::Failed;
    line.reason = reason;
    Notify();
}

} // namespace velmora
