#include "Simulator.h"

#include "Signals.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
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

// While nobody holds the port open the pseudo-terminal reports a hang-up on
// every poll, so the loop looks for a newcomer at this pace instead.
constexpr int kClientCheckMs = 20;
// After "unplug next" the echo gets this long to reach the program.
constexpr Ms kUnplugAfterEcho{100};
// A partial write is continued after this pause.
constexpr Ms kWriteRetry{10};
// Answers waiting to be sent, at most (a program that writes commands and
// never reads must not make the simulator grow without end).
constexpr std::size_t kMaxQueued = 20000;

Simulator::Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<Simulator::Clock::duration>(std::chrono::duration<double>(s));
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

Simulator::Simulator(const SimConfig& config, const Behaviour& behaviour)
    : config_(config),
      behaviour_(behaviour),
      link_(config.linkPath),
      control_(config.controlPath),
      tags_(config.tagFile) {
    log_.SetVerbose(config.verbose);
}

int Simulator::Run() {
    if (!Start()) {
        Shutdown();
        return 1;
    }
    while (!stop_) {
        Clock::time_point now = Clock::now();
        if (!pty_.IsOpen() && plugAt_ && now >= *plugAt_) PlugIn();
        SendDue(now);
        if (stop_) break;

        pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {SignalPipeFd(), POLLIN, 0};
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
        int r = poll(fds, n, PollTimeoutMs(Clock::now()));
        if (r < 0) {
            if (errno == EINTR) continue;
            log_.Info(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[0].revents) ServeSignals();
        if (controlIndex >= 0 && fds[controlIndex].revents) ServeControl();
        if (stop_) break;
        if (generation != generation_) continue;  // the port was closed or made anew meanwhile
        if (portIndex >= 0) {
            if (fds[portIndex].revents) ServePort(fds[portIndex].revents);
        } else if (pty_.IsOpen()) {
            NoticeClient(pty_.ClientPresent());
        }
    }
    Shutdown();
    return 0;
}

bool Simulator::Start() {
    if (!InstallSignalPipe()) {
        log_.Info(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return false;
    }
    std::string problem;
    if (!link_.Claim(problem) || !control_.Open(problem)) {
        log_.Info(problem);
        return false;
    }
    std::string dir = DirectoryOf(tags_.Path());
    if (access(dir.c_str(), W_OK) != 0) {
        log_.Info("cannot write the tag file " + tags_.Path() + ": " + std::strerror(errno));
        return false;
    }
    log_.Info("AEI tag programmer simulator: " + DescribeBehaviour(behaviour_));
    log_.Info("tag file " + tags_.Path());
    if (control_.Enabled()) log_.Info("control commands: echo \"help\" > " + control_.Path());
    if (config_.startUnplugged) {
        if (config_.plugAfter) plugAt_ = Clock::now() + Seconds(*config_.plugAfter);
        log_.Info("starting unplugged");
        return true;
    }
    return PlugIn();
}

void Simulator::Shutdown() {
    pty_.Close();
    link_.Remove();
    control_.Close();
    log_.Info("stopped");
}

bool Simulator::PlugIn() {
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
    commands_.Reset();
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

void Simulator::Unplug(std::optional<double> backAfter) {
    out_.clear();
    commands_.Reset();
    unplugNext_ = false;
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

void Simulator::ServeSignals() {
    for (;;) {
        SignalEvent e = TakeSignal();
        if (e == SignalEvent::None) return;
        if (e == SignalEvent::Stop) {
            log_.Info("stopping");
            stop_ = true;
        } else if (pty_.IsOpen()) {
            Unplug(std::nullopt);
        } else {
            PlugIn();
        }
    }
}

void Simulator::ServeControl() {
    std::string problem;
    std::vector<std::string> commands = control_.ReadCommands(problem);
    if (!problem.empty()) log_.Info(problem);
    for (const auto& c : commands) {
        RunControlCommand(c);
        if (stop_) return;
    }
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
        log_.Info(DescribeBehaviour(behaviour_) + "; last status " + protocol_.LastCode() + "; port " +
                  (pty_.IsOpen() ? pty_.SlavePath() + (clientPresent_ ? " (open)" : " (not open)") : "unplugged") +
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

void Simulator::ServePort(short revents) {
    if (revents & POLLIN) {
        char buf[256];
        for (;;) {
            ssize_t n = read(pty_.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                std::string_view chunk(buf, static_cast<std::size_t>(n));
                log_.Traffic("RX", chunk);
                for (const auto& command : commands_.Feed(chunk)) HandleCommand(command);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;  // EAGAIN: all taken; EIO: the program closed the port
        }
    }
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) NoticeClient(false);
}

void Simulator::NoticeClient(bool present) {
    if (present == clientPresent_) return;
    clientPresent_ = present;
    if (present) {
        log_.Info("the port was opened");
        return;
    }
    log_.Info("the port was closed");
    // What was on its way is lost with the closed port, as on a real line.
    pty_.DiscardUnreadOutput();
    out_.erase(std::remove_if(out_.begin(), out_.end(), [](const Outgoing& o) { return !o.unplug; }), out_.end());
    commands_.Reset();
}

void Simulator::HandleCommand(const std::string& command) {
    Clock::time_point at = Clock::now();
    if (!out_.empty()) at = std::max(at, out_.back().due);
    const std::string head = (behaviour_.garbage ? GarbageLine() : std::string()) + command + "\r\n";

    if (unplugNext_) {
        unplugNext_ = false;
        if (!behaviour_.silent) at = Schedule(at, head);
        out_.push_back({at + kUnplugAfterEcho, std::string(), true, unplugNextBackAfter_});
        log_.Info("command " + EscapeBytes(command) + ": pulling the cable");
        return;
    }
    if (behaviour_.silent) {
        log_.Detail("command " + EscapeBytes(command) + ": silent, no answer");
        return;
    }
    if (out_.size() >= kMaxQueued) {
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

Simulator::Clock::time_point Simulator::Schedule(Clock::time_point at, const std::string& bytes) {
    if (bytes.empty()) return at;
    if (behaviour_.splitMs <= 0) {
        out_.push_back({at, bytes, false, std::nullopt});
        return at;
    }
    for (char c : bytes) {
        out_.push_back({at, std::string(1, c), false, std::nullopt});
        at += Ms(behaviour_.splitMs);
    }
    return at;
}

void Simulator::SendDue(Clock::time_point now) {
    while (!out_.empty() && out_.front().due <= now) {
        Outgoing item = std::move(out_.front());
        out_.pop_front();
        if (item.unplug) {
            Unplug(item.backAfter);
            return;
        }
        WriteNow(item);
        if (!item.bytes.empty()) {  // the port is full: the rest goes a little later
            item.due = now + kWriteRetry;
            out_.push_front(std::move(item));
            return;
        }
    }
}

void Simulator::WriteNow(Outgoing& item) {
    if (!pty_.IsOpen()) {
        item.bytes.clear();
        return;
    }
    if (!pty_.ClientPresent()) {
        log_.Detail("nobody has the port open; not sent: " + EscapeBytes(item.bytes));
        item.bytes.clear();
        NoticeClient(false);
        return;
    }
    while (!item.bytes.empty()) {
        ssize_t n = write(pty_.MasterFd(), item.bytes.data(), item.bytes.size());
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

int Simulator::PollTimeoutMs(Clock::time_point now) const {
    std::optional<Clock::time_point> wake;
    auto earlier = [&](Clock::time_point t) {
        if (!wake || t < *wake) wake = t;
    };
    if (!out_.empty()) earlier(out_.front().due);
    if (!pty_.IsOpen() && plugAt_) earlier(*plugAt_);
    if (pty_.IsOpen() && !clientPresent_) earlier(now + Ms(kClientCheckMs));
    if (!wake) return 1000;
    auto ms = std::chrono::duration_cast<Ms>(*wake - now).count();
    if (*wake > now && ms == 0) ms = 1;  // round up, or the loop would spin until the due time
    return static_cast<int>(std::clamp<long long>(ms, 0, 1000));
}

} // namespace velmora::sim
