// The 200-byte receive ring of a port's link record. Received bytes are
// appended at the write index; the device assemblers cut complete frames out
// from the read index. The byte at the read index itself counts as consumed
// (for the programmer it is the line feed after a carriage return), so the
// unconsumed bytes are those after the read index up to the write index.
#pragma once

#include "serial/CommRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// Appends the bytes one by one, wrapping from 199 to 0. When the ring is
// full the oldest unconsumed byte is dropped and the read index moves with
// it, so the ring always holds a contiguous run of the latest bytes and two
// frames are never spliced into one. Returns the number of bytes dropped.
std::size_t AppendToRing(CommLinkData& link, const uint8_t* bytes, std::size_t count);

// Unconsumed bytes in the ring (0..198).
int RingUnconsumed(const CommLinkData& link);

// Brings indexes damaged from outside back into 0..199.
void SanitizeRing(CommLinkData& link);

// Sets the indexes as if a line end had just been taken, so that the next
// byte to arrive starts a line instead of being skipped as the first byte
// after an open is. For a port opened to send a command straight away,
// without the probe whose echo absorbs that first byte.
void PrimeRingForNewLine(CommLinkData& link);

// Programmer lines: the bytes after the read index up to the next carriage
// return, leaving out every carriage return, line feed and NUL byte; the
// read index then moves to the byte after the carriage return. A line is cut
// to 99 characters. Returns false (ring unchanged) when no carriage return
// has arrived yet.
bool TakeProgrammerLine(CommLinkData& link, std::string& line);

} // namespace velmora
