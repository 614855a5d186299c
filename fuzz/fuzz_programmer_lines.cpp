// Arbitrary bytes from a programmer port: through the receive ring, the line
// assembler, the message queue and the link's answer handling, in pieces
// over many ticks and in every operation state. Nothing may read or write
// outside a record, the ring's indexes stay in range, the queue's count
// matches its slots, every kept text ends within its field, and the link
// always comes back to a valid state.
#include "FuzzRig.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using namespace velmora::fuzz;

void CheckInvariants(AEIData& data) {
    CheckLinkInvariants(data);
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
    FuzzRig rig(bytes, size, 1);
    const uint8_t* const input = bytes + 2;
    const std::size_t inputSize = rig.input.size();
    test::FakeClock& clock = rig.clock;
    AEIData& data = rig.data;
    SerialPorts& ports = rig.ports;
    SettingsBlock settings = data.GetSettings();
    settings.programmerModel = static_cast<uint8_t>((mode >> 4) % 3);
    data.UpdateSettings(settings);

    // The line assembler on its own, over the raw bytes.
    {
        CommLinkData link;
        std::string line;
        for (std::size_t i = 0; i < inputSize; i += 37) {
            const std::size_t n = inputSize - i < 37 ? inputSize - i : 37;
            AppendToRing(link, input + i, n);
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
    rig.RunTicks(5, [&](int t, int ticks) {
        if (t == ticks / 2 && (mode & 0x08)) {
            ProgrammerState back = GetProgrammerState(data);
            back.operationState = kOpIdle;
            SetProgrammerState(data, back);
        }
        StepProgrammerLink(data, ports);
        for (int code : rig.TakePosted())
            if (code == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
        CheckInvariants(data);
    });

    // Every line of the input straight into the answer handling too.
    CommLinkData r = GetCommLinkData(data, 0);
    for (int32_t awaited : {kAwaitModel, kAwaitStatus, kAwaitProgram, kAwaitRead}) {
        r = GetCommLinkData(data, 0);
        r.awaitedResponse = awaited;
        r.responseLineCount = 0;
        UpdateCommLinkData(data, 0, r);
        CommLinkData link;
        std::string line;
        AppendToRing(link, input, inputSize < 190 ? inputSize : 190);
        while (TakeProgrammerLine(link, line)) HandleProgrammerLine(data, ports, 0, line, clock.seconds);
        CheckInvariants(data);
    }
    return 0;
}
