#include "Simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace velmora::sim {

namespace {

using Ms = std::chrono::milliseconds;

// Line noise sent before an answer when "garbage" is on: bytes a bad cable or
// a programmer being switched on might produce, as a line of its own.
std::string GarbageLine() {
    static constexpr unsigned char kJunk[] = {0x00, 0xFF, 0x7E, 0x15, 0x80, 0x3F, 0xAA, 0x1B, '\r', '\n'};
    return std::string(reinterpret_cast<const char*>(kJunk), sizeof kJunk);
}

// After "unplug next" the echo gets this long to reach the program.
constexpr Ms kUnplugAfterEcho{100};

} // namespace

Simulator::Simulator(const SimConfig& config, const Behaviour& behaviour)
    : PortSimulator(config.linkPath, config.controlPath, config.tagFile, config.verbose), behaviour_(behaviour) {
    if (config.startUnplugged) StartUnplugged(config.plugAfter);
}

bool Simulator::Announce() {
    std::string dir = DirectoryOf(tags_.Path());
    if (access(dir.c_str(), W_OK) != 0) {
        log_.Info("cannot write the tag file " + tags_.Path() + ": " + std::strerror(errno));
        return false;
    }
    log_.Info("AEI tag programmer simulator: " + DescribeBehaviour(behaviour_));
    log_.Info("tag file " + tags_.Path());
    return true;
}

void Simulator::OnUnplugged() {
    commands_.Reset();
    unplugNext_ = false;
}

void Simulator::RunControlCommand(const std::string& line) {
    ControlOutcome o = ApplyControlCommand(line, behaviour_);
    log_.Info("control: " + o.message);
    if (!o.ok) return;
    std::string problem;
    switch (o.action.kind) {
    case ControlAction::Kind::None:
        break;
    case ControlAction::Kind::Unplug:
        Unplug(o.action.seconds);
        break;
    case ControlAction::Kind::UnplugNext:
        unplugNext_ = true;
        unplugNextBackAfter_ = o.action.seconds;
        break;
    case ControlAction::Kind::Plug:
        PlugIn();
        break;
    case ControlAction::Kind::SetTag:
        if (!tags_.Save(o.action.text, problem)) log_.Info(problem);
        break;
    case ControlAction::Kind::ClearTag:
        if (!tags_.Clear(problem)) log_.Info(problem);
        break;
    case ControlAction::Kind::Show: {
        std::string tag = tags_.Load(problem).value_or("none (" + problem + ")");
        log_.Info(DescribeBehaviour(behaviour_) + "; last status " + protocol_.LastCode() + "; port " + PortState() +
                  "; tag " + tag);
        break;
    }
    case ControlAction::Kind::Verbose:
        log_.SetVerbose(o.action.on);
        break;
    case ControlAction::Kind::Help:
        std::fputs(ControlCommandsText().c_str(), stderr);
        std::fflush(stderr);
        break;
    case ControlAction::Kind::Quit:
        stop_ = true;
        break;
    }
}

void Simulator::Receive(std::string_view chunk) {
    log_.Traffic("RX", chunk);
    for (const auto& command : commands_.Feed(chunk)) HandleCommand(command);
}

void Simulator::HandleCommand(const std::string& command) {
    Clock::time_point at = QueueEnd();
    const std::string head = (behaviour_.garbage ? GarbageLine() : std::string()) + command + "\r\n";

    if (unplugNext_) {
        unplugNext_ = false;
        if (!behaviour_.silent) at = Schedule(at, head);
        ScheduleUnplug(at + kUnplugAfterEcho, unplugNextBackAfter_);
        log_.Info("command " + EscapeBytes(command) + ": pulling the cable");
        return;
    }
    if (behaviour_.silent) {
        log_.Detail("command " + EscapeBytes(command) + ": silent, no answer");
        return;
    }
    if (QueueFull()) {
        log_.Info("command " + EscapeBytes(command) + " not answered: the program is not reading the answers");
        return;
    }
    Reply reply = protocol_.Answer(command, behaviour_, tags_);
    std::string body;
    for (const auto& line : reply.lines) body += line + "\r\n";
    log_.Detail("command " + EscapeBytes(command) + " -> " + EscapeBytes(body));
    if (!protocol_.Note().empty()) log_.Info(protocol_.Note());

    at = Schedule(at, head);
    Schedule(at + Ms(behaviour_.slowMs), body);
}

} // namespace velmora::sim
