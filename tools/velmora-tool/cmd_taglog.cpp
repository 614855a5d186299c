// velmora-tool taglog tail: the newest lines of a tag log, newest first, read
// the way the program reads them back at start.
#include "ToolCommon.h"

#include "data/ReplaceFile.h"
#include "data/TagLog.h"

#include <iostream>

namespace velmora::tool {
namespace {

constexpr int kExitCannotOpen = 2;
constexpr long kDefaultLines = 10;

// Removes "-n N" (or "-nN", "--lines N") from args.
std::optional<std::string> TakeLineCount(std::vector<std::string>& args) {
    if (auto v = TakeOption(args, "lines")) return v;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-n") {
            if (i + 1 >= args.size()) throw UsageError{"option -n needs a value"};
            std::string v = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return v;
        }
        if (args[i].rfind("-n", 0) == 0 && args[i].size() > 2 && args[i][1] != '-') {
            std::string v = args[i].substr(2);
            args.erase(args.begin() + static_cast<long>(i));
            return v;
        }
    }
    return std::nullopt;
}

int RunTagLog(std::vector<std::string>& args) {
    if (args.empty() || args[0] != "tail") throw UsageError{"taglog needs the word \"tail\""};
    args.erase(args.begin());
    const std::string file = TakeOption(args, "file").value_or("tag log.txt");
    long n = kDefaultLines;
    if (auto v = TakeLineCount(args)) {
        n = ParseNumberArg(*v, "-n");
        if (n < 1 || n > 10000000) throw UsageError{"-n takes a number of lines from 1 on"};
    }
    RejectUnknownOptions(args);
    for (const auto& a : args)
        if (!a.empty() && a[0] == '-') throw UsageError{"unknown option " + a};
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};

    // A folder, a named pipe or a device is not a tag log.
    if (const std::string problem = ReadTargetProblem(file); !problem.empty()) {
        std::cerr << "velmora-tool: " << problem << "\n";
        return kExitCannotOpen;
    }
    TagLogList list(static_cast<std::size_t>(n));
    LoadTagLogTail(file, list, static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < list.Size(); ++i) {
        // Control characters in the log are shown as blanks, never sent to the terminal.
        std::string line = list.Line(i);
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
        std::cout << line << '\n';
    }
    return kExitOk;
}

const Registrar regTagLog("taglog",
                          "velmora-tool taglog tail [--file FILE] [-n N]\n"
                          "    prints the newest N lines (default 10) of the tag log (default \"tag log.txt\"),"
                          " newest first; exit 2 when the file cannot be opened",
                          RunTagLog);

} // namespace
} // namespace velmora::tool
