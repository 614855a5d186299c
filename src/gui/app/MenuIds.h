// Command ids of the frame's menu bar, its tool bar button and the tag
// window's popup menu.
#pragma once

namespace velmora::cmd {

// File
inline constexpr int kLoadUMLER = 11845;
inline constexpr int kLabelPrinterSetup = 11852;
inline constexpr int kImportTagList = 11870;
inline constexpr int kImportSettings = 11871;
inline constexpr int kExit = 125;
// Options
inline constexpr int kRFCheck = 11847;
inline constexpr int kUMLERCheck = 11854;
inline constexpr int kLabelPrinting = 11856;
inline constexpr int kLogFileOn = 11855;
inline constexpr int kLengthUnits = 11858;
inline constexpr int kReconditionCheck = 11853;
// Programmer
inline constexpr int kProgrammerParameters = 11844;
inline constexpr int kSearchProgrammer = 11842;
inline constexpr int kCommMonitor = 143;
// RF Reader
inline constexpr int kReaderPort = 11864;
inline constexpr int kReaderParameters = 11862;
inline constexpr int kSearchReader = 11863;
// Setup
inline constexpr int kLogFile = 11933;
inline constexpr int kCertificationInitial = 11861;
inline constexpr int kProgrammedBy = 11860;
inline constexpr int kBackgroundColor = 11865;
// Tools
inline constexpr int kFindUMLER = 11846;
inline constexpr int kTagFormats = 11843;
// View
inline constexpr int kShowTagLog = 11859;
inline constexpr int kOpenLogFile = 11848;
inline constexpr int kShowUMLERRecord = 11857;
// Help
inline constexpr int kAbout = 140;
inline constexpr int kHelp = 11849;
inline constexpr int kOpenManual = 11851;
inline constexpr int kWebPage = 2444;

} // namespace velmora::cmd
