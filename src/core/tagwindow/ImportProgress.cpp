#include "tagwindow/ImportProgress.h"

#include "data/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#define VELMORA_POSIX_FILES 1
#endif

namespace velmora {

namespace {

bool IsFrameText(std::string_view s) {
    if (s.empty() || s.size() > 30) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

// A whole decimal number that fits; false otherwise.
template <typename T>
bool Number(const std::string& s, T& out) {
    if (s.empty() || s.size() > 19) return false;
    unsigned long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned long long>(c - '0');
    }
    if (v > static_cast<unsigned long long>(std::numeric_limits<T>::max())) return false;
    out = static_cast<T>(v);
    return true;
}

} // namespace

std::string ProgressFilePath(const std::string& listPath) { return listPath + ".progress"; }

std::map<int, LineProgress> ReadProgress(std::string_view text) {
    std::map<int, LineProgress> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) break; // a record without its line end was cut off
        std::istringstream in{std::string(text.substr(pos, nl - pos))};
        pos = nl + 1;
        std::string kind, lineText, frame;
        int line = 0;
        in >> kind >> lineText >> frame;
        if (!Number(lineText, line) || line <= 0 || !IsFrameText(frame)) continue;
        LineProgress p;
        p.frame = frame;
        if (kind == "sent") {
            p.stage = ProgressStage::Sent;
        } else if (kind == "programmed") {
            std::string size, total;
            in >> size >> total;
            if (!Number(size, p.logSize) || !Number(total, p.total)) continue;
            p.stage = ProgressStage::Programmed;
        } else if (kind == "done") {
            std::string date, time;
            in >> date >> time;
            p.when = date + " " + time;
            p.stage = ProgressStage::Done;
        } else {
            continue;
        }
        // A later step of the same frame goes further; a step of another
        // frame starts the line again.
        auto it = out.find(line);
        if (it == out.end() || it->second.frame != p.frame || p.stage >= it->second.stage) out[line] = p;
    }
    return out;
}

std::map<int, LineProgress> LoadProgress(const std::string& path) {
    std::string text;
    if (!ReadRegularFile(path, text)) return {};
    return ReadProgress(text);
}

std::string SentRecord(int line, std::string_view frame) {
    return "sent " + std::to_string(line) + " " + std::string(frame);
}

std::string ProgrammedRecord(int line, std::string_view frame, uint64_t logSize, int32_t total) {
    return "programmed " + std::to_string(line) + " " + std::string(frame) + " " + std::to_string(logSize) + " " +
           std::to_string(total < 0 ? 0 : total);
}

std::string DoneRecord(int line, std::string_view frame, const LocalDateTime& when) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d", when.month, when.day, when.year, when.hour,
                  when.minute);
    return "done " + std::to_string(line) + " " + std::string(frame) + " " + stamp;
}

bool AppendProgress(const std::string& path, const std::string& record, std::string& error) {
    const std::string bytes = record + "\n";
    std::FILE* f = OpenRegularFile(path, "ab", &error);
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
#ifdef VELMORA_POSIX_FILES
    if (ok && ::fsync(::fileno(f)) != 0 && errno != EINVAL) ok = false;
#endif
    const int err = errno;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) error = "cannot write \"" + path + "\": " + std::strerror(err ? err : EIO);
    return ok;
}

ResumeStep NextResumeStep(const LineProgress& p, std::string_view lineFrame, bool logFileOn, bool loggedSince,
                          int32_t totalNow) {
    if (p.stage == ProgressStage::None || p.frame != lineFrame) return ResumeStep::Program;
    switch (p.stage) {
    case ProgressStage::Done: return ResumeStep::Done;
    case ProgressStage::Sent: return ResumeStep::ReadBack;
    case ProgressStage::Programmed: {
        // The log line is written before the counters are saved.
        const bool counted = totalNow != p.total;
        const bool logged = logFileOn ? loggedSince : counted;
        if (!logged) return ResumeStep::Log;
        return counted ? ResumeStep::Finish : ResumeStep::Count;
    }
    default: return ResumeStep::Program;
    }
}

bool TagLogHoldsFrameSince(const std::string& tagLogPath, uint64_t offset, std::string_view frame) {
    std::string text;
    if (!ReadRegularFile(tagLogPath, text) || offset > text.size()) return false;
    std::istringstream in(text.substr(static_cast<std::size_t>(offset)));
    const std::string suffix = "," + std::string(frame);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= suffix.size() && line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    }
    return false;
}

void ApplyProgress(ImportList& list, const std::map<int, LineProgress>& progress) {
    for (auto& line : list.lines) {
        auto it = progress.find(line.fileLine);
        if (it == progress.end() || it->second.stage != ProgressStage::Done) continue;
        if (line.state != ImportLineState::Waiting || it->second.frame != line.frameText) continue;
        line.state = ImportLineState::Programmed;
        line.when = it->second.when;
    }
}

} // namespace velmora
