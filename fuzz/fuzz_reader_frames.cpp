// Arbitrary bytes from a portable reader's port: through the receive ring,
// the STX/ETX and the tag-reading assemblers, AcceptReaderMessage (with its
// date check, ACK and NAK), the message queue and the link's answer handling
// in a probe, a parameter read and an RF check, in pieces over many ticks.
// Nothing may read or write outside a record, the ring's indexes stay in
// range, every kept text ends within its field, the queue's count matches
// its slots, and every exchange ends with its port closed.
#include "FuzzRig.h"
#include "ReaderRig.h"

#include "serial/ReaderApi.h"
#include "serial/ReaderAssemblers.h"
#include "serial/ReaderMessages.h"
#include "serial/ReaderProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/TagReadingCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace velmora;
using namespace velmora::fuzz;

void CheckInvariants(AEIData& data) {
    CheckLinkInvariants(data);
    for (int p = 0; p < kCommPorts; ++p) MustEnd(GetCommLinkData(data, p).reader.pendingData);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    const uint8_t mode = bytes[0];
    FuzzRig rig(bytes, size, 2);
    AEIData& data = rig.data;
    SerialPorts& ports = rig.ports;
    const std::string_view input = rig.input;
    const uint8_t* const raw = bytes + 2;

    // The assemblers on their own, over the raw bytes in pieces.
    {
        CommLinkData frames, lines;
        std::string text;
        for (std::size_t i = 0; i < input.size(); i += 41) {
            const std::size_t n = input.size() - i < 41 ? input.size() - i : 41;
            AppendToRing(frames, raw + i, n);
            AppendToRing(lines, raw + i, n);
            while (TakeReaderFrame(frames, text))
                if (text.size() > 99) std::abort();
            while (TakeTagReadingLine(lines, text))
                if (text.size() > 99) std::abort();
            if (ReaderRingUnconsumed(frames) > kRingSize - 1 || ReaderRingUnconsumed(lines) > kRingSize - 1)
                std::abort();
        }
    }

    test::ProgramRfRailcar(data); // a railcar just programmed, for the readings to be compared with
    SettingsBlock settings = data.GetSettings();
    settings.feetInches = mode & 0x40 ? 1 : 0;
    data.UpdateSettings(settings);

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

    rig.RunTicks(3, [&](int t, int ticks) {
        if (t == ticks - 3 && (mode % 4) == 3) CancelRfReading(data);
        StepReaderLink(data, ports);
        for (int code : rig.TakePosted()) HandleReaderNotification(data, code);
        CheckInvariants(data);
    });

    // Every exchange has ended: the RF check by its reading or the
    // cancellation, the others by their answers or time-outs.
    for (int p = 0; p < kCommPorts; ++p) {
        const CommLinkData r = GetCommLinkData(data, p);
        if (r.deviceKind == kDeviceReader && r.reader.probeRequested == 0 && r.reader.rfReadRequested == 0 &&
            r.reader.pendingCommand == -1)
            std::abort();
    }
    return 0;
}
