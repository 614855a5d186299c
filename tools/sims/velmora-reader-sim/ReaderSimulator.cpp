#include "ReaderSimulator.h"

#include "Signals.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace velmora::readersim {

namespace {

using Ms = std::chrono::milliseconds;

// While nobody holds the port open the loop looks for a newcomer at this pace.
constexpr int kClientCheckMs = 20;
constexpr Ms kWriteRetry{10};
// The parameters wait this long for the host's ACK, and are sent at most
// this many times.
constexpr Ms kAckWait{2000};
constexpr int kParameterSends = 3;
// A reading held for a closed port goes out this long after the port opens.
constexpr Ms kReadingAfterOpen{300};
constexpr std::size_t kMaxQueued = 20000;
// An automatic reading needs the port opened and quiet this long: a search
// or a parameter read sends FSP at once, an RF check sends nothing.
constexpr Ms kAutoReadQuiet{1500};

ReaderSimulator::Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<ReaderSimulator::Clock::duration>(std::chrono::duration<double>(s));
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

ReaderSimulator::ReaderSimulator(const ReaderConfig& config, const ReaderBehaviour& behaviour)
    : config_(config), behaviour_(behaviour), link_(config.linkPath), control_(config.controlPath),
      tags_(config.tagFile) {
    log_.SetVerbose(config.verbose);
}

int ReaderSimulator::Run() {
    if (!Start()) {
        Shutdown();
        return 1;
    }
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        if (!pty_.IsOpen() && plugAt_ && now >= *plugAt_) PlugIn();
        SendDue(now);
        CheckAckWait(now);
        CheckAutoRead(now);
        if (stop_) break;

        pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {sim::SignalPipeFd(), POLLIN, 0};
        int controlIndex = -1;
        int portIndex = -1;
        if (control_.Fd() >= 0) {
            controlIndex = static_cast<int>(n);
            fds[n++] = {control_.Fd(), POLLIN, 0};
        }
        if (pty_.IsOpen() && clientPresent_) {
            portIndex = static_cast<int>(n);
            fds[n++] = {pty_.MasterFd(), POLLIN, 0};
        }
        const unsigned generation = generation_;
        const int r = poll(fds, n, PollTimeoutMs(Clock::now()));
        if (r < 0) {
            if (errno == EINTR) continue;
            log_.Info(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[0].revents) ServeSignals();
        if (controlIndex >= 0 && fds[controlIndex].revents) ServeControl();
        if (stop_) break;
        if (generation != generation_) continue;
        if (portIndex >= 0) {
            if (fds[portIndex].revents) ServePort(fds[portIndex].revents);
        } else if (pty_.IsOpen()) {
            NoticeClient(pty_.ClientPresent());
        }
    }
    Shutdown();
    return 0;
}

bool ReaderSimulator::Start() {
    if (!sim::InstallSignalPipe()) {
        log_.Info(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return false;
    }
    std::string problem;
    if (!link_.Claim(problem) || !control_.Open(problem)) {
        log_.Info(problem);
        return false;
    }
    log_.Info("portable reader simulator: " + DescribeReader(behaviour_));
    log_.Info("tag file " + tags_.Path());
    if (access(DirectoryOf(tags_.Path()).c_str(), R_OK) != 0)
        log_.Info("the tag file's folder cannot be read: " + std::string(std::strerror(errno)));
    if (control_.Enabled()) log_.Info("control commands: echo \"help\" > " + control_.Path());
    return PlugIn();
}

void ReaderSimulator::Shutdown() {
    pty_.Close();
    link_.Remove();
    control_.Close();
    log_.Info("stopped");
}

bool ReaderSimulator::PlugIn() {
    plugAt_.reset();
    if (pty_.IsOpen()) {
        log_.Info("already plugged in on " + pty_.SlavePath());
        return true;
    }
    std::string problem;
    if (!pty_.Open(problem)) {
        log_.Info(problem + "; trying again in 1 s");
        plugAt_ = Clock::now() + std::chrono::seconds(1);
        return false;
    }
    ++generation_;
    clientPresent_ = false;
    frames_.Reset();
    if (!link_.PointTo(pty_.SlavePath(), problem)) {
        log_.Info(problem);
        pty_.Close();
        stop_ = true;
        return false;
    }
    std::printf("%s\n", pty_.SlavePath().c_str());
    std::fflush(stdout);
    std::string where = pty_.SlavePath();
    if (link_.Enabled()) where += " (link " + link_.Path() + ")";
    log_.Info("plugged in on " + where);
    return true;
}

void ReaderSimulator::Unplug(std::optional<double> backAfter) {
    out_.clear();
    frames_.Reset();
    ackDeadline_.reset();
    quietSince_.reset();
    autoReadAt_.reset();
    if (pty_.IsOpen()) {
        pty_.Close();
        ++generation_;
        link_.Remove();
    }
    clientPresent_ = false;
    if (backAfter) {
        plugAt_ = Clock::now() + Seconds(*backAfter);
        log_.Info("unplugged; back in " + std::to_string(*backAfter) + " s");
    } else {
        plugAt_.reset();
        log_.Info("unplugged; back on \"plug\"");
    }
}

void ReaderSimulator::ServeSignals() {
    for (;;) {
        const sim::SignalEvent e = sim::TakeSignal();
        if (e == sim::SignalEvent::None) return;
        if (e == sim::SignalEvent::Stop) {
            log_.Info("stopping");
            stop_ = true;
        } else if (pty_.IsOpen()) {
            Unplug(std::nullopt);
        } else {
            PlugIn();
        }
    }
}

void ReaderSimulator::ServeControl() {
    std::string problem;
    const std::vector<std::string> commands = control_.ReadCommands(problem);
    if (!problem.empty()) log_.Info(problem);
    for (const auto& c : commands) {
        RunControlCommand(c);
        if (stop_) return;
    }
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
        log_.Info(DescribeReader(behaviour_) + "; port " +
                  (pty_.IsOpen() ? pty_.SlavePath() + (clientPresent_ ? " (open)" : " (not open)") : "unplugged") +
                  "; tag " + tag + (pendingReading_ ? "; a reading waits for the port" : "") +
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

void ReaderSimulator::ServePort(short revents) {
    if (revents & POLLIN) {
        char buf[256];
        for (;;) {
            const ssize_t n = read(pty_.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                if (autoReadAt_) log_.Info("Velmora sent first: no automatic reading");
                quietSince_.reset();
                autoReadAt_.reset();
                const std::string_view chunk(buf, static_cast<std::size_t>(n));
                log_.Traffic("RX", chunk);
                for (const auto& frame : frames_.Feed(chunk)) HandleFrame(frame);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;
        }
    }
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) NoticeClient(false);
}

void ReaderSimulator::NoticeClient(bool present) {
    if (present == clientPresent_) return;
    clientPresent_ = present;
    if (present) {
        log_.Info("the port was opened");
        quietSince_ = Clock::now();
        if (pendingReading_) {
            log_.Info("sending the held reading \"" + *pendingReading_ + "\"");
            Schedule(std::max(QueueEnd(), Clock::now() + kReadingAfterOpen), *pendingReading_ + "\r\n");
            pendingReading_.reset();
        } else {
            ArmAutoRead(*quietSince_);
        }
        return;
    }
    log_.Info("the port was closed");
    quietSince_.reset();
    autoReadAt_.reset();
    pty_.DiscardUnreadOutput();
    out_.clear();
    frames_.Reset();
    ackDeadline_.reset();
}

void ReaderSimulator::HandleFrame(const std::string& frame) {
    const std::string code = frame.substr(0, 3);
    if (behaviour_.silent) {
        log_.Detail("frame " + sim::EscapeBytes(frame) + ": silent, no answer");
        return;
    }
    if (out_.size() >= kMaxQueued) {
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

ReaderSimulator::Clock::time_point ReaderSimulator::QueueEnd() const {
    const Clock::time_point now = Clock::now();
    return out_.empty() ? now : std::max(now, out_.back().due);
}

ReaderSimulator::Clock::time_point ReaderSimulator::Schedule(Clock::time_point at, const std::string& bytes) {
    if (bytes.empty()) return at;
    if (behaviour_.splitMs <= 0) {
        out_.push_back({at, bytes});
        return at;
    }
    for (char c : bytes) {
        out_.push_back({at, std::string(1, c)});
        at += Ms(behaviour_.splitMs);
    }
    return at;
}

void ReaderSimulator::SendDue(Clock::time_point now) {
    while (!out_.empty() && out_.front().due <= now) {
        Outgoing item = std::move(out_.front());
        out_.pop_front();
        WriteNow(item);
        if (!item.bytes.empty()) {
            item.due = now + kWriteRetry;
            out_.push_front(std::move(item));
            return;
        }
    }
}

void ReaderSimulator::WriteNow(Outgoing& item) {
    if (!pty_.IsOpen()) {
        item.bytes.clear();
        return;
    }
    if (!pty_.ClientPresent()) {
        log_.Detail("nobody has the port open; not sent: " + sim::EscapeBytes(item.bytes));
        item.bytes.clear();
        NoticeClient(false);
        return;
    }
    while (!item.bytes.empty()) {
        const ssize_t n = write(pty_.MasterFd(), item.bytes.data(), item.bytes.size());
        if (n > 0) {
            log_.Traffic("TX", std::string_view(item.bytes).substr(0, static_cast<std::size_t>(n)));
            item.bytes.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else {
            log_.Detail(std::string("write failed: ") + std::strerror(errno));
            item.bytes.clear();
        }
    }
}

int ReaderSimulator::PollTimeoutMs(Clock::time_point now) const {
    std::optional<Clock::time_point> wake;
    auto earlier = [&](Clock::time_point t) {
        if (!wake || t < *wake) wake = t;
    };
    if (!out_.empty()) earlier(out_.front().due);
    if (ackDeadline_) earlier(*ackDeadline_);
    if (autoReadAt_) earlier(*autoReadAt_);
    if (!pty_.IsOpen() && plugAt_) earlier(*plugAt_);
    if (pty_.IsOpen() && !clientPresent_) earlier(now + Ms(kClientCheckMs));
    if (!wake) return 1000;
    auto ms = std::chrono::duration_cast<Ms>(*wake - now).count();
    if (*wake > now && ms == 0) ms = 1;
    return static_cast<int>(std::clamp<long long>(ms, 0, 1000));
}

} // namespace velmora::readersim
