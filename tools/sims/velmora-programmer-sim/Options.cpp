#include "Options.h"

#include "ControlCommands.h"
#include "TagStore.h"

namespace velmora::sim {

namespace {

ParsedArgs Error(std::string message) {
    ParsedArgs p;
    p.what = ParsedArgs::What::Error;
    p.error = std::move(message);
    return p;
}

// Splits "--name=value" into name and value.
void SplitFlag(const std::string& arg, std::string& name, std::optional<std::string>& value) {
    std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
    } else {
        name = arg;
        value.reset();
    }
}

} // namespace

ParsedArgs ParseArguments(const std::vector<std::string>& args) {
    ParsedArgs p;
    p.config.tagFile = DefaultTagFilePath();
    // Behaviour flags become the same commands as the control FIFO takes, so
    // both check their values the same way.
    std::vector<std::pair<std::string, std::string>> commands;  // flag, command

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name;
        std::optional<std::string> value;
        SplitFlag(args[i], name, value);
        auto needValue = [&](std::string& out) -> bool {
            if (value) {
                out = *value;
            } else if (i + 1 < args.size()) {
                out = args[++i];
            } else {
                return false;
            }
            return !out.empty();
        };
        auto noValue = [&]() { return !value.has_value(); };
        std::string v;

        if (name == "-h" || name == "--help") {
            p.what = ParsedArgs::What::Help;
            return p;
        } else if (name == "--model" || name == "--version" || name == "--status" || name == "--slow") {
            if (!needValue(v)) return Error(name + " needs a value");
            commands.emplace_back(name, name.substr(2) + " " + v);
        } else if (name == "--link") {
            if (!needValue(p.config.linkPath)) return Error("--link needs a path");
        } else if (name == "--tag-file") {
            if (!needValue(p.config.tagFile)) return Error("--tag-file needs a path");
        } else if (name == "--control") {
            if (!needValue(p.config.controlPath)) return Error("--control needs a path");
        } else if (name == "--split") {
            commands.emplace_back(name, "split " + (value ? *value : std::string("on")));
        } else if (name == "--unplugged") {
            p.config.startUnplugged = true;
            if (value) {
                double s = 0;
                if (!ParseSeconds(*value, s)) return Error("--unplugged=SECONDS needs a number of seconds (0.1 to 86400)");
                p.config.plugAfter = s;
            }
        } else if ((name == "--silent" || name == "--no-tag" || name == "--garbage" || name == "--program-data") &&
                   noValue()) {
            std::string cmd = name == "--silent"    ? "silent on"
                            : name == "--no-tag"    ? "notag on"
                            : name == "--garbage"   ? "garbage on"
                                                    : "progdata on";
            commands.emplace_back(name, cmd);
        } else if ((name == "-v" || name == "--verbose") && noValue()) {
            p.config.verbose = true;
        } else {
            return Error("unknown argument \"" + args[i] + "\"");
        }
    }

    for (const auto& [flag, command] : commands) {
        ControlOutcome o = ApplyControlCommand(command, p.behaviour);
        if (!o.ok) return Error(flag + ": " + o.message);
    }
    return p;
}

} // namespace velmora::sim
