#include "ReaderOptions.h"

#include "ReaderControl.h"

#include "TagStore.h"

#include <optional>

namespace velmora::readersim {

namespace {

ReaderArgs Error(std::string message) {
    ReaderArgs p;
    p.what = ReaderArgs::What::Error;
    p.error = std::move(message);
    return p;
}

} // namespace

ReaderArgs ParseReaderArguments(const std::vector<std::string>& args) {
    ReaderArgs p;
    p.config.tagFile = sim::DefaultTagFilePath();
    // Behaviour flags become the control commands, so both check their
    // values the same way.
    std::vector<std::pair<std::string, std::string>> commands; // flag, command

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        const std::size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        auto needValue = [&](std::string& out) {
            if (value) out = *value;
            else if (i + 1 < args.size()) out = args[++i];
            else return false;
            return !out.empty();
        };
        std::string v;
        static const std::pair<const char*, const char*> kValued[] = {
            {"--user-id", "userid"}, {"--date", "date"},         {"--time", "time"},
            {"--battery", "battery"}, {"--firmware", "firmware"}, {"--slow", "slow"},
        };
        bool done = false;
        for (const auto& [flag, command] : kValued) {
            if (name != flag) continue;
            if (!needValue(v)) return Error(name + " needs a value");
            commands.emplace_back(name, std::string(command) + " " + v);
            done = true;
        }
        if (done) continue;

        if (name == "-h" || name == "--help") {
            p.what = ReaderArgs::What::Help;
            return p;
        } else if (name == "--link") {
            if (!needValue(p.config.linkPath)) return Error("--link needs a path");
        } else if (name == "--tag-file") {
            if (!needValue(p.config.tagFile)) return Error("--tag-file needs a path");
        } else if (name == "--control") {
            if (!needValue(p.config.controlPath)) return Error("--control needs a path");
        } else if (name == "--alarms") {
            if (!needValue(v)) return Error("--alarms needs three levels such as 070,060,050");
            for (char& c : v)
                if (c == ',') c = ' ';
            commands.emplace_back(name, "alarms " + v);
        } else if (name == "--split") {
            commands.emplace_back(name, "split " + value.value_or("on"));
        } else if (name == "--auto-read") {
            commands.emplace_back(name, "autoread " + value.value_or("on"));
        } else if (name == "--broken-date") {
            commands.emplace_back(name, "brokendate " + value.value_or("once"));
        } else if (!value && (name == "--silent" || name == "--no-ack" || name == "--old-firmware" ||
                              name == "--garbage")) {
            commands.emplace_back(name, name == "--silent"         ? "silent on"
                                        : name == "--no-ack"       ? "ack off"
                                        : name == "--old-firmware" ? "oldfirmware on"
                                                                   : "garbage on");
        } else if (!value && (name == "-v" || name == "--verbose")) {
            p.config.verbose = true;
        } else {
            return Error("unknown argument \"" + args[i] + "\"");
        }
    }

    for (const auto& [flag, command] : commands) {
        const ReaderOutcome o = ApplyReaderCommand(command, p.behaviour);
        if (!o.ok) return Error(flag + ": " + o.message);
        if (o.action.kind != ReaderAction::Kind::None && o.action.kind != ReaderAction::Kind::AutoRead)
            return Error(flag + ": not a setting");
    }
    return p;
}

} // namespace velmora::readersim
