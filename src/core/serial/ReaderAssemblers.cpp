#include "serial/ReaderAssemblers.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ReaderMessages.h"
#include "serial/ReaderProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

namespace velmora {

namespace {

inline int Next(int i) { return i + 1 == kRingSize ? 0 : i + 1; }

void Keep(std::string& text, uint8_t b) {
    if (b == '\0' || text.size() >= kLineTextWidth - 1) return;
    text.push_back(static_cast<char>(b));
}

} // namespace

int ReaderRingUnconsumed(const CommLinkData& link) {
    int held = link.ringWrite - link.ringRead;
    if (held < 0) held += kRingSize;
    return held;
}

bool TakeReaderFrame(CommLinkData& link, std::string& text, bool* cut) {
    SanitizeRing(link);
    const int end = link.ringWrite;
    int i = link.ringRead;
    while (i != end && link.ring[i] != static_cast<uint8_t>(kSTX)) i = Next(i);
    link.ringRead = i; // what came before the STX is no frame's
    if (i == end) return false;

    std::string body;
    std::size_t count = 0; // text bytes of the frame so far
    int lastKept = -1;     // where the frame's first text byte past the width lies
    for (int j = Next(i); j != end; j = Next(j)) {
        const uint8_t b = link.ring[j];
        if (b == static_cast<uint8_t>(kSTX)) {
            link.ringRead = j; // the frame starts again here
            body.clear();
            count = 0;
            lastKept = -1;
            continue;
        }
        if (b == static_cast<uint8_t>(kETX)) {
            link.ringRead = Next(j);
            text = std::move(body);
            if (cut) *cut = count >= kLineTextWidth;
            return true;
        }
        if (b == '\0') continue;
        ++count;
        Keep(body, b);
        if (count == kLineTextWidth) lastKept = j;
    }
    // No ETX yet. A frame longer than the text width keeps only its start
    // and one byte more in the ring (enough to know it was cut), so the rest
    // of it cannot push its STX out of the ring.
    if (lastKept >= 0) link.ringWrite = Next(lastKept);
    return false;
}

bool TakeTagReadingLine(CommLinkData& link, std::string& text) {
    SanitizeRing(link);
    const int end = link.ringWrite;
    std::string line;
    for (int j = link.ringRead; j != end; j = Next(j)) {
        const uint8_t b = link.ring[j];
        if (b == '\r') {
            const int after = Next(j);
            if (after == end) return false; // the byte after the CR decides
            link.ringRead = link.ring[after] == '\n' ? Next(after) : after;
            text = std::move(line);
            return true;
        }
        if (b != '\n') Keep(line, b);
    }
    return false;
}

int AssembleReaderFrames(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return 0;
    int queued = 0;
    std::string text;
    // Each pass consumes at least one byte, so the loop ends with the ring.
    for (;;) {
        CommLinkData r = GetCommLinkData(data, port);
        bool cut = false;
        const bool got = TakeReaderFrame(r, text, &cut);
        UpdateCommLinkData(data, port, r);
        if (!got) break;
        if (text.empty()) continue;
        ports.Log().LogCommMessage(port, "R-- " + text, kReaderWord);
        if (cut) {
            // Too long to be any of the reader's messages: a bad frame.
            SendReaderNak(data, ports, port);
            continue;
        }
        if (AcceptReaderMessage(data, ports, port, text)) ++queued;
    }
    return queued;
}

int AssembleTagReadings(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return 0;
    const uint32_t now = data.GetClock().MonotonicSeconds();
    int queued = 0;
    std::string text;
    CommLinkData r = GetCommLinkData(data, port);
    while (TakeTagReadingLine(r, text)) {
        UpdateCommLinkData(data, port, r);
        if (text.empty()) continue;
        ports.Log().LogCommMessage(port, "R-- " + text, kReaderWord);
        CommMessage m;
        m.port = port;
        m.code = kReaderTagReading;
        m.received = now;
        SetText(m.text, text);
        if (AddMessage(data, m) >= 0) ++queued;
    }
    UpdateCommLinkData(data, port, r);
    return queued;
}

} // namespace velmora
