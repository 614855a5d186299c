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

// Parsers shared with the command line; false when the text is not valid.
bool ParseMilliseconds(std::string_view text, int& ms);
bool ParseSeconds(std::string_view text, double& seconds);
bool IsFrameDigits(std::string_view text, std::size_t count);

} // namespace velmora::sim
