// The portable reader's message table: the twenty three-letter codes of its
// STX/ETX frames, whether each carries data, the reply it expects, which side
// sends it and how many times a command is sent before its wait fails.
// Lookups by code and by index, and the frame builder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

inline constexpr char kSTX = 0x02;
inline constexpr char kETX = 0x03;

inline constexpr int kReaderMessageCount = 20;

// Message indexes (the index field of each entry, not its stored position).
inline constexpr int32_t kMsgFSP = 0;
inline constexpr int32_t kMsgFHD = 1;
inline constexpr int32_t kMsgFRD = 2;
inline constexpr int32_t kMsgFLE = 3;
inline constexpr int32_t kMsgFLD = 4;
inline constexpr int32_t kMsgFRE = 5;
inline constexpr int32_t kMsgFAD = 6;
inline constexpr int32_t kMsgFAE = 7;
inline constexpr int32_t kMsgFMC = 8;
inline constexpr int32_t kMsgFSA = 9;
inline constexpr int32_t kMsgFCA = 10;
inline constexpr int32_t kMsgACK = 11;
inline constexpr int32_t kMsgNAK = 12;
inline constexpr int32_t kMsgSSP = 13;
inline constexpr int32_t kMsgSHR = 14;
inline constexpr int32_t kMsgSDD = 15;
inline constexpr int32_t kMsgSDE = 16;
inline constexpr int32_t kMsgSMC = 17;
inline constexpr int32_t kMsgSAC = 18;
inline constexpr int32_t kMsgEOD = 19;

// The code of a queued tag reading (a CR LF line during an RF check), and the
// awaited response while such a reading is waited for.
inline constexpr int32_t kReaderTagReading = 21;

// Who sends a message.
inline constexpr int32_t kSentByReader = 0;
inline constexpr int32_t kSentBySystem = 1;
inline constexpr int32_t kSentByEither = 2; // the acknowledgements

struct ReaderMessageFormat {
    int32_t index = 0;
    char code[4] = {};
    uint8_t carriesData = 0;
    char reply[4] = {}; // empty: no reply
    int32_t direction = kSentBySystem;
    int32_t sends = 3;
};

// The table in its stored order: FSP, FHD, FRD, FRE, FLD, FLE, FAD, FAE, FMC,
// FSA, FCA, ACK, NAK, SSP, SHR, SDD, SDE, SMC, SAC, EOD.
const std::array<ReaderMessageFormat, kReaderMessageCount>& ReaderMessageTable();

// The index of the entry whose code equals the first three characters of
// `text`; -1 when none does (or the text is shorter than three characters).
int FindMessageCode(std::string_view text);

// The entry with this index. An index outside 0..19 or not in the table
// raises the trap "Message Code Error - GetMessageFormat" and the first
// entry (FSP) comes back.
ReaderMessageFormat GetMessageFormat(AEIData& data, int index);

// STX, the entry's code, the data only when the entry carries data and data
// is given, ETX.
std::string BuildReaderFrame(AEIData& data, int index, std::string_view frameData = {});

} // namespace velmora
