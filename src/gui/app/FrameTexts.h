// The texts of the frame's bars and messages, built without a window so that
// their wording is tested on its own.
#pragma once

#include "data/OptionBlocks.h"

#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kNotEnoughMemory =
    "There is not enough memory to execute this function.  Close other active tasks to free up memory";
inline constexpr const char* kHelpNotAvailable =
    "The \"Help\" function is not available on systems running Windows NT.  Windows NT system users "
    "should refer to the \"Velmora\" user guide for answers to questions.";
inline constexpr const char* kTitleTelephone = " - Corvelle Tel. 555 014-2290 ";

// The options that have a status field on the tool bar.
enum class StatusOption { RFCheck, UMLERCheck, LabelPrinting, LogFile, Lengths };

// The field's text for the flag; afterToggle picks the wording a toggle
// writes ("RF Check is ON") over the start-up wording ("RF Check ON").
std::string OptionStatusText(StatusOption option, bool on, bool afterToggle);

// The programmer field at start-up: "Programmer ON  Comm 2" or
// "Programmer OFF  No Comm".
std::string ProgrammerStartupText(const ProgrammerState& state);

// "Log File = \"<name>\"".
std::string LogFileNameText(std::string_view name);

// "1.4D North America".
std::string VersionText(std::string_view regionName);
// "Velmora for Windows Version 1.4D North America".
std::string ProductCaptionText(std::string_view productName, std::string_view version);
// The title bar: the product caption, the maker's telephone and web address.
std::string FrameTitleText(std::string_view productCaption, std::string_view webAddress);

// Why the manual did not open: 2 = the file is missing, 31 = no program
// opens it, anything else its number.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellNoAssociation = 31;
std::string ManualFailureText(int result, std::string_view webAddress, std::string_view readerAddress);

// A file name without a directory gets the start directory in front of it
// (which ends in a separator); a name with one is kept.
std::string CompleteFileName(std::string_view name, std::string_view startDirectory);

} // namespace velmora
