// The reader simulator's command line.
#pragma once

#include "ReaderBehaviour.h"

#include <string>
#include <vector>

namespace velmora::readersim {

struct ReaderConfig {
    std::string linkPath;    // --link
    std::string tagFile;     // --tag-file
    std::string controlPath; // --control
    bool verbose = false;
};

struct ReaderArgs {
    enum class What { Run, Help, Error };
    What what = What::Run;
    ReaderConfig config;
    ReaderBehaviour behaviour;
    std::string error;
};

// args excludes the program name.
ReaderArgs ParseReaderArguments(const std::vector<std::string>& args);

} // namespace velmora::readersim
