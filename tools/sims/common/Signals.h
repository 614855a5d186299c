// Signals turned into bytes on a pipe the main loop waits on, so they are
// handled between two steps of the loop and never inside one.
//   SIGTERM, SIGINT, SIGHUP: stop (the link and FIFO are removed)
//   SIGUSR1: unplug, or plug back in when unplugged
#pragma once

namespace velmora::sim {

enum class SignalEvent { None, Stop, TogglePlug };

// Installs the handlers; false when the pipe cannot be made.
bool InstallSignalPipe();
int SignalPipeFd();
// The next signal that arrived, or None.
SignalEvent TakeSignal();

} // namespace velmora::sim
