#include "Signals.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::sim {

namespace {

// The write end must be reachable from the signal handler.
int g_pipe[2] = {-1, -1};

extern "C" void OnSignal(int signo) {
    int saved = errno;
    unsigned char b = static_cast<unsigned char>(signo);
    if (g_pipe[1] >= 0) {
        ssize_t ignored = write(g_pipe[1], &b, 1);
        (void)ignored;
    }
    errno = saved;
}

} // namespace

bool InstallSignalPipe() {
    if (pipe(g_pipe) != 0) return false;
    for (int fd : g_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaction(s, &sa, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
    return true;
}

int SignalPipeFd() { return g_pipe[0]; }

SignalEvent TakeSignal() {
    unsigned char b = 0;
    if (read(g_pipe[0], &b, 1) != 1) return SignalEvent::None;
    if (b == SIGUSR1) return SignalEvent::TogglePlug;
    return SignalEvent::Stop;
}

} // namespace velmora::sim
