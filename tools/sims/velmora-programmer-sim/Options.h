// The simulator's command line.
#pragma once

#include "Behaviour.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::sim {

struct SimConfig {
    std::string linkPath;     // --link: symbolic link that follows the device
    std::string tagFile;      // --tag-file
    std::string controlPath;  // --control: FIFO for run-time commands
    bool verbose = false;
    bool startUnplugged = false;       // --unplugged
    std::optional<double> plugAfter;   // --unplugged=SECONDS
};

struct ParsedArgs {
    enum class What { Run, Help, Error };
    What what = What::Run;
    SimConfig config;
    Behaviour behaviour;
    std::string error;
};

// args excludes the program name.
ParsedArgs ParseArguments(const std::vector<std::string>& args);

// The texts shown by --help and by the "help" control command.
std::string HelpText();
std::string ControlCommandsText();

} // namespace velmora::sim
