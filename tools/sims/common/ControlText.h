// Reading what the technician types: control input cut into commands, and
// the values inside a command. Used by both simulators' control commands and
// command lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sim {

// Cuts control input into commands at line ends and semicolons, dropping
// blank pieces and comments starting with "#".
std::vector<std::string> SplitControlInput(std::string_view text);

// The words of a command, split at blanks and tabs.
std::vector<std::string> ControlWords(std::string_view line);
// A-Z turned into a-z; everything else as it is.
std::string LowerAscii(std::string s);

// The switches and delays both simulators take. Each returns whether the
// command was taken, and sets message to what was done or why it was refused.
//   NAME on|off
bool SwitchCommand(const std::vector<std::string>& words, bool& flag, const char* name, std::string& message);
//   NAME on|off|MILLISECONDS  ("on" is onValue)
bool DelayCommand(const std::vector<std::string>& words, int& ms, int onValue, const char* name,
                  std::string& message);

// Parsers shared with the command line; false when the text is not valid.
bool ParseMilliseconds(std::string_view text, int& ms);
bool ParseSeconds(std::string_view text, double& seconds);
bool IsFrameDigits(std::string_view text, std::size_t count);

} // namespace velmora::sim
