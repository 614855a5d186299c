// A serial port as the links see it: open a device, set its line from a mode
// string such as "96,n,8,1", write bytes, take the bytes that have arrived
// without waiting, discard input, close, and the operating system's text for
// the last error. The program and velmora-tool use PosixCommPort (a terminal
// device); tests use fakes or PosixCommPort on pseudo-terminals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kCommPorts = 4;

inline bool IsValidPort(int port) { return port >= 0 && port < kCommPorts; }

// Line settings parsed from a mode string "baud,parity,data,stop". The baud
// field takes the two-digit short forms ("11" 110, "15" 150, "30" 300,
// "60" 600, "12" 1200, "24" 2400, "48" 4800, "96" 9600, "19" 19200) or a
// full rate; parity is n, e, o, m or s; data bits 5 to 8; stop bits 1, 1.5
// or 2.
enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct PortMode {
    int32_t baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    bool operator==(const PortMode&) const = default;
};

std::optional<PortMode> ParseModeString(std::string_view mode);

// What the device behind an open handle is.
enum class CommDeviceType { Serial, Modem, Fax, Unknown };

struct CommReadResult {
    std::size_t count = 0; // bytes copied into the buffer
    bool failed = false;   // a read or resource error: the device is gone
};

class CommPort {
public:
    virtual ~CommPort() = default;

    // Opens the device for reading and writing, exclusively, only if it
    // exists. LastErrorCode/ErrorText then describe the outcome in the
    // operating system's own words (its success text after a good open).
    virtual bool Open(const std::string& device) = 0;
    virtual uint32_t LastErrorCode() const = 0;
    virtual std::string ErrorText() const = 0;
    virtual CommDeviceType DeviceType() const { return CommDeviceType::Serial; }
    // Sets baud rate, parity, data and stop bits; false when the device
    // refuses them.
    virtual bool Configure(const PortMode& mode) = 0;
    virtual bool IsOpen() const = 0;
    // Queues the bytes for sending without waiting; the count queued, or -1
    // when the device failed.
    virtual long Write(const uint8_t* bytes, std::size_t count) = 0;
    // Takes up to `max` bytes that have already arrived; never waits.
    virtual CommReadResult Read(uint8_t* buffer, std::size_t max) = 0;
    virtual void DiscardInput() = 0;
    virtual void Close() = 0;
};

class CommPortFactory {
public:
    virtual ~CommPortFactory() = default;
    virtual std::unique_ptr<CommPort> CreatePort() = 0;
};

// The name the system shows for port n (0..3): "\\.\COM%d" with n plus one.
std::string DisplayDeviceName(int port);

// The port map: which platform device port n (0..3) stands for.
using PortDeviceMap = std::function<std::string(int port)>;

// VELMORA_COM1..VELMORA_COM4 from the environment when set and not empty,
// else /dev/ttyS0../dev/ttyS3 (COM1..COM4 on Windows).
std::string DefaultPortDevice(int port);

// A port map that gives `device` for `port` and no device for the others.
PortDeviceMap SinglePortMap(int port, std::string device);

// "COM1".."COM4" (any case) -> 0..3; nullopt for anything else.
std::optional<int> ParseComName(std::string_view name);

} // namespace velmora
