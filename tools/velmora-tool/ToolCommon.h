// Shared plumbing of velmora-tool: the subcommand registry and argument
// helpers. Each subcommand lives in its own file and registers itself with
//   static const velmora::tool::Registrar reg("name", "usage lines", RunName);
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::tool {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;

using CommandFn = std::function<int(std::vector<std::string>& args)>;

struct Command {
    std::string usage; // one or more lines, each starting "velmora-tool ..."
    CommandFn run;
};

std::map<std::string, Command>& Commands();

struct Registrar {
    Registrar(const std::string& name, const std::string& usage, CommandFn fn) {
        Commands()[name] = Command{usage, std::move(fn)};
    }
};

// Thrown by the argument helpers; main prints the message and the usage and
// exits 1.
struct UsageError {
    std::string message;
};

// Removes "--name VALUE" (or "--name=VALUE") from args; nullopt when absent.
// A flag given without its value is a usage error.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name);
// Removes "--name" from args; true when it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// Any argument still starting with "--" is a usage error.
void RejectUnknownOptions(const std::vector<std::string>& args);
// No option and no argument may be left.
void CheckNoArguments(const std::vector<std::string>& args);
// Parses a whole decimal number or throws UsageError naming the option.
long ParseNumberArg(const std::string& text, const std::string& what);

} // namespace velmora::tool
