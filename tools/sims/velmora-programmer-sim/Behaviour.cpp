#include "Behaviour.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velmora::sim {

bool IsHalfFrameModel(std::string_view model) { return model == "AP4112"; }

std::string DescribeBehaviour(const Behaviour& b) {
    std::string s = "model " + b.model + ", version " + b.version;
    s += IsHalfFrameModel(b.model) ? " (half frame)" : " (full frame)";
    s += ", status " + (b.statusCode.empty() ? std::string("auto") : b.statusCode);
    s += b.silent ? ", SILENT" : "";
    s += b.noTag ? ", NO TAG" : "";
    s += b.garbage ? ", GARBAGE" : "";
    if (b.splitMs > 0) s += ", SPLIT " + std::to_string(b.splitMs) + " ms";
    if (b.slowMs > 0) s += ", SLOW " + std::to_string(b.slowMs) + " ms";
    s += b.programData ? ", program data on" : "";
    return s;
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
