// The set-up the link fuzz targets share: a port that hands out the fuzz
// input in pieces, a quiet operator, a clock the target moves, the
// application data wired to the ports, the checks every link must keep, and
// the tick loop that hands the input out and then lets every wait, resend
// and time-out come round.
#pragma once

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora::fuzz {

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
struct InputFactory : CommPortFactory {
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

// Answers No to every question and keeps the posted notifications.
struct QuietOperator : Operator {
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

// What every link keeps: the ring's indexes in range, every kept text ended
// within its field, the queue's count matching its slots.
inline void CheckLinkInvariants(AEIData& data) {
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
}

// The input is bytes[2...]; bytes[1] % 101 is the size of the pieces a read
// hands out (0: the first read fails). Needs at least two bytes.
struct FuzzRig {
    FuzzRig(const uint8_t* bytes, std::size_t size, PortDeviceMap map)
        : data(op, clock), log(data), ports(factory, log, std::move(map)) {
        factory.piece = bytes[1] % 101;
        factory.data = bytes + 2;
        factory.size = size - 2;
        SettingsBlock settings = data.GetSettings();
        settings.logFileOn = 0;
        data.UpdateSettings(settings);
        data.serial.programmerCompletion = [this] { ++completions; };
        ResetCommStatus(data, ports);
    }

    std::vector<int> TakePosted() {
        std::vector<int> posted;
        posted.swap(op.posted);
        return posted;
    }

    // Enough ticks to hand out the input, then ticks gapSeconds apart so
    // every wait, resend and time-out comes round; tick(t, ticks) runs once
    // a tick after the clock has moved.
    template <class Tick>
    void RunTicks(uint32_t gapSeconds, Tick tick) {
        const std::size_t piece = factory.piece == 0 ? 1 : factory.piece;
        const int inputTicks = static_cast<int>(factory.size / piece) + 3;
        const int ticks = inputTicks + 25;
        for (int t = 0; t < ticks; ++t) {
            if (t < inputTicks) {
                if (t % 5 == 4) ++clock.seconds;
            } else {
                clock.seconds += gapSeconds;
            }
            tick(t, ticks);
        }
    }

    InputFactory factory;
    QuietOperator op;
    StepClock clock;
    AEIData data;
    CommLog log;
    SerialPorts ports;
    int completions = 0;
};

} // namespace velmora::fuzz
