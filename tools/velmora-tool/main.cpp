// velmora-tool: the command-line front end to the core.
#include "ToolCommon.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace velmora::tool {

std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name) {
    const std::string flag = "--" + name;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == flag) {
            if (i + 1 >= args.size()) throw UsageError{"option " + flag + " needs a value"};
            std::string v = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return v;
        }
        if (args[i].rfind(flag + "=", 0) == 0) {
            std::string v = args[i].substr(flag.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return v;
        }
    }
    return std::nullopt;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    const std::string flag = "--" + name;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == flag) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

void RejectUnknownOptions(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a.rfind("--", 0) == 0) throw UsageError{"unknown option " + a};
}

void CheckNoArguments(const std::vector<std::string>& args) {
    RejectUnknownOptions(args);
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
}

long ParseNumberArg(const std::string& text, const std::string& what) {
    if (text.empty()) throw UsageError{what + " needs a number"};
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') throw UsageError{what + " needs a number, not \"" + text + "\""};
    return v;
}

} // namespace velmora::tool

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
