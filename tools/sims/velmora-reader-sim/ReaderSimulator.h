// The reader simulator: the shared port loop (PortSimulator.h) with the
// reader's frames, parameters and tag readings, sent at the times the
// behaviour asks for.
#pragma once

#include "ReaderBehaviour.h"
#include "ReaderControl.h"
#include "ReaderFrames.h"
#include "ReaderOptions.h"

#include "PortSimulator.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::readersim {

class ReaderSimulator : public sim::PortSimulator {
public:
    ReaderSimulator(const ReaderConfig& config, const ReaderBehaviour& behaviour);

private:
    bool Announce() override;
    void RunControlCommand(const std::string& line) override;
    void Receive(std::string_view chunk) override;
    int SplitMs() const override { return behaviour_.splitMs; }
    void OnPlugged() override { frames_.Reset(); }
    void OnUnplugged() override;
    void OnClientOpened() override;
    void OnClientClosed() override;
    void OnTick(Clock::time_point now) override;
    std::optional<Clock::time_point> NextTimer() const override;

    void HandleFrame(const std::string& frame);
    void AnswerParameters(Clock::time_point at);
    void SendReading(const std::string& line, const char* why);
    // The reading of the tag in the tag file; nullopt (and a message) when
    // the file holds no tag.
    std::optional<std::string> TagReading(ReadingKind kind);
    void ArmAutoRead(Clock::time_point armedAt);
    void CheckAutoRead(Clock::time_point now);
    void CheckAckWait(Clock::time_point now);

    ReaderBehaviour behaviour_;
    FrameAssembler frames_;

    std::optional<Clock::time_point> ackDeadline_; // the parameters wait for their ACK
    int parameterSends_ = 0;
    std::optional<std::string> pendingReading_;     // waits for the port to be opened
    std::optional<Clock::time_point> quietSince_;   // the port was opened and nothing has arrived since
    std::optional<Clock::time_point> autoReadAt_;   // the automatic reading is due
};

} // namespace velmora::readersim
