// The control commands a technician types while the reader simulator runs
// (and that its start flags are translated into).
#pragma once

#include "ReaderBehaviour.h"
#include "ReaderFrames.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora::readersim {

// "autoread on" and a bare --auto-read: the reading goes out 2 s after the
// port was opened.
inline constexpr int kAutoReadDefaultMs = 2000;

struct ReaderAction {
    enum class Kind { None, Read, Line, Frame, Unplug, Plug, Show, Verbose, Help, Quit, AutoRead };
    Kind kind = Kind::None;
    ReadingKind reading = ReadingKind::Normal;
    std::string text;              // Line, Frame
    std::optional<double> seconds; // Unplug: back after this long
    bool on = false;               // Verbose
};

struct ReaderOutcome {
    bool ok = false;
    std::string message; // what was done, or why the command was refused
    ReaderAction action;
};

// Applies one command ("read", "battery 080", "brokendate once", ...).
// Keywords are case-insensitive; values keep their case. Invalid commands
// change nothing.
ReaderOutcome ApplyReaderCommand(std::string_view line, ReaderBehaviour& behaviour);

std::string ReaderCommandsText();
std::string ReaderHelpText();

} // namespace velmora::readersim
