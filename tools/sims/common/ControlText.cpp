#include "ControlText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velmora::sim {

namespace {

bool Refused(std::string& message, std::string text) {
    message = std::move(text);
    return false;
}

bool Taken(std::string& message, std::string text) {
    message = std::move(text);
    return true;
}

} // namespace

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

std::vector<std::string> ControlWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

std::string LowerAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool SwitchCommand(const std::vector<std::string>& w, bool& flag, const char* name, std::string& message) {
    if (w.size() != 2) return Refused(message, std::string(name) + " needs on or off");
    std::string v = LowerAscii(w[1]);
    if (v == "on") flag = true;
    else if (v == "off") flag = false;
    else return Refused(message, std::string(name) + " needs on or off, not \"" + w[1] + "\"");
    return Taken(message, std::string(name) + (flag ? " on" : " off"));
}

bool DelayCommand(const std::vector<std::string>& w, int& ms, int onValue, const char* name, std::string& message) {
    if (w.size() != 2) return Refused(message, std::string(name) + " needs on, off or a number of milliseconds");
    std::string v = LowerAscii(w[1]);
    int value = 0;
    if (v == "on") value = onValue;
    else if (v == "off") value = 0;
    else if (!ParseMilliseconds(v, value))
        return Refused(message,
                       std::string(name) + " needs on, off or milliseconds from 0 to 600000, not \"" + w[1] + "\"");
    ms = value;
    return Taken(message,
                 value > 0 ? std::string(name) + " " + std::to_string(value) + " ms" : std::string(name) + " off");
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
