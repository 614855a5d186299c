// The portable reader's bytes and states: accepting and acknowledging
// received frames, the date and time check of SSP and SHR, NAK, the answer
// handling, resends and time-outs, and the reader parameters taken from an
// SSP. StepReaderLink (ReaderApi.h) drives these once per tick.
#pragma once

#include "serial/ReaderRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;
class SerialPorts;

inline constexpr uint32_t kReaderProbeWait = 2;    // between the sends of a probe
inline constexpr uint32_t kReaderExchangeWait = 5; // every other wait
// Where the date and time start in an SSP and in an SHR.
inline constexpr std::size_t kSspDateStart = 4;
inline constexpr std::size_t kShrDateStart = 6;

inline constexpr const char* kRfReadStatusText =
    "You should now verify the information programmed into the tag with the portable AEI reader.";
// The status window's text while the reader's port is out of reach during
// an RF check.
inline constexpr const char* kRfReaderDisconnectedText =
    "The portable reader is disconnected.  Connect it again and read the tag, or press Cancel.";

// The date and time a reader message carries: month up to the next "/", day
// up to the next "/", a two-digit year (below 50 is 2000 onwards, else the
// 1900s), one character, hour up to the next ":", minute up to the next ":",
// a two-digit second. `ok` is false when a separator is missing or the text
// ends before the year or the second is complete. The numbers are the last
// (at most two) digits before each separator; `seconds` counts from
// 1 January 1970 and is 0 when a value is out of range.
struct ReaderDateTime {
    bool ok = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    uint32_t seconds = 0;
};
ReaderDateTime ParseReaderDateTime(std::string_view text, std::size_t start);

// One received frame text of a reader port: unknown codes and messages the
// system itself sends are dropped; an SSP or SHR whose date and time cannot
// be read is answered with NAK and dropped; a message with a reply code is
// answered with that reply (ACK). Returns true when the message was queued.
// The reply does not replace the port's last command, so a resend after a
// time-out repeats the command, not the acknowledgement.
bool AcceptReaderMessage(AEIData& data, SerialPorts& ports, int port, std::string_view text);

// Writes STX "NAK" ETX and three zero bytes (8 bytes) and logs "T-- NAK".
void SendReaderNak(AEIData& data, SerialPorts& ports, int port);

// The parameters at their character positions of an SSP text.
ReaderParameters ParseReaderParameters(std::string_view ssp, int port);

// The reader's frame for the message index with its data, written after a
// read was started; kept as the port's last command.
void SendReaderCommand(AEIData& data, SerialPorts& ports, int port, int index,
                       std::string_view frameData = {});

} // namespace velmora
