// Messages of a simulator on standard error: events always,
// the bytes it receives and sends only when verbose.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace velmora::sim {

// Bytes as readable text: printable ASCII as is, CR as <CR>, LF as <LF>,
// everything else as <xNN>.
std::string EscapeBytes(std::string_view bytes);

class Logger {
public:
    Logger();
    void SetVerbose(bool on) { verbose_ = on; }
    bool Verbose() const { return verbose_; }

    // An event the technician should see (start, plug, control commands, errors).
    void Info(std::string_view text) const;
    // Traffic on the port, shown only when verbose: direction is "RX" or "TX".
    void Traffic(std::string_view direction, std::string_view bytes) const;
    // Other detail shown only when verbose.
    void Detail(std::string_view text) const;

private:
    void Write(std::string_view text) const;
    std::chrono::steady_clock::time_point start_;
    bool verbose_ = false;
};

} // namespace velmora::sim
