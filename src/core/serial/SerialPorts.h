// The four port handles the frame owns, and the port operations shared by
// the programmer and the portable reader links: open, close, start a read,
// send a text, poll a read into the receive ring. Nothing here waits for a
// device.
#pragma once

#include "serial/CommPort.h"
#include "serial/CommRecords.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;
class CommLog;

inline constexpr std::size_t kPortBufferSize = 100;

inline constexpr const char* kProgrammerWord = "programmer";
inline constexpr const char* kReaderWord = "portable";
inline constexpr const char* kProgrammerMode = "96,n,8,1";
inline constexpr const char* kReaderMode = "19,n,8,1";

// OpenCommPort results.
inline constexpr int kOpenFailed = 0;
inline constexpr int kOpenNotSerial = 1;
inline constexpr int kOpenReady = 2;

struct PortResources {
    std::unique_ptr<CommPort> handle; // null or not open = the invalid handle
    std::string deviceName;           // "\\.\COM1".."\\.\COM4"
    std::string osDevice;             // the platform device it was opened as
    uint8_t readBuffer[kPortBufferSize] = {};
    std::string writeBuffer;
    uint32_t bytesRead = 0;
    uint32_t bytesWritten = 0;
    // Why the device may not have answered, for failure texts: the handle
    // was closed after a device error (cleared by the next good open), and
    // the error text of the last open that failed (empty after a good one).
    bool lost = false;
    std::string openError;
};

class SerialPorts {
public:
    SerialPorts(CommPortFactory& factory, CommLog& log, PortDeviceMap map = DefaultPortDevice);
    SerialPorts(const SerialPorts&) = delete;
    SerialPorts& operator=(const SerialPorts&) = delete;

    CommLog& Log() { return log_; }
    CommPortFactory& Factory() { return factory_; }
    // The platform device behind port n, from the port map.
    std::string PortDevice(int port) const { return map_ ? map_(port) : std::string(); }
    void SetPortMap(PortDeviceMap map) { map_ = std::move(map); }

    // Resources of a valid port (0..3); callers check the index.
    PortResources& Resources(int port) { return res_[static_cast<std::size_t>(port)]; }
    // True when the port's handle is open.
    bool IsOpen(int port) const;

private:
    CommPortFactory& factory_;
    CommLog& log_;
    PortDeviceMap map_;
    std::array<PortResources, kCommPorts> res_;
};

// The device word of a device kind ("programmer", "portable", "").
const char* DeviceWord(int32_t deviceKind);

// Run when the frame is built and again on the first tick: clears the reader
// busy flag, empties each port's status text, sets its device type
// "unknown", stores its device name, closes any handle still open, and in
// each link record sets awaited response -1, new messages 0, last command
// empty and the reader fields to their start values.
void ResetCommStatus(AEIData& data, SerialPorts& ports);

// 0 = could not be opened (the status text holds the system's message),
// 1 = opened but not a plain serial port (modem, fax, unknown; the handle is
// closed again), 2 = ready for the device.
int OpenCommPort(AEIData& data, SerialPorts& ports, int port, std::string_view settings,
                 int keepTimeouts, int32_t deviceKind);

// Discards input, closes the handle and, when the port was open for a device,
// resets its link record.
void CloseCommPort(AEIData& data, SerialPorts& ports, int port);

// Issues a read: the port's read pending becomes 1.
void StartCommRead(AEIData& data, SerialPorts& ports, int port);

// Logs "T-- " and the text, writes the text and keeps it as the last command.
void SendCommText(AEIData& data, SerialPorts& ports, int port, std::string_view text,
                  std::string_view deviceWord);

// Writes raw bytes (which may hold NULs) without logging or keeping them.
void WriteCommBytes(AEIData& data, SerialPorts& ports, int port, const uint8_t* bytes,
                    std::size_t count);

// Drops what the driver has received and not yet handed over.
void DiscardCommInput(SerialPorts& ports, int port);

// True when the port is open for a device but its handle was closed after a
// device error (a pulled cable, a hang-up).
bool CommPortLost(AEIData& data, SerialPorts& ports, int port);

// Opens again a port lost to a device error, with its device's line
// settings, keeping the exchange under way (awaited response, deadline,
// retries, read pending); the receive ring starts empty as after any open.
// True when the port is usable: it was not lost, or it opened again. A port
// that will not open stays lost.
bool ReopenLostPort(AEIData& data, SerialPorts& ports, int port);

// Drops the bytes received and not consumed before a programmer command is
// sent: the unconsumed bytes of the ring (as the programmer's line assembler
// counts them) and what the driver holds. When there were
// any, one line "E-- dropped N stale bytes" is logged. A device error met
// while taking them closes the handle as a failed read does.
void DropStaleInput(AEIData& data, SerialPorts& ports, int port);

// Why a device on the port did not answer, in words: "device disconnected"
// when the port was lost to a device error and has not opened since, the
// system's text when the last open failed, else "no answer".
std::string FailureCause(SerialPorts& ports, int port);

// A frame assembler: cuts complete frames out of the port's ring, logs and
// queues them, and returns the number of messages queued.
using FrameAssembler = std::function<int(AEIData& data, SerialPorts& ports, int port)>;

// Polls the read of a port open for `deviceKind` while a response is awaited
// and a read is pending: takes the bytes that arrived (at most 100), appends
// them to the ring, runs the assembler, sets new messages when it queued any,
// and starts the next read. A read or resource error closes the handle once
// (logged, status text = the system's message) and leaves the link record to
// the device link's time-outs.
void PollCommRead(AEIData& data, SerialPorts& ports, int port, int32_t deviceKind,
                  const FrameAssembler& assembler);

} // namespace velmora
