#include "serial/SerialPorts.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"

namespace velmora {

namespace {

// Closes a handle that failed under us, once, and says so in the log and in
// the port's status text. The link record is left alone: the device link's
// time-out ends the exchange and its probes find the device again.
void DropFailedHandle(AEIData& data, SerialPorts& ports, int port) {
    PortResources& r = ports.Resources(port);
    if (!r.handle || !r.handle->IsOpen()) return;
    const std::string why = r.handle->ErrorText();
    r.handle->Close();
    r.lost = true;
    CommStatusData st = GetCommStatusData(data, port);
    SetText(st.statusText, why);
    UpdateCommStatusData(data, port, st);
    const CommLinkData link = GetCommLinkData(data, port);
    ports.Log().LogCommMessage(port, "E-- port closed after a device error: " + why,
                               DeviceWord(link.deviceKind));
}

// Bytes added to the ring between two runs of the frame assembler.
constexpr std::size_t kRingPiece = 50;

void ResetLinkRecord(CommLinkData& r) {
    r.deviceKind = kDeviceNone;
    r.readPending = 0;
    r.retries = 0;
    r.probeRequested = 0;
    r.probing = 0;
    r.deadline = 0;
    r.newMessages = 0;
    r.ringRead = 0;
    r.ringWrite = 0;
    r.awaitedResponse = kAwaitNone;
    SetText(r.lastCommand, "");
    r.reader.probeRequested = 0;
    r.reader.rfReadRequested = 0;
    r.reader.rfReadCancelled = 0;
}

} // namespace

SerialPorts::SerialPorts(CommPortFactory& factory, CommLog& log, PortDeviceMap map)
    : factory_(factory), log_(log), map_(std::move(map)) {
    for (int p = 0; p < kCommPorts; ++p) Resources(p).deviceName = DisplayDeviceName(p);
}

bool SerialPorts::IsOpen(int port) const {
    if (!IsValidPort(port)) return false;
    const PortResources& r = res_[static_cast<std::size_t>(port)];
    return r.handle && r.handle->IsOpen();
}

const char* DeviceWord(int32_t deviceKind) {
    switch (deviceKind) {
    case kDeviceProgrammer: return kProgrammerWord;
    case kDeviceReader: return kReaderWord;
    default: return "";
    }
}

void ResetCommStatus(AEIData& data, SerialPorts& ports) {
    data.serial.readerBusy = 0;
    for (int p = 0; p < kCommPorts; ++p) {
        CommStatusData st = GetCommStatusData(data, p);
        SetText(st.statusText, "");
        SetText(st.deviceType, "unknown");
        UpdateCommStatusData(data, p, st);

        PortResources& r = ports.Resources(p);
        r.deviceName = DisplayDeviceName(p);
        if (r.handle && r.handle->IsOpen()) r.handle->Close();
        r.handle.reset();

        CommLinkData link = GetCommLinkData(data, p);
        link.awaitedResponse = kAwaitNone;
        link.newMessages = 0;
        SetText(link.lastCommand, "");
        link.reader = ReaderLinkFields{};
        UpdateCommLinkData(data, p, link);
    }
}

int OpenCommPort(AEIData& data, SerialPorts& ports, int port, std::string_view settings,
                 int keepTimeouts, int32_t deviceKind) {
    (void)keepTimeouts; // reads never wait, so the driver's time-outs play no part
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port); // raises the port index trap
        return kOpenFailed;
    }
    PortResources& r = ports.Resources(port);
    if (r.handle && r.handle->IsOpen()) r.handle->Close();
    r.handle = ports.Factory().CreatePort();
    r.osDevice = ports.PortDevice(port);

    CommLinkData link = GetCommLinkData(data, port);
    CommStatusData st = GetCommStatusData(data, port);

    const bool opened = r.handle && r.handle->Open(r.osDevice);
    link.lastOsError = r.handle ? r.handle->LastErrorCode() : 0;
    SetText(st.statusText, r.handle ? r.handle->ErrorText() : std::string("No port available"));
    if (!opened) {
        r.openError = r.handle ? r.handle->ErrorText() : std::string("No port available");
        if (r.handle) r.handle.reset();
        UpdateCommLinkData(data, port, link);
        UpdateCommStatusData(data, port, st);
        return kOpenFailed;
    }

    switch (r.handle->DeviceType()) {
    case CommDeviceType::Serial: SetText(st.deviceType, "RS-232"); break;
    case CommDeviceType::Modem: SetText(st.deviceType, "Modem"); break;
    case CommDeviceType::Fax: SetText(st.deviceType, "Fax"); break;
    default: SetText(st.deviceType, "unknown"); break;
    }
    if (r.handle->DeviceType() != CommDeviceType::Serial) {
        // Not a port for our devices: do not keep it.
        r.handle->Close();
        r.handle.reset();
        UpdateCommLinkData(data, port, link);
        UpdateCommStatusData(data, port, st);
        return kOpenNotSerial;
    }

    const auto mode = ParseModeString(settings);
    if (!mode || !r.handle->Configure(*mode)) {
        SetText(st.statusText, mode ? r.handle->ErrorText()
                                    : "Invalid port settings \"" + std::string(settings) + "\"");
        r.openError = GetText(st.statusText);
        r.handle->Close();
        r.handle.reset();
        UpdateCommLinkData(data, port, link);
        UpdateCommStatusData(data, port, st);
        return kOpenFailed;
    }

    link.awaitedResponse = kAwaitNone;
    link.ringRead = 0;
    link.ringWrite = 0;
    link.deviceKind = deviceKind;
    link.deadline = 0;
    link.retries = 0;
    link.readPending = 0;
    link.probing = 0;
    link.newMessages = 0;
    SetText(link.lastCommand, "");
    link.responseLineCount = 0;
    r.bytesRead = 0;
    r.bytesWritten = 0;
    r.lost = false;
    r.openError.clear();
    UpdateCommLinkData(data, port, link);
    UpdateCommStatusData(data, port, st);
    return kOpenReady;
}

