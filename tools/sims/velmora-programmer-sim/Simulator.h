// The simulator's main loop: serves the pseudo-terminal, the control FIFO
// and the signals, and sends answers at the times the behaviour asks for
// (at once, after a delay, or byte by byte).
#pragma once

#include "Behaviour.h"
#include "ControlCommands.h"
#include "ControlFifo.h"
#include "Log.h"
#include "Options.h"
#include "Protocol.h"
#include "Pty.h"
#include "TagStore.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace velmora::sim {

class Simulator {
public:
    using Clock = std::chrono::steady_clock;

    Simulator(const SimConfig& config, const Behaviour& behaviour);
    // Runs until stopped; returns the process exit code.
    int Run();

private:
    // Something to do on the port at a given time: send bytes, or pull the cable.
    struct Outgoing {
        Clock::time_point due;
        std::string bytes;
        bool unplug = false;
        std::optional<double> backAfter;
    };

    bool Start();
    void Shutdown();
    bool PlugIn();
    void Unplug(std::optional<double> backAfter);

    void ServeSignals();
    void ServeControl();
    void ServePort(short revents);
    void NoticeClient(bool present);
    void HandleCommand(const std::string& command);
    void RunControlCommand(const std::string& line);

    Clock::time_point Schedule(Clock::time_point at, const std::string& bytes);
    void SendDue(Clock::time_point now);
    void WriteNow(Outgoing& item);
    int PollTimeoutMs(Clock::time_point now) const;

    SimConfig config_;
    Behaviour behaviour_;
    Logger log_;
    PseudoTerminal pty_;
    PortLink link_;
    ControlFifo control_;
    TagStore tags_;
    ProgrammerProtocol protocol_;
    CommandAssembler commands_;

    std::deque<Outgoing> out_;
    std::optional<Clock::time_point> plugAt_;
    bool clientPresent_ = false;
    bool unplugNext_ = false;
    std::optional<double> unplugNextBackAfter_;
    bool stop_ = false;
    unsigned generation_ = 0;  // changes whenever the port is closed or made anew
};

} // namespace velmora::sim
