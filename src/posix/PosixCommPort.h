// CommPort on a POSIX terminal device (a serial port, a USB adapter, a
// pseudo-terminal). The port is opened without blocking and without becoming
// the controlling terminal, held exclusively (TIOCEXCL and an flock, so two
// programs never share it), and set to raw mode at the mode string's line
// settings. Reads take what the driver holds without waiting; writes that
// the driver cannot take at once are kept and pushed out on later calls.
// A hang-up or a read or write error closes the device at once, releasing
// it, and is reported as "device disconnected"; the port then stays marked
// open until Close so the serial layer sees the failure exactly once.
#pragma once

#include "serial/CommPort.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The refusal text when another program holds the port.
inline constexpr const char* kPortInUseText = "Port is in use by another program";
// The text for a hang-up or a read or write error on an open port.
inline constexpr const char* kDeviceDisconnectedText = "device disconnected";
// The text for a path that is not a terminal device (a regular file, a pipe).
inline constexpr const char* kNotSerialPortText = "Not a serial port";

class PosixCommPort : public CommPort {
public:
    PosixCommPort() = default;
    ~PosixCommPort() override;
    PosixCommPort(const PosixCommPort&) = delete;
    PosixCommPort& operator=(const PosixCommPort&) = delete;

    bool Open(const std::string& device) override;
    uint32_t LastErrorCode() const override { return errorCode_; }
    std::string ErrorText() const override { return errorText_; }
    CommDeviceType DeviceType() const override { return CommDeviceType::Serial; }
    bool Configure(const PortMode& mode) override;
    bool IsOpen() const override { return open_; }
    long Write(const uint8_t* bytes, std::size_t count) override;
    CommReadResult Read(uint8_t* buffer, std::size_t max) override;
    void DiscardInput() override;
    void Close() override;

private:
    void SetError(int code, std::string text);
    void Fail(int code);
    void ReleaseDevice();
    bool FlushPending();

    int fd_ = -1;
    bool open_ = false;
    bool failed_ = false;
    uint32_t errorCode_ = 0;
    std::string errorText_;
    std::vector<uint8_t> pending_; // written bytes the driver has not taken yet
};

class PosixCommPortFactory : public CommPortFactory {
public:
    std::unique_ptr<CommPort> CreatePort() override { return std::make_unique<PosixCommPort>(); }
};

} // namespace velmora
