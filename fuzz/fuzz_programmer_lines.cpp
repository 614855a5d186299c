// Arbitrary bytes from a programmer port: through the receive ring, the line
// assembler, the message queue and the link's answer handling, in pieces
// over many ticks and in every operation state. Nothing may read or write
// outside a record, the ring's indexes stay in range, the queue's count
// matches its slots, every kept text ends within its field, and the link
// always comes back to a valid state.
#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace velmora;

// Hands out the fuzz input in pieces; a piece of size 0 fails the read.
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

struct Factory : CommPortFactory {
    InputPort* last = nullptr;
    const uint8_t* data;
    std::size_t size;
    std::size_t piece;
    std::unique_ptr<CommPort> CreatePort() override {
        auto p = std::make_unique<InputPort>();
        p->data = data;
        p->size = size;
        p->piece = piece;
        last = p.get();
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
        MustEnd(GetCommStatusData(data, p).statusText);
    }
    int used = 0;
    for (int s = 0; s < kMessageSlots; ++s) {
        const CommMessage m = GetMessageQue(data, s);
        used += m.inUse == 1;
        MustEnd(m.text);
    }
    if (used != GetMessageCount(data)) std::abort();
    const ProgrammerState s = GetProgrammerState(data);
    MustEnd(s.model);
    MustEnd(s.version);
    MustEnd(s.lastError);
    MustEnd(s.response);
    if (data.GetSettings().programmerModel > 2) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = bytes[0];
    Factory factory;
    factory.piece = bytes[1] % 101; // 0: the first read fails
    factory.data = bytes + 2;
    factory.size = size - 2;

    Quiet op;
    StepClock clock;
    AEIData data(op, clock);
    SettingsBlock settings = data.GetSettings();
    settings.logFileOn = 0;
    settings.programmerModel = static_cast<uint8_t>((mode >> 4) % 3);
    data.UpdateSettings(settings);
    CommLog log(data);
    SerialPorts ports(factory, log, [](int p) { return p == 0 ? std::string("in") : std::string(); });
    int completions = 0;
    data.serial.programmerCompletion = [&] { ++completions; };
    ResetCommStatus(data, ports);

    // The line assembler on its own, over the raw bytes.
    {
        CommLinkData link;
        std::string line;
        for (std::size_t i = 0; i < factory.size; i += 37) {
            const std::size_t n = factory.size - i < 37 ? factory.size - i : 37;
            AppendToRing(link, factory.data + i, n);
            while (TakeProgrammerLine(link, line))
                if (line.size() > 99) std::abort();
            if (RingUnconsumed(link) > kRingSize - 2) std::abort();
        }
    }

    // The link in the chosen state.
    ProgrammerState s = GetProgrammerState(data);
    switch (mode % 5) {
    case 0: // probe the known port
        s.port = 0;
        break;
    case 1: // search all ports
        s.port = -1;
        break;
    default: // answering programmer: program, read or status
        if (OpenCommPort(data, ports, 0, kProgrammerMode, 0, kDeviceProgrammer) != kOpenReady) std::abort();
        s.port = 0;
        s.on = 1;
        s.nextCheck = mode % 5 == 4 ? 0 : clock.seconds + 100;
        if (mode % 5 == 2) {
            std::memcpy(s.frameText, "0123456789ABCDEF0123456789ABCD", 31);
            s.operationState = kOpProgram;
        } else if (mode % 5 == 3) {
            s.operationState = kOpRead;
        }
        break;
    }
    if (mode & 0x08) s.operationState = kOpRfCheck;
    SetProgrammerState(data, s);

    // Enough ticks to hand out the input, then ticks five seconds apart so
    // every wait, resend and time-out comes round.
    const std::size_t piece = factory.piece == 0 ? 1 : factory.piece;
    const int inputTicks = static_cast<int>(factory.size / piece) + 3;
    const int ticks = inputTicks + 25;
    for (int t = 0; t < ticks; ++t) {
        if (t < inputTicks) {
            if (t % 5 == 4) ++clock.seconds;
        } else {
            clock.seconds += 5;
        }
        if (t == ticks / 2 && (mode & 0x08)) {
            ProgrammerState back = GetProgrammerState(data);
            back.operationState = kOpIdle;
            SetProgrammerState(data, back);
        }
        StepProgrammerLink(data, ports);
        std::vector<int> posted;
        posted.swap(op.posted);
        for (int code : posted)
            if (code == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
        CheckInvariants(data);
    }

    // Every line of the input straight into the answer handling too.
    CommLinkData r = GetCommLinkData(data, 0);
    for (int32_t awaited : {kAwaitModel, kAwaitStatus, kAwaitProgram, kAwaitRead}) {
        r = GetCommLinkData(data, 0);
        r.awaitedResponse = awaited;
        r.responseLineCount = 0;
        UpdateCommLinkData(data, 0, r);
        CommLinkData link;
        std::string line;
        AppendToRing(link, factory.data, factory.size < 190 ? factory.size : 190);
        while (TakeProgrammerLine(link, line)) HandleProgrammerLine(data, ports, 0, line, clock.seconds);
        CheckInvariants(data);
    }
    (void)completions;
    return 0;
}
