#include "Log.h"

#include <cstdio>

namespace velmora::sim {

std::string EscapeBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "<CR>";
        } else if (c == '\n') {
            out += "<LF>";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<x%02X>", c);
            out += hex;
        }
    }
    return out;
}

Logger::Logger() : start_(std::chrono::steady_clock::now()) {}

void Logger::Info(std::string_view text) const { Write(text); }

void Logger::Traffic(std::string_view direction, std::string_view bytes) const {
    if (!verbose_) return;
    std::string line(direction);
    line += ' ';
    line += EscapeBytes(bytes);
    Write(line);
}

void Logger::Detail(std::string_view text) const {
    if (verbose_) Write(text);
}

void Logger::Write(std::string_view text) const {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    long long ms = elapsed.count();
    std::fprintf(stderr, "[sim %5lld.%03lld] %.*s\n", ms / 1000, ms % 1000, static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

} // namespace velmora::sim
