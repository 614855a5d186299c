#include "ControlText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velmora::sim {

std::vector<std::string> SplitControlInput(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == ';' || text[i] == '\r') {
            std::string_view piece = text.substr(start, i - start);
            while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t')) piece.remove_prefix(1);
            while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t')) piece.remove_suffix(1);
            if (!piece.empty() && piece.front() != '#') out.emplace_back(piece);
            start = i + 1;
        }
    }
    return out;
}

bool ParseMilliseconds(std::string_view text, int& ms) {
    if (text.empty() || text.size() > 6) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 600000) return false;
    ms = value;
    return true;
}

bool ParseSeconds(std::string_view text, double& seconds) {
    if (text.empty() || text.size() > 12) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.')) return false;
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(copy.c_str(), &end);
    if (errno != 0 || end != copy.c_str() + copy.size() || !std::isfinite(value)) return false;
    if (value <= 0.0 || value > 86400.0) return false;
    seconds = value;
    return true;
}

bool IsFrameDigits(std::string_view text, std::size_t count) {
    if (text.size() != count) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

} // namespace velmora::sim
