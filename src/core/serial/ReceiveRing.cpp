#include "serial/ReceiveRing.h"

namespace velmora {

namespace {
inline int Next(int i) { return i + 1 == kRingSize ? 0 : i + 1; }
} // namespace

void SanitizeRing(CommLinkData& link) {
    if (link.ringWrite < 0 || link.ringWrite >= kRingSize) link.ringWrite = 0;
    if (link.ringRead < 0 || link.ringRead >= kRingSize) link.ringRead = link.ringWrite;
}

int RingUnconsumed(const CommLinkData& link) {
    if (link.ringRead == link.ringWrite) return 0;
    int held = link.ringWrite - link.ringRead;
    if (held < 0) held += kRingSize;
    return held - 1; // the byte at the read index is already consumed
}

std::size_t AppendToRing(CommLinkData& link, const uint8_t* bytes, std::size_t count) {
    SanitizeRing(link);
    std::size_t dropped = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int next = Next(link.ringWrite);
        if (next == link.ringRead) {
            // Full: give up the oldest unconsumed byte rather than overwrite
            // it behind the read index.
            link.ringRead = Next(link.ringRead);
            ++dropped;
        }
        link.ring[link.ringWrite] = bytes[i];
        link.ringWrite = next;
    }
    return dropped;
}

void PrimeRingForNewLine(CommLinkData& link) {
    link.ringWrite = 0;
    link.ringRead = kRingSize - 1;
}

bool TakeProgrammerLine(CommLinkData& link, std::string& line) {
    SanitizeRing(link);
    if (link.ringRead == link.ringWrite) return false;
    std::string text;
    for (int i = Next(link.ringRead); i != link.ringWrite; i = Next(i)) {
        const uint8_t b = link.ring[i];
        if (b == '\r') {
            link.ringRead = Next(i);
            line = std::move(text);
            return true;
        }
        if (b == '\n' || b == '\0') continue;
        if (text.size() < kLineTextWidth - 1) text.push_back(static_cast<char>(b));
    }
    return false;
}

} // namespace velmora
