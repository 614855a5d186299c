// Arbitrary bytes from a portable reader's port: through the receive ring,
// the STX/ETX and the tag-reading assemblers, AcceptReaderMessage (with its
// date check, ACK and NAK), the message queue and the link's answer handling
// in a probe, a parameter read and an RF check, in pieces over many ticks.
// Nothing may read or write outside a record, the ring's indexes stay in
// range, every kept text ends within its field, the queue's count matches
// its slots, and every exchange ends with its port closed.
#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReaderApi.h"
#include "serial/ReaderAssemblers.h"
#include "serial/ReaderMessages.h"
#include "serial/ReaderProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "serial/TagReadingCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace velmora;

// Hands out the fuzz input in pieces; a piece of size 0 fails the first read.
struct InputPort : CommPort {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    std::size_t piece = 1;
    bool open = false;
    bool Open(const std::string&) override { return open = true; }
    uint32_t LastErrorCode() const override { return 0; }
    std::string ErrorText() const override { return "Success"; }
    bool Configure(const PortMode&) override { return true; }
    bool IsOpen() const override { return open; }
    long Write(const uint8_t*, std::size_t n) override { return static_cast<long>(n); }
    CommReadResult Read(uint8_t* buffer, std::size_t max) override {
        CommReadResult r;
        if (at >= size) return r;
        if (piece == 0) {
            r.failed = true;
            piece = 7;
            return r;
        }
        std::size_t n = piece < max ? piece : max;
        if (n > size - at) n = size - at;
        std::memcpy(buffer, data + at, n);
        at += n;
        r.count = n;
        return r;
    }
    void DiscardInput() override {}
    void Close() override { open = false; }
};

// Every port opened gets the input from the start.
struct Factory : CommPortFactory {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t piece = 1;
    std::unique_ptr<CommPort> CreatePort() override {
        auto p = std::make_unique<InputPort>();
        p->data = data;
        p->size = size;
        p->piece = piece;
        return p;
    }
};

struct Quiet : Operator {
    std::vector<int> posted;
    MsgAnswer MessageBox(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgAnswer::No;
    }
    void ShowPrompt(const std::string&, int) override {}
    void PostNotification(int code) override { posted.push_back(code); }
};

struct StepClock : Clock {
    uint32_t seconds = 5000;
    uint32_t MonotonicSeconds() override { return seconds; }
    LocalDateTime Now() override { return {}; }
};

template <std::size_t N>
void MustEnd(const char (&text)[N]) {
    if (std::memchr(text, 0, N) == nullptr) std::abort();
}

void CheckInvariants(AEIData& data) {
    for (int p = 0; p < kCommPorts; ++p) {
        const CommLinkData r = GetCommLinkData(data, p);
        if (r.ringRead < 0 || r.ringRead >= kRingSize || r.ringWrite < 0 || r.ringWrite >= kRingSize)
            std::abort();
        MustEnd(r.lastCommand);
        MustEnd(r.reader.pendingData);
        MustEnd(GetCommStatusData(data, p).statusText);
    }
    int used = 0;
    for (int s = 0; s < kMessageSlots; ++s) {
        const CommMessage m = GetMessageQue(data, s);
        used += m.inUse == 1;
        MustEnd(m.text);
    }
    if (used != GetMessageCount(data)) std::abort();
    const ReaderParameters& p = data.serial.reader.parameters;
    MustEnd(p.userIdFirst);
    MustEnd(p.userIdSecond);
    MustEnd(p.dateTime);
    MustEnd(p.battery);
    MustEnd(p.alarmLevel1);
    MustEnd(p.alarmLevel2);
    MustEnd(p.alarmLevel3);
    MustEnd(p.firmwareVersion);
}

