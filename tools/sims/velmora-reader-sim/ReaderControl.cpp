#include "ReaderControl.h"

#include "ControlText.h"

#include <vector>

namespace velmora::readersim {

namespace {

using sim::ControlWords;
using sim::LowerAscii;

// The rest of the line after its first word, as typed.
std::string RestOf(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i < line.size()) ++i; // the one blank after the keyword
    return std::string(line.substr(i));
}

bool Printable(std::string_view v, std::size_t maxLen, bool blanks) {
    if (v.size() > maxLen) return false;
    for (unsigned char c : v)
        if (c < 0x20 || c >= 0x7F || (!blanks && c == ' ')) return false;
    return true;
}

// "NN?NN?NN" with digits and this separator.
bool IsClockText(std::string_view v, char sep) {
    if (v.size() != 8 || v[2] != sep || v[5] != sep) return false;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (v[i] < '0' || v[i] > '9') return false;
    return true;
}

ReaderOutcome Refuse(std::string message) {
    ReaderOutcome o;
    o.message = std::move(message);
    return o;
}

ReaderOutcome Done(std::string message, ReaderAction action = {}) {
    ReaderOutcome o;
    o.ok = true;
    o.message = std::move(message);
    o.action = std::move(action);
    return o;
}

ReaderOutcome Switch(const std::vector<std::string>& w, bool& flag, const char* name) {
    ReaderOutcome o;
    o.ok = sim::SwitchCommand(w, flag, name, o.message);
    return o;
}

ReaderOutcome Delay(const std::vector<std::string>& w, int& ms, int onValue, const char* name) {
    ReaderOutcome o;
    o.ok = sim::DelayCommand(w, ms, onValue, name, o.message);
    return o;
}

// A field of the SSP of a fixed width.
ReaderOutcome Field(const std::vector<std::string>& w, std::string& field, std::size_t width, const char* name) {
    if (w.size() != 2 || w[1].size() > width || !Printable(w[1], width, false))
        return Refuse(std::string(name) + " needs 1 to " + std::to_string(width) +
                      " printable characters without blanks");
    field = w[1];
    return Done(std::string(name) + " " + field);
}

// "2", "0.5", "1.25": whole milliseconds as seconds.
std::string SecondsText(int ms) {
    std::string s = std::to_string(ms / 1000);
    int rest = ms % 1000;
    if (rest == 0) return s;
    std::string frac = std::to_string(1000 + rest).substr(1);
    while (frac.back() == '0') frac.pop_back();
    return s + "." + frac;
}

ReaderAction Act(ReaderAction::Kind kind) {
    ReaderAction a;
    a.kind = kind;
    return a;
}

} // namespace

std::string DescribeReader(const ReaderBehaviour& b) {
    std::string s = "user ID " + b.userId + ", date " + (b.date.empty() ? "today" : b.date) + ", time " +
                    (b.time.empty() ? "now" : b.time) + ", battery " + b.battery + ", alarms " + b.alarm1 + " " +
                    b.alarm2 + " " + b.alarm3 + ", firmware " + b.firmware;
    s += b.silent ? ", SILENT" : "";
    s += b.ack ? "" : ", NO ACK";
    s += b.garbage ? ", GARBAGE" : "";
    s += b.brokenDate == 1 ? ", BROKEN DATE ONCE" : b.brokenDate == 2 ? ", BROKEN DATE" : "";
    s += b.oldFirmware ? ", OLD FIRMWARE" : "";
    if (b.splitMs > 0) s += ", SPLIT " + std::to_string(b.splitMs) + " ms";
    if (b.slowMs > 0) s += ", SLOW " + std::to_string(b.slowMs) + " ms";
    if (b.autoReadMs > 0) s += ", auto-read after " + SecondsText(b.autoReadMs) + " s";
    return s;
}

