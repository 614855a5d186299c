// The programmer simulator: the shared port loop (PortSimulator.h) with the
// programmer's commands, echo and answers.
#pragma once

#include "Behaviour.h"
#include "ControlCommands.h"
#include "Options.h"
#include "PortSimulator.h"
#include "Protocol.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora::sim {

class Simulator : public PortSimulator {
public:
    Simulator(const SimConfig& config, const Behaviour& behaviour);

private:
    bool Announce() override;
    void RunControlCommand(const std::string& line) override;
    void Receive(std::string_view chunk) override;
    int SplitMs() const override { return behaviour_.splitMs; }
    void OnPlugged() override { commands_.Reset(); }
    void OnUnplugged() override;
    void OnClientClosed() override { commands_.Reset(); }

    void HandleCommand(const std::string& command);

    Behaviour behaviour_;
    ProgrammerProtocol protocol_;
    CommandAssembler commands_;
    bool unplugNext_ = false;
    std::optional<double> unplugNextBackAfter_;
};

} // namespace velmora::sim
