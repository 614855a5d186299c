// The run-time control channel: a named pipe (FIFO) the technician writes
// commands into, e.g.  echo "silent on" > /tmp/programmer.ctl
#pragma once

#include <string>
#include <vector>

namespace velmora::sim {

class ControlFifo {
public:
    explicit ControlFifo(std::string path) : path_(std::move(path)) {}
    ~ControlFifo() { Close(); }
    ControlFifo(const ControlFifo&) = delete;
    ControlFifo& operator=(const ControlFifo&) = delete;

    bool Enabled() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    // Makes the FIFO (or reuses an existing one) and opens it for reading.
    bool Open(std::string& problem);
    // Removes the FIFO when this run made it.
    void Close();
    int Fd() const { return readFd_; }

    // Takes what has been written and returns the complete commands in it;
    // an unfinished last line waits for the rest.
    std::vector<std::string> ReadCommands(std::string& problem);

private:
    std::string path_;
    int readFd_ = -1;
    int keepFd_ = -1;  // our own writer, so the pipe never reports end of file
    bool made_ = false;
    std::string pending_;
};

} // namespace velmora::sim
