// velmora-reader-sim: the portable AEI RF reader emulated on a pseudo-terminal.
// See ReaderHelp.cpp (or run with --help) for what it does and how to drive it.
#include "ReaderControl.h"
#include "ReaderOptions.h"
#include "ReaderSimulator.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace velmora::readersim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("velmora-reader-sim %s\n", VELMORA_VERSION);
        return 0;
    }
    const ReaderArgs parsed = ParseReaderArguments(args);
    if (parsed.what == ReaderArgs::What::Help) {
        std::fputs(ReaderHelpText().c_str(), stdout);
        return 0;
    }
    if (parsed.what == ReaderArgs::What::Error) {
        std::fprintf(stderr, "velmora-reader-sim: %s\nTry: velmora-reader-sim --help\n", parsed.error.c_str());
        return 2;
    }
    ReaderSimulator simulator(parsed.config, parsed.behaviour);
    return simulator.Run();
}
