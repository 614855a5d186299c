#include "PortSimulator.h"

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

// While nobody holds the port open the pseudo-terminal reports a hang-up on
// every poll, so the loop looks for a newcomer at this pace instead.
constexpr int kClientCheckMs = 20;
// A partial write is continued after this pause.
constexpr Ms kWriteRetry{10};
// Bytes waiting to be sent, at most.
constexpr std::size_t kMaxQueued = 20000;

PortSimulator::Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<PortSimulator::Clock::duration>(std::chrono::duration<double>(s));
}

} // namespace

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

PortSimulator::PortSimulator(const std::string& linkPath, const std::string& controlPath,
                             const std::string& tagFile, bool verbose)
    : link_(linkPath), control_(controlPath), tags_(tagFile) {
    log_.SetVerbose(verbose);
}

void PortSimulator::StartUnplugged(std::optional<double> plugAfter) {
    startUnplugged_ = true;
    plugAfter_ = plugAfter;
}

int PortSimulator::Run() {
    if (!Start()) {
        Shutdown();
        return 1;
    }
    while (!stop_) {
        Clock::time_point now = Clock::now();
        if (!pty_.IsOpen() && plugAt_ && now >= *plugAt_) PlugIn();
        SendDue(now);
        OnTick(now);
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

bool PortSimulator::Start() {
    if (!InstallSignalPipe()) {
        log_.Info(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return false;
    }
    std::string problem;
    if (!link_.Claim(problem) || !control_.Open(problem)) {
        log_.Info(problem);
        return false;
    }
    if (!Announce()) return false;
    if (control_.Enabled()) log_.Info("control commands: echo \"help\" > " + control_.Path());
    if (startUnplugged_) {
        if (plugAfter_) plugAt_ = Clock::now() + Seconds(*plugAfter_);
        log_.Info("starting unplugged");
        return true;
    }
    return PlugIn();
}

void PortSimulator::Shutdown() {
    pty_.Close();
    link_.Remove();
    control_.Close();
    log_.Info("stopped");
}

bool PortSimulator::PlugIn() {
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
    OnPlugged();
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

void PortSimulator::Unplug(std::optional<double> backAfter) {
    out_.clear();
    OnUnplugged();
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

void PortSimulator::ServeSignals() {
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

void PortSimulator::ServeControl() {
    std::string problem;
    std::vector<std::string> commands = control_.ReadCommands(problem);
    if (!problem.empty()) log_.Info(problem);
    for (const auto& c : commands) {
        RunControlCommand(c);
        if (stop_) return;
    }
}

void PortSimulator::ServePort(short revents) {
    if (revents & POLLIN) {
        char buf[256];
        for (;;) {
            ssize_t n = read(pty_.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                Receive(std::string_view(buf, static_cast<std::size_t>(n)));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;  // EAGAIN: all taken; EIO: the program closed the port
        }
    }
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) NoticeClient(false);
}

void PortSimulator::NoticeClient(bool present) {
    if (present == clientPresent_) return;
    clientPresent_ = present;
    if (present) {
        log_.Info("the port was opened");
        OnClientOpened();
        return;
    }
    log_.Info("the port was closed");
    // What was on its way is lost with the closed port, as on a real line.
    pty_.DiscardUnreadOutput();
    out_.erase(std::remove_if(out_.begin(), out_.end(), [](const Outgoing& o) { return !o.unplug; }), out_.end());
    OnClientClosed();
}

PortSimulator::Clock::time_point PortSimulator::QueueEnd() const {
    const Clock::time_point now = Clock::now();
    return out_.empty() ? now : std::max(now, out_.back().due);
}

PortSimulator::Clock::time_point PortSimulator::Schedule(Clock::time_point at, const std::string& bytes) {
    if (bytes.empty()) return at;
    const int splitMs = SplitMs();
    if (splitMs <= 0) {
        out_.push_back({at, bytes, false, std::nullopt});
        return at;
    }
    for (char c : bytes) {
        out_.push_back({at, std::string(1, c), false, std::nullopt});
        at += Ms(splitMs);
    }
    return at;
}

void PortSimulator::ScheduleUnplug(Clock::time_point at, std::optional<double> backAfter) {
    out_.push_back({at, std::string(), true, backAfter});
}

bool PortSimulator::QueueFull() const { return out_.size() >= kMaxQueued; }

std::string PortSimulator::PortState() const {
    if (!pty_.IsOpen()) return "unplugged";
    return pty_.SlavePath() + (clientPresent_ ? " (open)" : " (not open)");
}

void PortSimulator::SendDue(Clock::time_point now) {
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

void PortSimulator::WriteNow(Outgoing& item) {
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

int PortSimulator::PollTimeoutMs(Clock::time_point now) const {
    std::optional<Clock::time_point> wake = NextTimer();
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