void CloseCommPort(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port);
        return;
    }
    PortResources& r = ports.Resources(port);
    CommLinkData link = GetCommLinkData(data, port);
    const bool open = r.handle && r.handle->IsOpen();
    if (!open && link.deviceKind == kDeviceNone) return;
    if (open) {
        r.handle->DiscardInput();
        r.handle->Close();
    }
    r.handle.reset();
    if (link.deviceKind != kDeviceNone) {
        ResetLinkRecord(link);
        r.bytesRead = 0;
        r.bytesWritten = 0;
        UpdateCommLinkData(data, port, link);
    }
}

void StartCommRead(AEIData& data, SerialPorts& ports, int port) {
    (void)ports;
    CommLinkData link = GetCommLinkData(data, port);
    if (!IsValidPort(port)) return;
    link.readPending = 1;
    UpdateCommLinkData(data, port, link);
}

void SendCommText(AEIData& data, SerialPorts& ports, int port, std::string_view text,
                  std::string_view deviceWord) {
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port);
        return;
    }
    std::string logged = "T-- ";
    logged.append(text.data(), text.size());
    logged += '\n';
    ports.Log().LogCommMessage(port, logged, deviceWord);

    PortResources& r = ports.Resources(port);
    r.writeBuffer.assign(text.data(), text.size());
    r.bytesWritten = 0;
    if (r.handle && r.handle->IsOpen()) {
        const long n = r.handle->Write(reinterpret_cast<const uint8_t*>(r.writeBuffer.data()),
                                       r.writeBuffer.size());
        if (n < 0) DropFailedHandle(data, ports, port);
        else r.bytesWritten = static_cast<uint32_t>(n);
    }

    CommLinkData link = GetCommLinkData(data, port);
    SetText(link.lastCommand, text);
    UpdateCommLinkData(data, port, link);
}

void WriteCommBytes(AEIData& data, SerialPorts& ports, int port, const uint8_t* bytes,
                    std::size_t count) {
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port);
        return;
    }
    PortResources& r = ports.Resources(port);
    r.bytesWritten = 0;
    if (!r.handle || !r.handle->IsOpen()) return;
    const long n = r.handle->Write(bytes, count);
    if (n < 0) DropFailedHandle(data, ports, port);
    else r.bytesWritten = static_cast<uint32_t>(n);
}

void DiscardCommInput(SerialPorts& ports, int port) {
    if (!ports.IsOpen(port)) return;
    ports.Resources(port).handle->DiscardInput();
}

bool CommPortLost(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return false;
    return GetCommLinkData(data, port).deviceKind != kDeviceNone && !ports.IsOpen(port);
}

