#include "ReaderSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace velmora::readersim {

namespace {

using Ms = std::chrono::milliseconds;

// The parameters wait this long for the host's ACK, and are sent at most
// this many times.
constexpr Ms kAckWait{2000};
constexpr int kParameterSends = 3;
// A reading held for a closed port goes out this long after the port opens.
constexpr Ms kReadingAfterOpen{300};
// An automatic reading needs the port opened and quiet this long: a search
// or a parameter read sends FSP at once, an RF check sends nothing.
constexpr Ms kAutoReadQuiet{1500};

} // namespace

ReaderSimulator::ReaderSimulator(const ReaderConfig& config, const ReaderBehaviour& behaviour)
    : PortSimulator(config.linkPath, config.controlPath, config.tagFile, config.verbose), behaviour_(behaviour) {}

bool ReaderSimulator::Announce() {
    log_.Info("portable reader simulator: " + DescribeReader(behaviour_));
    log_.Info("tag file " + tags_.Path());
    if (access(sim::DirectoryOf(tags_.Path()).c_str(), R_OK) != 0)
        log_.Info("the tag file's folder cannot be read: " + std::string(std::strerror(errno)));
    return true;
}

void ReaderSimulator::OnTick(Clock::time_point now) {
    CheckAckWait(now);
    CheckAutoRead(now);
}

std::optional<ReaderSimulator::Clock::time_point> ReaderSimulator::NextTimer() const {
    if (ackDeadline_ && autoReadAt_) return std::min(*ackDeadline_, *autoReadAt_);
    return ackDeadline_ ? ackDeadline_ : autoReadAt_;
}

void ReaderSimulator::OnUnplugged() {
    frames_.Reset();
    ackDeadline_.reset();
    quietSince_.reset();
    autoReadAt_.reset();
}

void ReaderSimulator::RunControlCommand(const std::string& line) {
    const ReaderOutcome o = ApplyReaderCommand(line, behaviour_);
    log_.Info("control: " + o.message);
    if (!o.ok) return;
    std::string problem;
    switch (o.action.kind) {
    case ReaderAction::Kind::None: break;
    case ReaderAction::Kind::Read:
        if (const auto reading = TagReading(o.action.reading)) SendReading(*reading, "reading");
        break;
    case ReaderAction::Kind::AutoRead:
        if (behaviour_.autoReadMs > 0) ArmAutoRead(Clock::now());
        else autoReadAt_.reset();
        break;
    case ReaderAction::Kind::Line: SendReading(o.action.text, "line"); break;
    case ReaderAction::Kind::Frame:
        if (clientPresent_) Schedule(QueueEnd(), Framed(o.action.text));
        else log_.Info("the port is not open; the frame is lost");
        break;
    case ReaderAction::Kind::Unplug: Unplug(o.action.seconds); break;
    case ReaderAction::Kind::Plug: PlugIn(); break;
    case ReaderAction::Kind::Show: {
        const std::string tag = tags_.Load(problem).value_or("none (" + problem + ")");
        log_.Info(DescribeReader(behaviour_) + "; port " + PortState() + "; tag " + tag +
                  (pendingReading_ ? "; a reading waits for the port" : "") +
                  (autoReadAt_ ? "; an automatic reading is due" : ""));
        break;
    }
    case ReaderAction::Kind::Verbose: log_.SetVerbose(o.action.on); break;
    case ReaderAction::Kind::Help:
        std::fputs(ReaderCommandsText().c_str(), stderr);
        std::fflush(stderr);
        break;
    case ReaderAction::Kind::Quit: stop_ = true; break;
    }
}

std::optional<std::string> ReaderSimulator::TagReading(ReadingKind kind) {
    std::string problem;
    const auto digits = tags_.Load(problem);
    if (!digits) {
        log_.Info("no reading: " + problem);
        return std::nullopt;
    }
    const auto tag = DecodeTag(*digits, problem);
    if (!tag) {
        log_.Info("no reading: " + problem);
        return std::nullopt;
    }
    return BuildReading(*tag, kind);
}

void ReaderSimulator::ArmAutoRead(Clock::time_point armedAt) {
    if (behaviour_.autoReadMs <= 0 || !clientPresent_ || !quietSince_) return;
    autoReadAt_ = std::max(*quietSince_ + kAutoReadQuiet, armedAt + Ms(behaviour_.autoReadMs));
}

