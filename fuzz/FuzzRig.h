// The set-up the link fuzz targets share: the application data on the test
// fakes (ports whose device hands out the fuzz input in pieces from the
// start on every open, the scripted operator, the fake clock), the checks
// every link must keep, and the tick loop that hands the input out and then
// lets every wait, resend and time-out come round.
#pragma once

#include "FakeCommPort.h"
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::fuzz {

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
// hands out (0: the first read fails). Ports below `inputPorts` have a device
// giving the input; the others have none. Needs at least two bytes.
struct FuzzRig {
    FuzzRig(const uint8_t* bytes, std::size_t size, int inputPorts)
        : input(reinterpret_cast<const char*>(bytes) + 2, size - 2), piece(bytes[1] % 101),
          data(op, clock), log(data),
          ports(factory, log, [](int p) { return "in" + std::to_string(p); }) {
        clock.seconds = 5000;
        for (int p = 0; p < inputPorts; ++p) {
            auto dev = factory.Add("in" + std::to_string(p));
            dev->keepInputOnDiscard = true;
            dev->onOpen = [this](test::FakeDevice& d) {
                d.failNextRead = piece == 0;
                d.incoming.clear();
                d.written.clear();
                d.SendInPieces(input, piece == 0 ? 7 : piece);
            };
        }
        SettingsBlock settings = data.GetSettings();
        settings.logFileOn = 0;
        data.UpdateSettings(settings);
        data.serial.programmerCompletion = [this] { ++completions; };
        ResetCommStatus(data, ports);
    }

    std::vector<int> TakePosted() {
        std::vector<int> posted;
        posted.swap(op.notifications);
        op.boxes.clear();
        op.prompts.clear();
        return posted;
    }

    // Enough ticks to hand out the input, then ticks gapSeconds apart so
    // every wait, resend and time-out comes round; tick(t, ticks) runs once
    // a tick after the clock has moved.
    template <class Tick>
    void RunTicks(uint32_t gapSeconds, Tick tick) {
        const int inputTicks = static_cast<int>(input.size() / (piece == 0 ? 1 : piece)) + 3;
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

    const std::string_view input;
    const std::size_t piece;
    test::FakePortFactory factory;
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data;
    CommLog log;
    SerialPorts ports;
    int completions = 0;
};

} // namespace velmora::fuzz
