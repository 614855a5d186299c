// The control commands a technician types while the simulator runs (and
// that the start flags are translated into).
#pragma once

#include "Behaviour.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sim {

// What a control command asks of the simulator beyond changing the behaviour.
struct ControlAction {
    enum class Kind { None, Unplug, UnplugNext, Plug, SetTag, ClearTag, Show, Verbose, Help, Quit };
    Kind kind = Kind::None;
    std::optional<double> seconds;  // Unplug/UnplugNext: come back after this long
    std::string text;               // SetTag: the 30 digits
    bool on = false;                // Verbose
};

struct ControlOutcome {
    bool ok = false;
    std::string message;  // what was done, or why the command was refused
    ControlAction action;
};

// Applies one command ("silent on", "status 03", "unplug 5", ...). Keywords
// are case-insensitive; values keep their case. Invalid commands change nothing.
ControlOutcome ApplyControlCommand(std::string_view line, Behaviour& behaviour);

} // namespace velmora::sim
