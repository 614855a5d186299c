// velmora-programmer-sim: an AEI tag programmer emulated on a pseudo-terminal.
// See HelpText.cpp (or run with --help) for what it does and how to drive it.
#include "Options.h"
#include "Simulator.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace velmora::sim;
    std::vector<std::string> args(argv + 1, argv + argc);
    // Alone, --version asks for this program's version; with a value it sets
    // the version the emulated programmer reports.
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("velmora-programmer-sim %s\n", VELMORA_VERSION);
        return 0;
    }
    ParsedArgs parsed = ParseArguments(args);
    if (parsed.what == ParsedArgs::What::Help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (parsed.what == ParsedArgs::What::Error) {
        std::fprintf(stderr, "velmora-programmer-sim: %s\nTry: velmora-programmer-sim --help\n", parsed.error.c_str());
        return 2;
    }
    Simulator simulator(parsed.config, parsed.behaviour);
    return simulator.Run();
}
