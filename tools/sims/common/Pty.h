// The simulated serial port: the master side of a pseudo-terminal whose
// slave device (/dev/pts/N) the program under test opens like a COM port,
// and an optional fixed symbolic link to that device.
#pragma once

#include <string>

namespace velmora::sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates a new pair with the slave in raw mode (no echo, no line
    // editing, no CR/LF translation). The simulator keeps only the master.
    bool Open(std::string& problem);
    // Closing the master makes the device node vanish: an unplugged cable.
    void Close();

    bool IsOpen() const { return master_ >= 0; }
    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // True while some program holds the slave device open.
    bool ClientPresent() const;
    // Drops bytes sent to the slave that nobody read: a real line loses
    // what arrives while the port is closed.
    void DiscardUnreadOutput() const;

private:
    int master_ = -1;
    std::string slavePath_;
};

// A symbolic link at a fixed place (for VELMORA_COM1=/tmp/x) that follows
// the current slave device, and disappears while the port is unplugged.
class PortLink {
public:
    explicit PortLink(std::string path) : path_(std::move(path)) {}
    ~PortLink() { Remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    bool Enabled() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    // Takes the path over, removing a link left by an earlier run; refuses a
    // path that exists and is not a symbolic link.
    bool Claim(std::string& problem);
    bool PointTo(const std::string& target, std::string& problem);
    // Removes the link (while unplugged, and at exit).
    void Remove();

private:
    bool IsLinkOrMissing(std::string& problem) const;
    std::string path_;
    bool owned_ = false;
};

} // namespace velmora::sim
