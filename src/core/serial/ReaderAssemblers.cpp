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

bool TakeReaderFrame(CommLinkData& link, std::string& text) {
    SanitizeRing(link);
    const int end = link.ringWrite;
    int i = link.ringRead;
    while (i != end && link.ring[i] != static_cast<uint8_t>(kSTX)) i = Next(i);
    link.ringRead = i; // what came before the STX is no frame's
    if (i == end) return false;

    std::string body;
    for (int j = Next(i); j != end; j = Next(j)) {
        const uint8_t b = link.ring[j];
        if (b == static_cast<uint8_t>(kSTX)) {
            link.ringRead = j; // the frame starts again here
            body.clear();
            continue;
        }
        if (b == static_cast<uint8_t>(kETX)) {
            link.ringRead = Next(j);
            text = std::move(body);
            return true;
        }
        Keep(body, b);
    }
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
        const bool got = TakeReaderFrame(r, text);
        UpdateCommLinkData(data, port, r);
        if (!got) break;
        if (text.empty()) continue;
        ports.Log().LogCommMessage(port, "R-- " + text, kReaderWord);
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
