// The main loop both simulators run: serves the pseudo-terminal, the control
// FIFO and the signals, plugs and unplugs the simulated cable, and sends
// queued bytes at their times (at once, after a delay, or byte by byte).
// A simulator derives from it and adds its own protocol and commands.
#pragma once

#include "ControlFifo.h"
#include "Log.h"
#include "Pty.h"
#include "TagStore.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::sim {

class PortSimulator {
public:
    using Clock = std::chrono::steady_clock;

    PortSimulator(const std::string& linkPath, const std::string& controlPath, const std::string& tagFile,
                  bool verbose);
    virtual ~PortSimulator() = default;
    PortSimulator(const PortSimulator&) = delete;
    PortSimulator& operator=(const PortSimulator&) = delete;

    // Runs until stopped; returns the process exit code.
    int Run();

protected:
    // Something to do on the port at a given time: send bytes, or pull the cable.
    struct Outgoing {
        Clock::time_point due;
        std::string bytes;
        bool unplug = false;
        std::optional<double> backAfter;
    };

    // The banner and the checks made before the port is first plugged in;
    // false stops the simulator.
    virtual bool Announce() = 0;
    // One control command from the FIFO.
    virtual void RunControlCommand(const std::string& line) = 0;
    // Bytes the program sent.
    virtual void Receive(std::string_view chunk) = 0;
    // Milliseconds between the bytes sent; 0 sends each piece whole.
    virtual int SplitMs() const = 0;
    // The port was made anew, or the cable pulled: half-received input is gone.
    virtual void OnPlugged() {}
    virtual void OnUnplugged() {}
    // The program opened the port, or closed it (what was queued is gone).
    virtual void OnClientOpened() {}
    virtual void OnClientClosed() {}
    // Work due by the clock, done on every turn of the loop, and when it is
    // next due.
    virtual void OnTick(Clock::time_point /*now*/) {}
    virtual std::optional<Clock::time_point> NextTimer() const { return std::nullopt; }

    // Starts unplugged; plugged in after this many seconds when given.
    void StartUnplugged(std::optional<double> plugAfter);
    bool PlugIn();
    void Unplug(std::optional<double> backAfter);
    void NoticeClient(bool present);

    // When the last queued byte goes out (now when nothing waits).
    Clock::time_point QueueEnd() const;
    // Queues bytes to go out at a time (split if asked); returns when the
    // last of them goes.
    Clock::time_point Schedule(Clock::time_point at, const std::string& bytes);
    // Pulls the cable at a time, after what is queued before it.
    void ScheduleUnplug(Clock::time_point at, std::optional<double> backAfter);
    // Too much waits to be sent: a program that writes and never reads must
    // not make the simulator grow without end.
    bool QueueFull() const;
    // "/dev/pts/N (open)", "/dev/pts/N (not open)" or "unplugged", for "show".
    std::string PortState() const;

    Logger log_;
    PseudoTerminal pty_;
    PortLink link_;
    ControlFifo control_;
    TagStore tags_;
    bool clientPresent_ = false;
    bool stop_ = false;

private:
    bool Start();
    void Shutdown();
    void ServeSignals();
    void ServeControl();
    void ServePort(short revents);
    void SendDue(Clock::time_point now);
    void WriteNow(Outgoing& item);
    int PollTimeoutMs(Clock::time_point now) const;

    std::deque<Outgoing> out_;
    std::optional<Clock::time_point> plugAt_;
    bool startUnplugged_ = false;
    std::optional<double> plugAfter_;
    unsigned generation_ = 0;  // changes whenever the port is closed or made anew
};

// The folder a file lies in: "." for a bare name.
std::string DirectoryOf(const std::string& path);

} // namespace velmora::sim
