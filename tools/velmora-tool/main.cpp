// velmora-tool: the command-line front end to the core.
#include "ToolCommon.h"

#include <iostream>

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage:\n";
    for (const auto& [name, cmd] : velmora::tool::Commands()) out << cmd.usage << "\n";
    out << "velmora-tool --help | --version\n";
}

} // namespace

int main(int argc, char** argv) {
    using namespace velmora::tool;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "velmora-tool " << VELMORA_VERSION << "\n";
        return kExitOk;
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    auto it = Commands().find(args[0]);
    if (it == Commands().end()) {
        std::cerr << "velmora-tool: unknown command \"" << args[0] << "\"\n";
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    args.erase(args.begin());
    try {
        return it->second.run(args);
    } catch (const UsageError& e) {
        std::cerr << "velmora-tool: " << e.message << "\n" << "usage:\n" << it->second.usage << "\n";
        return kExitUsage;
    }
}
