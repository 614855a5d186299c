#include "commlog/CommLog.h"

#include "data/AEIData.h"
#include "data/ReplaceFile.h"
#include "platform/Clock.h"

#include <cstdio>

namespace velmora {

std::string FormatCommLogLine(const LocalDateTime& when, int port, std::string_view device,
                              std::string_view text) {
    char head[96];
    std::snprintf(head, sizeof head, "%02d/%02d/%02d ", when.month, when.day, when.year);
    std::string line = head;
    // The device word is ours ("programmer" or "portable"); never a format.
    std::snprintf(head, sizeof head, "%02d:%02d:%02d C(%d) ", when.hour, when.minute, when.second,
                  port + 1);
    line += head;
    line.append(device.data(), device.size());
    line += ' ';
    std::size_t cut = text.find('\r');
    if (cut != std::string_view::npos) text = text.substr(0, cut);
    cut = text.find('\n');
    if (cut != std::string_view::npos) text = text.substr(0, cut);
    line.append(text.data(), text.size());
    return line;
}

std::string BuildMonitorText(const std::deque<std::string>& lines) {
    std::string text;
    text.reserve(kMonitorTextLimit);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        text += *it;
        text += "\r\n";
        if (text.size() > kMonitorTextCut) break;
    }
    return text;
}

CommLog::CommLog(AEIData& data) : data_(data) {}

std::string CommLog::LogFilePath() const { return data_.StartDirectory() + kCommLogFileName; }

void CommLog::SetMonitorRefresh(std::function<void(const std::string&)> refresh) {
    monitor_ = std::move(refresh);
    if (monitor_) monitor_(MonitorText());
}

void CommLog::LogCommMessage(int port, std::string_view text, std::string_view device) {
    const LocalDateTime now = data_.GetClock().Now();
    std::string line = FormatCommLogLine(now, port, device, text);

    if (!lines_.empty() && lines_.size() >= kRecentTrafficLines) lines_.pop_front();
    lines_.push_back(line);

    if (monitor_) monitor_(MonitorText());

    if (data_.GetSettings().logFileOn) {
        // Opened and closed for each line; a file that cannot be opened
        // simply loses the line.
        // Only a regular file is appended to.
        if (std::FILE* out = OpenRegularFile(LogFilePath(), "ab")) {
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), out);
            std::fclose(out);
        }
    }
}

} // namespace velmora
