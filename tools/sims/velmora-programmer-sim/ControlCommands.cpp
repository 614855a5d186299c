#include "ControlCommands.h"

namespace velmora::sim {

namespace {

// A value the programmer reports inside a line: printable, no blanks.
bool IsWordValue(std::string_view v, std::size_t maxLen) {
    if (v.empty() || v.size() > maxLen) return false;
    for (unsigned char c : v)
        if (c <= 0x20 || c >= 0x7F) return false;
    return true;
}

ControlOutcome Refuse(std::string message) {
    ControlOutcome o;
    o.ok = false;
    o.message = std::move(message);
    return o;
}

ControlOutcome Done(std::string message, ControlAction action = {}) {
    ControlOutcome o;
    o.ok = true;
    o.message = std::move(message);
    o.action = std::move(action);
    return o;
}

ControlOutcome Switch(const std::vector<std::string>& w, bool& flag, const char* name) {
    ControlOutcome o;
    o.ok = SwitchCommand(w, flag, name, o.message);
    return o;
}

ControlOutcome Delay(const std::vector<std::string>& w, int& ms, int onValue, const char* name) {
    ControlOutcome o;
    o.ok = DelayCommand(w, ms, onValue, name, o.message);
    return o;
}

ControlOutcome Unplug(const std::vector<std::string>& w) {
    ControlAction a;
    a.kind = ControlAction::Kind::Unplug;
    std::size_t i = 1;
    if (i < w.size() && LowerAscii(w[i]) == "next") {
        a.kind = ControlAction::Kind::UnplugNext;
        ++i;
    }
    if (i < w.size()) {
        double s = 0;
        if (!ParseSeconds(w[i], s)) return Refuse("unplug: \"" + w[i] + "\" is not a number of seconds (0.1 to 86400)");
        a.seconds = s;
        ++i;
    }
    if (i != w.size()) return Refuse("unplug takes at most: next SECONDS");
    std::string msg = a.kind == ControlAction::Kind::UnplugNext ? "unplug after the echo of the next command" : "unplug";
    msg += a.seconds ? ", back after " + w.back() + " s" : ", back on \"plug\"";
    return Done(msg, a);
}

} // namespace

ControlOutcome ApplyControlCommand(std::string_view line, Behaviour& b) {
    std::vector<std::string> w = ControlWords(line);
    if (w.empty()) return Refuse("empty command");
    std::string cmd = LowerAscii(w[0]);

    if (cmd == "silent") return Switch(w, b.silent, "silent");
    if (cmd == "notag") return Switch(w, b.noTag, "notag");
    if (cmd == "garbage") return Switch(w, b.garbage, "garbage");
    if (cmd == "progdata") return Switch(w, b.programData, "progdata");
    if (cmd == "split") return Delay(w, b.splitMs, 20, "split");
    if (cmd == "slow") return Delay(w, b.slowMs, 3000, "slow");
    if (cmd == "status") {
        if (w.size() != 2) return Refuse("status needs a code such as 00, 03 or 0A, or auto");
        if (LowerAscii(w[1]) == "auto") {
            b.statusCode.clear();
            return Done("status auto (reports the result of the last program or read)");
        }
        if (!IsWordValue(w[1], 20)) return Refuse("status code must be 1 to 20 printable characters without blanks");
        b.statusCode = w[1];
        return Done("status " + b.statusCode);
    }
    if (cmd == "model") {
        if (w.size() != 2 || !IsWordValue(w[1], 19))
            return Refuse("model needs one name of 1 to 19 characters without blanks, such as AP4110, AP4112 or AP4118");
        b.model = w[1];
        return Done("model " + b.model + (IsHalfFrameModel(b.model) ? " (half frame)" : " (full frame)"));
    }
    if (cmd == "version") {
        if (w.size() != 2 || !IsWordValue(w[1], 19))
            return Refuse("version needs one text of 1 to 19 characters without blanks, such as 1.07");
        b.version = w[1];
        return Done("version " + b.version);
    }
    if (cmd == "normal") {
        b.silent = b.noTag = b.garbage = false;
        b.splitMs = b.slowMs = 0;
        b.statusCode.clear();
        return Done("normal: every fault off, status auto");
    }
    if (cmd == "tag") {
        if (w.size() != 2) return Refuse("tag needs 30 hexadecimal digits or clear");
        ControlAction a;
        if (LowerAscii(w[1]) == "clear") {
            a.kind = ControlAction::Kind::ClearTag;
            return Done("tag cleared", a);
        }
        std::string digits = w[1];
        for (auto& c : digits)
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if (!IsFrameDigits(digits, 30)) return Refuse("tag needs exactly 30 hexadecimal digits (0-9, A-F)");
        a.kind = ControlAction::Kind::SetTag;
        a.text = digits;
        return Done("tag " + digits, a);
    }
    if (cmd == "unplug") return Unplug(w);
    if (cmd == "plug" && w.size() == 1) {
        ControlAction a;
        a.kind = ControlAction::Kind::Plug;
        return Done("plug", a);
    }
    if (cmd == "verbose") {
        bool on = false;
        ControlOutcome o = Switch(w, on, "verbose");
        if (o.ok) {
            o.action.kind = ControlAction::Kind::Verbose;
            o.action.on = on;
        }
        return o;
    }
    if ((cmd == "show" || cmd == "help" || cmd == "quit") && w.size() == 1) {
        ControlAction a;
        a.kind = cmd == "show" ? ControlAction::Kind::Show
               : cmd == "help" ? ControlAction::Kind::Help
                               : ControlAction::Kind::Quit;
        return Done(cmd, a);
    }
    return Refuse("unknown command \"" + std::string(line) + "\" (try: help)");
}

} // namespace velmora::sim
