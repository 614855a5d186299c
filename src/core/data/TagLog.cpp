#include "data/TagLog.h"

#include "data/AEIData.h"
#include "data/ReplaceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

namespace velmora {
namespace {

const std::string kEmptyLine;

// A counter goes up by one; past the largest 32-bit value it starts again at 0
// rather than overflowing (a damaged options file can hold any value).
int32_t CountUp(int32_t n) { return n == std::numeric_limits<int32_t>::max() ? 0 : n + 1; }

// Texts go into the line with control characters as blanks, so a line in the
// file is always exactly one line.
std::string Clean(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = ' ';
    }
    return r;
}

std::string Format2(const char* fmt, int a, int b, int c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

void ShowCounters(const SettingsBlock& s, TagLogListener* listener) {
    if (!listener) return;
    listener->ShowProgrammedToday(ProgrammedTodayText(s.programmedToday));
    listener->ShowProgrammedCounter(ProgrammedCounterText(s.programmedTotal));
}

// Appends bytes to the file. On a short write the file is cut back to its old
// length so that no half line is left for the next line to run into.
bool AppendToFile(const std::string& path, const std::string& bytes, std::string& error) {
    namespace fs = std::filesystem;
    // Only a regular file is appended to; opening never waits on a named pipe.
    std::FILE* f = OpenRegularFile(path, "ab", &error);
    if (!f) return false;
    std::error_code ec;
    const auto oldSize = fs::file_size(path, ec);
    const bool knownSize = !ec;
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    const int writeErrno = errno;
    const bool closed = std::fclose(f) == 0;
    if (written == bytes.size() && closed) return true;
    error = "cannot write \"" + path + "\": " +
            std::generic_category().message(writeErrno ? writeErrno : EIO);
    if (knownSize) fs::resize_file(path, oldSize, ec);
    return false;
}

} // namespace

// --- the in-memory list -------------------------------------------------------

void TagLogList::AddNewest(std::string line) {
    while (lines_.size() >= capacity_) lines_.pop_back();
    lines_.push_front(std::move(line));
}

bool TagLogList::AddOlder(std::string line) {
    if (lines_.size() >= capacity_) return false;
    lines_.push_back(std::move(line));
    return true;
}

const std::string& TagLogList::Line(std::size_t i) const {
    return i < lines_.size() ? lines_[i] : kEmptyLine;
}

// --- the line -------------------------------------------------------------------

std::string ProgrammedTodayText(int32_t count) {
    return "Programmed Today " + std::to_string(count);
}

std::string ProgrammedCounterText(int32_t count) {
    return "Programmed Counter " + std::to_string(count);
}

std::string TagLogResultWords(const LastTagRecord& record, const TagFormatData& format) {
    const int dfc = format.dataFormatCode;
    const int egc = format.equipmentGroupCode;
    if (record.certify && dfc == 51 && egc == 19)
        return record.reconditioned ? " Reconditioned RF OK" : " Certified RF OK";

    const bool railOrLoco = dfc == 51 || dfc == 41;
    std::string words;
    if (railOrLoco && (egc == 5 || egc == 19 || egc == 28)) {
        switch (record.umlerResult) {
        case kUmlerAgrees: words += " UMLER Ok"; break;
        case kUmlerNotChecked: words += " UMLER not checked"; break;
        case kUmlerDisagrees: words += " UMLER disagrees"; break;
        default: break;
        }
    }
    if (railOrLoco) {
        switch (record.rfResult) {
        case kRfNotChecked: words += " RF not checked"; break;
        case kRfOk: words += " RF Ok"; break;
        case kRfIdOnly: words += " RF ID only"; break;
        default: break;
        }
    }
    return words;
}

std::string BuildTagLogLine(const LastTagRecord& record, const TagFormatData& format,
                            bool feetInches, const LocalDateTime& now) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d", now.month, now.day, now.year,
                  now.hour, now.minute);
    std::string line = stamp;
    line += " - \"";
    line += Clean(format.Name());

    const int rows = format.RowCount();
    for (int r = 0; r < rows; ++r) {
        if (format.IsContinuation(r)) continue; // a split field is written once
        std::string text = Clean(record.FieldText(r));
        line += ',';
        if (format.type[r] != kTypeLength) {
            line += text;
        } else if (!feetInches) {
            line += text;
            line += "dm";
        } else {
            // 50-6 is written 50'6" and a whole number of feet 50'0".
            const auto dash = text.find('-');
            if (dash != std::string::npos) text[dash] = '\'';
            else if (!text.empty()) text += "'0";
            line += text;
            line += '"';
        }
    }
    line += "\" ";
    line += Format2("%d,%d,%d", format.dataFormatCode, format.equipmentGroupCode,
                    format.tagTypeCode);
    line += TagLogResultWords(record, format);
    return line;
}

std::string TagLogFilePath(const AEIData& data) {
    const std::string name = data.TagLogFileName();
    const std::filesystem::path p(name);
    if (p.has_parent_path() || p.is_absolute()) return name;
    return data.StartDirectory() + name;
}

// --- logging a tag ------------------------------------------------------------------