ReaderOutcome ApplyReaderCommand(std::string_view line, ReaderBehaviour& b) {
    const std::vector<std::string> w = ControlWords(line);
    if (w.empty()) return Refuse("empty command");
    const std::string cmd = LowerAscii(w[0]);

    if (cmd == "read") {
        ReaderAction a = Act(ReaderAction::Kind::Read);
        const std::string what = w.size() > 1 ? LowerAscii(w[1]) : std::string();
        const std::string detail = w.size() > 2 ? LowerAscii(w[2]) : std::string();
        if (w.size() == 1) a.reading = b.oldFirmware ? ReadingKind::Old : ReadingKind::Normal;
        else if (what == "old" && w.size() == 2) a.reading = ReadingKind::Old;
        else if (what == "wrong" && (w.size() == 2 || detail == "number")) a.reading = ReadingKind::WrongNumber;
        else if (what == "wrong" && detail == "length" && w.size() == 3) a.reading = ReadingKind::WrongLength;
        else return Refuse("read takes nothing, old, wrong, wrong number or wrong length");
        return Done("read " + (w.size() > 1 ? RestOf(line) : std::string("the tag")), a);
    }
    if (cmd == "line" || cmd == "frame") {
        ReaderAction a = Act(cmd == "line" ? ReaderAction::Kind::Line : ReaderAction::Kind::Frame);
        a.text = RestOf(line);
        if (!Printable(a.text, 200, true)) return Refuse(cmd + " needs printable text of at most 200 characters");
        return Done(cmd + " \"" + a.text + "\"", a);
    }
    if (cmd == "silent") return Switch(w, b.silent, "silent");
    if (cmd == "ack") return Switch(w, b.ack, "ack");
    if (cmd == "garbage") return Switch(w, b.garbage, "garbage");
    if (cmd == "oldfirmware") return Switch(w, b.oldFirmware, "oldfirmware");
    if (cmd == "split") return Delay(w, b.splitMs, 20, "split");
    if (cmd == "slow") return Delay(w, b.slowMs, 3000, "slow");
    if (cmd == "autoread") {
        if (w.size() != 2) return Refuse("autoread needs on, off or a number of seconds");
        const std::string v = LowerAscii(w[1]);
        double seconds = 0;
        if (v == "on") b.autoReadMs = kAutoReadDefaultMs;
        else if (v == "off") b.autoReadMs = 0;
        else if (sim::ParseSeconds(v, seconds) && seconds >= 0.001)
            b.autoReadMs = static_cast<int>(seconds * 1000.0 + 0.5);
        else return Refuse("autoread needs on, off or seconds from 0.001 to 86400, not \"" + w[1] + "\"");
        ReaderAction a = Act(ReaderAction::Kind::AutoRead);
        return Done(b.autoReadMs > 0 ? "autoread " + SecondsText(b.autoReadMs) + " s" : std::string("autoread off"), a);
    }
    if (cmd == "brokendate") {
        const std::string v = w.size() == 2 ? LowerAscii(w[1]) : std::string();
        if (v == "once") b.brokenDate = 1;
        else if (v == "on") b.brokenDate = 2;
        else if (v == "off") b.brokenDate = 0;
        else return Refuse("brokendate needs once, on or off");
        return Done("brokendate " + v);
    }
    if (cmd == "userid") return Field(w, b.userId, 8, "userid");
    if (cmd == "battery") return Field(w, b.battery, 3, "battery");
    if (cmd == "firmware") return Field(w, b.firmware, 40, "firmware");
    if (cmd == "alarms") {
        if (w.size() != 4) return Refuse("alarms needs three levels, e.g. alarms 070 060 050");
        for (std::size_t i = 1; i < 4; ++i)
            if (!Printable(w[i], 3, false)) return Refuse("each alarm level is 1 to 3 printable characters");
        b.alarm1 = w[1];
        b.alarm2 = w[2];
        b.alarm3 = w[3];
        return Done("alarms " + w[1] + " " + w[2] + " " + w[3]);
    }
    if (cmd == "date") {
        if (w.size() != 2) return Refuse("date needs MM/DD/YY or today");
        if (LowerAscii(w[1]) == "today") b.date.clear();
        else if (IsClockText(w[1], '/')) b.date = w[1];
        else return Refuse("date needs MM/DD/YY (e.g. 03/14/26) or today");
        return Done("date " + (b.date.empty() ? std::string("today") : b.date));
    }
    if (cmd == "time") {
        if (w.size() != 2) return Refuse("time needs hh:mm:ss or now");
        if (LowerAscii(w[1]) == "now") b.time.clear();
        else if (IsClockText(w[1], ':')) b.time = w[1];
        else return Refuse("time needs hh:mm:ss (e.g. 09:26:53) or now");
        return Done("time " + (b.time.empty() ? std::string("now") : b.time));
    }
    if (cmd == "normal") {
        b.silent = b.garbage = b.oldFirmware = false;
        b.ack = true;
        b.brokenDate = 0;
        b.splitMs = b.slowMs = 0;
        return Done("normal: every fault off");
    }
    if (cmd == "unplug") {
        ReaderAction a = Act(ReaderAction::Kind::Unplug);
        if (w.size() == 2) {
            double s = 0;
            if (!sim::ParseSeconds(w[1], s)) return Refuse("unplug: \"" + w[1] + "\" is not a number of seconds (0.1 to 86400)");
            a.seconds = s;
        } else if (w.size() > 2) {
            return Refuse("unplug takes at most: SECONDS");
        }
        return Done(a.seconds ? "unplug, back after " + w[1] + " s" : std::string("unplug, back on \"plug\""), a);
    }
    if (cmd == "verbose") {
        bool on = false;
        ReaderOutcome o = Switch(w, on, "verbose");
        if (o.ok) {
            o.action.kind = ReaderAction::Kind::Verbose;
            o.action.on = on;
        }
        return o;
    }
    if (w.size() == 1) {
        if (cmd == "plug") return Done("plug", Act(ReaderAction::Kind::Plug));
        if (cmd == "show") return Done("show", Act(ReaderAction::Kind::Show));
        if (cmd == "help") return Done("help", Act(ReaderAction::Kind::Help));
        if (cmd == "quit") return Done("quit", Act(ReaderAction::Kind::Quit));
    }
    return Refuse("unknown command \"" + std::string(line) + "\" (try: help)");
}

} // namespace velmora::readersim
