// CommPort on QSerialPort. Reads and writes never wait: arrived bytes are
// taken from Qt's buffer (polled without waiting when no event loop runs),
// writes are queued and pushed out without blocking. A read, write or
// resource error (an unplugged adapter, a closed pseudo-terminal) marks the
// port failed at once, stops Qt's notifications for it, and is reported by
// the next Read or Write exactly once.
#pragma once

#include "serial/CommPort.h"

#include <memory>
#include <string>

class QSerialPort;

namespace velmora {

class QtCommPort : public CommPort {
public:
    QtCommPort();
    ~QtCommPort() override;
    QtCommPort(const QtCommPort&) = delete;
    QtCommPort& operator=(const QtCommPort&) = delete;

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
    void NoteError(int qtError);
    void TakeError();

    std::unique_ptr<QSerialPort> port_;
    bool open_ = false;
    bool failed_ = false;
    uint32_t errorCode_ = 0;
    std::string errorText_;
};

class QtCommPortFactory : public CommPortFactory {
public:
    std::unique_ptr<CommPort> CreatePort() override { return std::make_unique<QtCommPort>(); }
};

} // namespace velmora
