// The portable reader's two frame assemblers over a port's receive ring:
// STX/ETX frames for every exchange but the RF check, and CR LF text lines
// for the tag readings of an RF check.
//
// For the reader the ring's read index is the first unconsumed byte (the
// programmer's line assembler treats it as already consumed): both
// assemblers start looking at the read index itself. OpenCommPort sets both
// indexes to 0, an empty ring under either rule.
#pragma once

#include "serial/CommRecords.h"

#include <string>

namespace velmora {

class AEIData;
class SerialPorts;

// Cuts the next STX/ETX frame out of the ring. Bytes before an STX can never
// belong to a frame and are consumed; a second STX before the ETX restarts
// the frame there. The text is the bytes between the last STX and the ETX,
// NUL bytes left out, cut to 99 characters; it may be empty (STX ETX).
// `cut`, when given, tells whether the frame was longer than 99 characters.
// Returns false, keeping a started frame in the ring, when no ETX has come;
// of a frame already longer than 99 characters only the start is kept.
bool TakeReaderFrame(CommLinkData& link, std::string& text, bool* cut = nullptr);

// Cuts the next tag-reading line out of the ring: the bytes from the read
// index up to a CR, without the CR, and without any LF or NUL bytes, cut to
// 99 characters. The line is complete once the byte after the CR has
// arrived: an LF there is consumed with the line; any other byte starts the
// next line. Returns false while no CR, or nothing after it, has arrived.
bool TakeTagReadingLine(CommLinkData& link, std::string& text);

// Unconsumed bytes of a reader port's ring.
int ReaderRingUnconsumed(const CommLinkData& link);

// The frame assemblers the reader link hands to PollCommRead. Each logs
// every non-empty frame or line as "R-- " plus its text with the device word
// "portable" and returns the number of messages queued.
//   Frames go through AcceptReaderMessage (ReaderProtocol.h), which answers
//   and queues them or drops them. An empty frame is dropped unlogged; a
//   frame longer than 99 characters is logged cut and answered with NAK.
//   Lines are queued with code 21; an empty line is not a reading and is
//   dropped unlogged.
int AssembleReaderFrames(AEIData& data, SerialPorts& ports, int port);
int AssembleTagReadings(AEIData& data, SerialPorts& ports, int port);

} // namespace velmora
