#include "app/FrameTexts.h"

#include "tagdata/ValueCheck.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace velmora {

std::string OptionStatusText(StatusOption option, bool on, bool afterToggle) {
    switch (option) {
    case StatusOption::RFCheck:
        if (afterToggle) return on ? "RF Check is ON" : "RF Check is OFF";
        return on ? "RF Check ON" : "RF Check OFF";
    case StatusOption::UMLERCheck: return on ? "UMLER Check ON" : "UMLER Check OFF";
    case StatusOption::LabelPrinting: return on ? "Label Printing ON" : "Label Printing OFF";
    case StatusOption::LogFile: return on ? "Log File ON" : "Log File OFF";
    case StatusOption::Lengths: return on ? "Lengths feet-inches" : "Lengths decimeters";
    }
    return {};
}

std::string ProgrammerStartupText(const ProgrammerState& state) {
    const char* on = state.on ? "ON" : "OFF";
    char buf[64];
    if (state.port < 0 || state.port > 3) std::snprintf(buf, sizeof buf, "Programmer %s  No Comm", on);
    else std::snprintf(buf, sizeof buf, "Programmer %s  Comm %d", on, static_cast<int>(state.port) + 1);
    return buf;
}

std::string LogFileNameText(std::string_view name) {
    return "Log File = \"" + std::string(name) + "\"";
}

std::string VersionText(std::string_view regionName) { return "1.4D " + std::string(regionName); }

std::string ProductCaptionText(std::string_view productName, std::string_view version) {
    return std::string(productName) + " Version " + std::string(version);
}

std::string FrameTitleText(std::string_view productCaption, std::string_view webAddress) {
    return std::string(productCaption) + kTitleTelephone + std::string(webAddress);
}

std::string ManualFailureText(int result, std::string_view webAddress, std::string_view readerAddress) {
    if (result == kShellFileNotFound)
        return "Could not find the manual's file \"Velmora Manual.pdf\".  Please install the file from the "
               "CD-ROM or download from our web page at " +
               std::string(webAddress) + ".";
    if (result == kShellNoAssociation)
        return "Could not find the Acrobat Reader program.  Please install the program from the CD-ROM or "
               "download a free version from the from " +
               std::string(readerAddress) + ".";
    char buf[64];
    std::snprintf(buf, sizeof buf, "Could not open manual, value = %d.", result);
    return buf;
}

std::string CompleteFileName(std::string_view name, std::string_view startDirectory) {
    const bool hasDirectory = name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos;
    const bool hasDrive = name.size() >= 2 && name[1] == ':';
    if (hasDirectory || hasDrive || name.empty()) return std::string(name);
    return std::string(startDirectory) + std::string(name);
}

namespace {

// The leading decimal number of a text (blanks before it skipped, an
// optional sign), held within +-10^12 so that no later product overflows.
int64_t LeadingNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int64_t v = 0;
    constexpr int64_t kCap = 1000000000000LL;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > kCap) v = kCap;
    }
    return negative ? -v : v;
}

} // namespace

std::string ConvertTypedLength(std::string_view text, bool toFeetInches) {
    char buf[64];
    if (!toFeetInches) {
        const std::size_t dash = text.find('-');
        const int64_t feet = LeadingNumber(text.substr(0, dash));
        const int64_t inches = dash == std::string_view::npos ? 0 : LeadingNumber(text.substr(dash + 1));
        const int64_t dm = (feet * 12 + inches) * 254 / 1000;
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(dm));
        return buf;
    }
    int64_t dm = LeadingNumber(text);
    if (dm < 0) dm = 0;
    if (dm > std::numeric_limits<int32_t>::max()) dm = std::numeric_limits<int32_t>::max();
    const int64_t inches = DecimetersToInches(static_cast<int32_t>(dm));
    std::snprintf(buf, sizeof buf, "%lld-%lld", static_cast<long long>(inches / 12),
                  static_cast<long long>(inches % 12));
    return buf;
}

} // namespace velmora