// A railcar just programmed, for the readings to be compared with.
void ProgrammedRailcar(AEIData& data) {
    LastTagRecord t;
    t.formatIndex = 0;
    const char* texts[] = {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"};
    for (int row = 0; row < 8; ++row) t.SetFieldText(row, texts[row]);
    t.SetFrameText("9A0181C000AA981900000000000033");
    data.UpdateLastTagRecord(t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = bytes[0];
    Factory factory;
    factory.piece = bytes[1] % 101;
    factory.data = bytes + 2;
    factory.size = size - 2;
    const std::string_view input(reinterpret_cast<const char*>(factory.data), factory.size);

    // The assemblers on their own, over the raw bytes in pieces.
    {
        CommLinkData frames, lines;
        std::string text;
        for (std::size_t i = 0; i < factory.size; i += 41) {
            const std::size_t n = factory.size - i < 41 ? factory.size - i : 41;
            AppendToRing(frames, factory.data + i, n);
            AppendToRing(lines, factory.data + i, n);
            while (TakeReaderFrame(frames, text))
                if (text.size() > 99) std::abort();
            while (TakeTagReadingLine(lines, text))
                if (text.size() > 99) std::abort();
            if (ReaderRingUnconsumed(frames) > kRingSize - 1 || ReaderRingUnconsumed(lines) > kRingSize - 1)
                std::abort();
        }
    }

    Quiet op;
    StepClock clock;
    AEIData data(op, clock);
    SettingsBlock settings = data.GetSettings();
    settings.logFileOn = 0;
    settings.feetInches = mode & 0x40 ? 1 : 0;
    data.UpdateSettings(settings);
    CommLog log(data);
    SerialPorts ports(factory, log, [](int p) { return p < 2 ? std::string("in") : std::string(); });
    int completions = 0;
    data.serial.programmerCompletion = [&] { ++completions; };
    ResetCommStatus(data, ports);
    ProgrammedRailcar(data);

    // The input as one line and as frame texts, straight into the comparison
    // and AcceptReaderMessage (on an open port, so replies are written).
    (void)CheckTagReading(data, input.substr(0, 120));
    if (OpenCommPort(data, ports, 0, kReaderMode, 0, kDeviceReader) != kOpenReady) std::abort();
    for (std::size_t i = 0; i < input.size(); i += 29) AcceptReaderMessage(data, ports, 0, input.substr(i, 99));
    (void)ParseReaderDateTime(input, mode % 8);
    (void)ParseReaderParameters(input, 0);
    CheckInvariants(data);
    CloseCommPort(data, ports, 0);
    while (GetMessageCount(data) > 0) {
        const int slot = FindNextMessage(data, 0);
        if (slot < 0) break;
        RemoveMessage(data, slot);
    }

    // The link in the chosen exchange.
    switch (mode % 4) {
    case 0: SearchForReader(data); break;
    case 1: // the parameter read of an assigned port
        settings.readerPort = 1;
        data.UpdateSettings(settings);
        ReadReaderParameters(data);
        break;
    case 2: ReadReaderParameters(data); break; // no port: a search first
    default: {                                 // an RF check
        CommLinkData r = GetCommLinkData(data, 1);
        r.reader.rfReadRequested = 1;
        UpdateCommLinkData(data, 1, r);
        ProgrammerState s = GetProgrammerState(data);
        s.operationState = kOpRfCheck;
        SetProgrammerState(data, s);
        break;
    }
    }

    const std::size_t piece = factory.piece == 0 ? 1 : factory.piece;
    const int inputTicks = static_cast<int>(factory.size / piece) + 3;
    const int ticks = inputTicks + 25;
    for (int t = 0; t < ticks; ++t) {
        if (t < inputTicks) {
            if (t % 5 == 4) ++clock.seconds;
        } else {
            clock.seconds += 3;
        }
        if (t == ticks - 3 && (mode % 4) == 3) CancelRfReading(data);
        StepReaderLink(data, ports);
        std::vector<int> posted;
        posted.swap(op.posted);
        for (int code : posted) HandleReaderNotification(data, code);
        CheckInvariants(data);
    }
    // Every exchange has ended: the RF check by its reading or the
    // cancellation, the others by their answers or time-outs.
    for (int p = 0; p < kCommPorts; ++p) {
        const CommLinkData r = GetCommLinkData(data, p);
        if (r.deviceKind == kDeviceReader && r.reader.probeRequested == 0 && r.reader.rfReadRequested == 0 &&
            r.reader.pendingCommand == -1)
            std::abort();
    }
    (void)completions;
    return 0;
}