void ReaderSimulator::CheckAutoRead(Clock::time_point now) {
    if (!autoReadAt_ || now < *autoReadAt_) return;
    autoReadAt_.reset();
    if (!clientPresent_) return;
    log_.Info("the port stayed quiet: the operator reads the tag");
    if (const auto reading = TagReading(behaviour_.oldFirmware ? ReadingKind::Old : ReadingKind::Normal))
        SendReading(*reading, "automatic reading");
}

void ReaderSimulator::SendReading(const std::string& line, const char* why) {
    if (clientPresent_) {
        log_.Info(std::string("sending the ") + why + " \"" + line + "\"");
        Schedule(QueueEnd(), line + "\r\n");
        return;
    }
    pendingReading_ = line;
    log_.Info(std::string("the port is not open: the ") + why + " \"" + line +
              "\" goes out when Velmora opens it");
}

void ReaderSimulator::Receive(std::string_view chunk) {
    if (autoReadAt_) log_.Info("Velmora sent first: no automatic reading");
    quietSince_.reset();
    autoReadAt_.reset();
    log_.Traffic("RX", chunk);
    for (const auto& frame : frames_.Feed(chunk)) HandleFrame(frame);
}

void ReaderSimulator::OnClientOpened() {
    quietSince_ = Clock::now();
    if (pendingReading_) {
        log_.Info("sending the held reading \"" + *pendingReading_ + "\"");
        Schedule(std::max(QueueEnd(), Clock::now() + kReadingAfterOpen), *pendingReading_ + "\r\n");
        pendingReading_.reset();
    } else {
        ArmAutoRead(*quietSince_);
    }
}

void ReaderSimulator::OnClientClosed() {
    quietSince_.reset();
    autoReadAt_.reset();
    frames_.Reset();
    ackDeadline_.reset();
}

void ReaderSimulator::HandleFrame(const std::string& frame) {
    const std::string code = frame.substr(0, 3);
    if (behaviour_.silent) {
        log_.Detail("frame " + sim::EscapeBytes(frame) + ": silent, no answer");
        return;
    }
    if (QueueFull()) {
        log_.Info("frame " + sim::EscapeBytes(frame) + " not answered: the program is not reading the answers");
        return;
    }
    if (code == "FSP") {
        log_.Detail("parameters asked for");
        parameterSends_ = 0;
        Clock::time_point at = QueueEnd();
        if (behaviour_.ack) at = Schedule(at, (behaviour_.garbage ? GarbageBytes() : std::string()) + Framed("ACK"));
        AnswerParameters(at + Ms(behaviour_.slowMs));
        return;
    }
    if (code == "ACK") {
        if (ackDeadline_) log_.Info("the parameters were acknowledged");
        else log_.Detail("ACK");
        ackDeadline_.reset();
        return;
    }
    if (code == "NAK") {
        if (!ackDeadline_) {
            log_.Info("NAK with no parameters to send again");
            return;
        }
        if (parameterSends_ >= kParameterSends) {
            log_.Info("NAK: the parameters were refused " + std::to_string(parameterSends_) + " times; giving up");
            ackDeadline_.reset();
            return;
        }
        log_.Info("NAK: sending the parameters again");
        AnswerParameters(QueueEnd());
        return;
    }
    log_.Info("frame " + sim::EscapeBytes(frame) + " is no command of this reader: NAK");
    Schedule(QueueEnd(), Framed("NAK"));
}

void ReaderSimulator::AnswerParameters(Clock::time_point at) {
    const bool broken = behaviour_.brokenDate != 0;
    if (behaviour_.brokenDate == 1) behaviour_.brokenDate = 0; // once
    const std::string ssp = BuildSsp(behaviour_, broken);
    if (broken) log_.Info("parameters with a broken date: " + ssp);
    ++parameterSends_;
    const Clock::time_point sent =
        Schedule(at, (behaviour_.garbage ? GarbageBytes() : std::string()) + Framed(ssp));
    ackDeadline_ = sent + kAckWait;
}

void ReaderSimulator::CheckAckWait(Clock::time_point now) {
    if (!ackDeadline_ || now < *ackDeadline_) return;
    ackDeadline_.reset();
    log_.Info("the parameters were not acknowledged");
}

} // namespace velmora::readersim