bool ReopenLostPort(AEIData& data, SerialPorts& ports, int port) {
    if (!CommPortLost(data, ports, port)) return IsValidPort(port);
    const CommLinkData before = GetCommLinkData(data, port);
    const char* mode = before.deviceKind == kDeviceReader ? kReaderMode : kProgrammerMode;
    const int opened = OpenCommPort(data, ports, port, mode, 0, before.deviceKind);
    CommLinkData after = before;
    after.lastOsError = GetCommLinkData(data, port).lastOsError;
    if (opened == kOpenReady) {
        after.ringRead = 0;
        after.ringWrite = 0;
        after.newMessages = 0;
    }
    UpdateCommLinkData(data, port, after);
    return opened == kOpenReady;
}

void DropStaleInput(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return;
    CommLinkData link = GetCommLinkData(data, port);
    SanitizeRing(link);
    // With the read index at the write index the byte the line assembler
    // skips (the one after a carriage return, or the first after the open)
    // has not come yet: the first byte the driver holds is that one.
    const bool slotOpen = link.ringRead == link.ringWrite;
    const std::size_t inRing = static_cast<std::size_t>(RingUnconsumed(link));
    std::size_t inDriver = 0;
    PortResources& r = ports.Resources(port);
    if (r.handle && r.handle->IsOpen()) {
        // Count what the driver holds, then let it go. The rounds are bounded:
        // a device that keeps sending cannot hold the tick.
        uint8_t scratch[kPortBufferSize];
        for (int round = 0; round < 8; ++round) {
            const CommReadResult got = r.handle->Read(scratch, sizeof scratch);
            if (got.failed) {
                DropFailedHandle(data, ports, port);
                break;
            }
            if (got.count == 0) break;
            inDriver += got.count > sizeof scratch ? sizeof scratch : got.count;
        }
        if (r.handle && r.handle->IsOpen()) r.handle->DiscardInput();
    }
    if (inRing == 0 && inDriver == 0) return;
    // The last byte received becomes the consumed one: the next byte starts
    // a line.
    link.ringRead = link.ringWrite == 0 ? kRingSize - 1 : link.ringWrite - 1;
    UpdateCommLinkData(data, port, link);
    const std::size_t dropped = inRing + inDriver - (slotOpen && inDriver > 0 ? 1 : 0);
    if (dropped > 0)
        ports.Log().LogCommMessage(port, "E-- dropped " + std::to_string(dropped) + " stale bytes",
                                   DeviceWord(link.deviceKind));
}

std::string FailureCause(SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return "no answer";
    const PortResources& r = ports.Resources(port);
    if (r.lost) return "device disconnected";
    if (!r.openError.empty()) return r.openError;
    return "no answer";
}

void PollCommRead(AEIData& data, SerialPorts& ports, int port, int32_t deviceKind,
                  const FrameAssembler& assembler) {
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port);
        return;
    }
    CommLinkData link = GetCommLinkData(data, port);
    if (link.deviceKind != deviceKind || link.awaitedResponse == kAwaitNone || link.readPending != 1)
        return;
    PortResources& r = ports.Resources(port);
    if (!r.handle || !r.handle->IsOpen()) return; // closed after a failure: nothing arrives

    const CommReadResult got = r.handle->Read(r.readBuffer, kPortBufferSize);
    if (got.failed) {
        DropFailedHandle(data, ports, port);
        return;
    }
    const std::size_t n = got.count > kPortBufferSize ? kPortBufferSize : got.count;
    r.bytesRead = static_cast<uint32_t>(n);
    if (n == 0) {
        StartCommRead(data, ports, port);
        return;
    }
    // The bytes go to the ring in pieces, each cut up before the next is
    // added, so that a frame being assembled is never pushed out of the ring
    // by the rest of the same read.
    int queued = 0;
    for (std::size_t at = 0; at < n; at += kRingPiece) {
        link = GetCommLinkData(data, port);
        AppendToRing(link, r.readBuffer + at, n - at < kRingPiece ? n - at : kRingPiece);
        UpdateCommLinkData(data, port, link);
        queued += assembler ? assembler(data, ports, port) : 0;
        if (!r.handle || !r.handle->IsOpen()) break;
    }
    if (queued > 0) {
        link = GetCommLinkData(data, port);
        link.newMessages = 1;
        UpdateCommLinkData(data, port, link);
    }
    StartCommRead(data, ports, port);
}

} // namespace velmora
