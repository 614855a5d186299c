// The reader simulator's main loop: serves the pseudo-terminal, the control
// FIFO and the signals, answers the host's frames, and sends the parameters
// and the tag readings at the times the behaviour asks for.
#pragma once

#include "ReaderBehaviour.h"
#include "ReaderControl.h"
#include "ReaderFrames.h"
#include "ReaderOptions.h"

#include "ControlFifo.h"
#include "Log.h"
#include "Pty.h"
#include "TagStore.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>

namespace velmora::readersim {

class ReaderSimulator {
public:
    using Clock = std::chrono::steady_clock;

    ReaderSimulator(const ReaderConfig& config, const ReaderBehaviour& behaviour);
    // Runs until stopped; returns the process exit code.
    int Run();

private:
    struct Outgoing {
        Clock::time_point due;
        std::string bytes;
    };

    bool Start();
    void Shutdown();
    bool PlugIn();
    void Unplug(std::optional<double> backAfter);

    void ServeSignals();
    void ServeControl();
    void RunControlCommand(const std::string& line);
    void ServePort(short revents);
    void NoticeClient(bool present);
    void HandleFrame(const std::string& frame);
    void AnswerParameters(Clock::time_point at);
    void SendReading(const std::string& line, const char* why);
    // The reading of the tag in the tag file; nullopt (and a message) when
    // the file holds no tag.
    std::optional<std::string> TagReading(ReadingKind kind);
    void ArmAutoRead(Clock::time_point armedAt);
    void CheckAutoRead(Clock::time_point now);
    void CheckAckWait(Clock::time_point now);

    Clock::time_point QueueEnd() const;
    Clock::time_point Schedule(Clock::time_point at, const std::string& bytes);
    void SendDue(Clock::time_point now);
    void WriteNow(Outgoing& item);
    int PollTimeoutMs(Clock::time_point now) const;

    ReaderConfig config_;
    ReaderBehaviour behaviour_;
    sim::Logger log_;
    sim::PseudoTerminal pty_;
    sim::PortLink link_;
    sim::ControlFifo control_;
    sim::TagStore tags_;
    FrameAssembler frames_;

    std::deque<Outgoing> out_;
    std::optional<Clock::time_point> plugAt_;
    std::optional<Clock::time_point> ackDeadline_; // the parameters wait for their ACK
    int parameterSends_ = 0;
    std::optional<std::string> pendingReading_;     // waits for the port to be opened
    std::optional<Clock::time_point> quietSince_;   // the port was opened and nothing has arrived since
    std::optional<Clock::time_point> autoReadAt_;   // the automatic reading is due
    bool clientPresent_ = false;
    bool stop_ = false;
    unsigned generation_ = 0;
};

} // namespace velmora::readersim