TagLogOutcome LogProgrammedTag(AEIData& data, TagLogList& list, const LastTagRecord& record,
                               TagLogListener* listener) {
    TagLogOutcome out;

    SettingsBlock s = data.GetSettings();
    s.programmedToday = CountUp(s.programmedToday);
    s.programmedTotal = CountUp(s.programmedTotal);
    if (record.certify) s.certifiedCount = CountUp(s.certifiedCount);
    data.UpdateSettings(s);
    ShowCounters(s, listener);

    const TagFormatData format = data.GetTagFormatData(record.formatIndex);
    out.line = BuildTagLogLine(record, format, record.LengthsInFeetInches(s.feetInches != 0),
                               data.GetClock().Now());

    list.AddNewest(out.line);

    for (int i = kRecentTagLines - 2; i >= 0; --i)
        data.UpdateRecentTagLine(i + 1, data.GetRecentTagLine(i));
    data.UpdateRecentTagLine(0, std::string_view(out.line).substr(0, kRecentTagLineWidth - 1));
    if (listener) listener->RecentTagLinesChanged();

    out.fileOn = s.logFileOn != 0;
    if (out.fileOn) {
        std::string bytes = out.line;
        bytes += ',';
        bytes += Clean(record.FrameText());
        bytes += "\r\n";
        out.fileWritten = AppendToFile(TagLogFilePath(data), bytes, out.fileError);
        if (listener) listener->TagLogLineAdded();
    }
    return out;
}

// --- reading the log back -----------------------------------------------------------

std::vector<std::string> ReadTagLogTail(uint64_t size, const TagLogReadAt& readAt,
                                        std::size_t maxLines) {
    std::vector<std::string> lines;
    if (maxLines == 0) return lines;

    // The line being collected, its last character first. Only its first
    // kTagLogMaxLineLength characters are kept: when it grows past twice that,
    // the characters from its end are let go.
    std::string reversed;
    bool sawLineEnd = false; // text before a LF is a complete line
    bool lineStart = false;  // the next character read is the last of a line

    auto finishLine = [&]() {
        std::string line(reversed.rbegin(), reversed.rend());
        reversed.clear();
        if (line.size() > kTagLogMaxLineLength) line.resize(kTagLogMaxLineLength);
        if (!line.empty()) lines.push_back(std::move(line));
        return lines.size() < maxLines;
    };

    char block[kTagLogBlockSize];
    uint64_t pos = size;
    while (pos > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(kTagLogBlockSize, pos));
        pos -= n;
        if (!readAt(pos, block, n)) return lines;
        for (std::size_t i = n; i-- > 0;) {
            const char c = block[i];
            if (c == '\n') {
                if (sawLineEnd) {
                    if (!finishLine()) return lines;
                } else {
                    reversed.clear(); // the unterminated last line is skipped
                }
                sawLineEnd = true;
                lineStart = true;
                continue;
            }
            if (!sawLineEnd) continue;
            if (lineStart) {
                lineStart = false;
                if (c == '\r') continue;
            }
            reversed.push_back(c);
            if (reversed.size() >= 2 * kTagLogMaxLineLength)
                reversed.erase(0, reversed.size() - kTagLogMaxLineLength);
        }
    }
    if (sawLineEnd) finishLine(); // the first line of the file
    return lines;
}

std::vector<std::string> TagLogTailOfBytes(std::string_view bytes, std::size_t maxLines) {
    return ReadTagLogTail(
        bytes.size(),
        [bytes](uint64_t offset, char* buffer, std::size_t count) {
            if (offset > bytes.size() || count > bytes.size() - offset) return false;
            std::copy_n(bytes.data() + offset, count, buffer);
            return true;
        },
        maxLines);
}

std::size_t LoadTagLogTail(const std::string& path, TagLogList& list, std::size_t maxLines) {
    // Only a regular file is read; opening never waits on a named pipe.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(OpenRegularFile(path, "rb"), &std::fclose);
    if (!in) return 0;
    if (std::fseek(in.get(), 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(in.get());
    if (end <= 0) return 0;

    auto readAt = [&in](uint64_t offset, char* buffer, std::size_t count) {
        if (std::fseek(in.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
        return std::fread(buffer, 1, count, in.get()) == count;
    };
    std::size_t added = 0;
    for (auto& line : ReadTagLogTail(static_cast<uint64_t>(end), readAt, maxLines)) {
        if (!list.AddOlder(std::move(line))) break;
        ++added;
    }
    return added;
}

// --- counters ----------------------------------------------------------------------

bool CheckDayRollover(AEIData& data, TagLogListener* listener) {
    const int today = data.GetClock().Now().dayOfYear;
    SettingsBlock s = data.GetSettings();
    if (s.dayOfYear == today) return false;
    s.dayOfYear = today;
    s.programmedToday = 0;
    data.UpdateSettings(s);
    if (listener) listener->ShowProgrammedToday(ProgrammedTodayText(0));
    return true;
}

void ClearTagCounter(AEIData& data, TagLogListener* listener) {
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 0;
    data.UpdateSettings(s);
    if (listener) listener->ShowProgrammedCounter(ProgrammedCounterText(0));
}

} // namespace velmora
