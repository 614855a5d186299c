#include "app/FrameTexts.h"

#include <cstdint>
#include <cstdio>

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

} // namespace velmora
