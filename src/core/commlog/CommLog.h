// The communication log: every message written to or received from a serial
// device becomes one line in the recent-traffic list, in the monitor's text
// and, while "Log File On" is on, in "communication log.txt".
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;
struct LocalDateTime;

inline constexpr std::size_t kRecentTrafficLines = 1001;
inline constexpr std::size_t kMonitorTextCut = 9850;
inline constexpr std::size_t kMonitorTextLimit = 10000;
inline constexpr const char* kCommLogFileName = "communication log.txt";

// "MM/DD/YYYY hh:mm:ss C(n) device text": the date (the year with all its
// digits), the time, the port number plus one and the device word, then the
// text cut at its first carriage return and then at its first line feed.
std::string FormatCommLogLine(const LocalDateTime& when, int port, std::string_view device,
                              std::string_view text);

// The monitor's text: the lines newest first, each followed by CR LF, ending
// with the first line that brings the text above 9850 characters.
std::string BuildMonitorText(const std::deque<std::string>& lines);

class CommLog {
public:
    // The log file lives in the data's start directory; "Log File On" and the
    // time of day are read from the data at each message.
    explicit CommLog(AEIData& data);
    CommLog(const CommLog&) = delete;
    CommLog& operator=(const CommLog&) = delete;

    void LogCommMessage(int port, std::string_view text, std::string_view device);

    // Oldest first, at most 1001 lines, without line breaks.
    const std::deque<std::string>& RecentTraffic() const { return lines_; }
    std::string MonitorText() const { return BuildMonitorText(lines_); }

    // The open monitor window: while set, every new line refreshes it with
    // the whole monitor text. Pass an empty function when the window closes.
    void SetMonitorRefresh(std::function<void(const std::string&)> refresh);
    bool MonitorOpen() const { return static_cast<bool>(monitor_); }

    std::string LogFilePath() const;

private:
    AEIData& data_;
    std::deque<std::string> lines_;
    std::function<void(const std::string&)> monitor_;
};

} // namespace velmora
