#include "serial/ReaderMessages.h"

#include "data/AEIData.h"
#include "util/FixedText.h"

namespace velmora {

namespace {

constexpr ReaderMessageFormat Entry(int32_t index, const char (&code)[4], uint8_t carriesData,
                                    const char* reply, int32_t direction, int32_t sends) {
    ReaderMessageFormat f;
    f.index = index;
    for (int i = 0; i < 3; ++i) f.code[i] = code[i];
    for (int i = 0; i < 3 && reply[i] != '\0'; ++i) f.reply[i] = reply[i];
    f.carriesData = carriesData;
    f.direction = direction;
    f.sends = sends;
    return f;
}

constexpr std::array<ReaderMessageFormat, kReaderMessageCount> kTable = {{
    Entry(kMsgFSP, "FSP", 0, "SSP", kSentBySystem, 3),
    Entry(kMsgFHD, "FHD", 0, "SHR", kSentBySystem, 3),
    Entry(kMsgFRD, "FRD", 1, "SDD", kSentBySystem, 3),
    Entry(kMsgFRE, "FRE", 1, "SHR", kSentBySystem, 3),
    Entry(kMsgFLD, "FLD", 0, "SHR", kSentBySystem, 3),
    Entry(kMsgFLE, "FLE", 0, "SHR", kSentBySystem, 3),
    Entry(kMsgFAD, "FAD", 0, "SHR", kSentBySystem, 3),
    Entry(kMsgFAE, "FAE", 0, "SHR", kSentBySystem, 3),
    Entry(kMsgFMC, "FMC", 0, "SMC", kSentBySystem, 3),
    Entry(kMsgFSA, "FSA", 0, "RAM", kSentBySystem, 3),
    Entry(kMsgFCA, "FCA", 1, "RAM", kSentBySystem, 3),
    Entry(kMsgACK, "ACK", 0, "", kSentByEither, 3),
    Entry(kMsgNAK, "NAK", 0, "", kSentByEither, 3),
    Entry(kMsgSSP, "SSP", 0, "ACK", kSentByReader, 3),
    Entry(kMsgSHR, "SHR", 0, "ACK", kSentByReader, 3),
    Entry(kMsgSDD, "SDD", 0, "ACK", kSentByReader, 3),
    Entry(kMsgSDE, "SDE", 0, "ACK", kSentByReader, 3),
    Entry(kMsgSMC, "SMC", 0, "ACK", kSentByReader, 3),
    Entry(kMsgSAC, "SAC", 0, "ACK", kSentByReader, 3),
    Entry(kMsgEOD, "EOD", 0, "", kSentByReader, 1),
}};

} // namespace

const std::array<ReaderMessageFormat, kReaderMessageCount>& ReaderMessageTable() { return kTable; }

int FindMessageCode(std::string_view text) {
    if (text.size() < 3) return -1;
    const std::string_view code = text.substr(0, 3);
    for (const ReaderMessageFormat& f : kTable)
        if (code == std::string_view(f.code, 3)) return f.index;
    return -1;
}

ReaderMessageFormat GetMessageFormat(AEIData& data, int index) {
    if (index >= 0 && index < kReaderMessageCount)
        for (const ReaderMessageFormat& f : kTable)
            if (f.index == index) return f;
    data.InternalErrorTrap("Message Code Error - GetMessageFormat", index);
    return kTable[0];
}

std::string BuildReaderFrame(AEIData& data, int index, std::string_view frameData) {
    const ReaderMessageFormat f = GetMessageFormat(data, index);
    std::string frame(1, kSTX);
    frame += GetText(f.code);
    if (f.carriesData && !frameData.empty()) frame.append(frameData.data(), frameData.size());
    frame += kETX;
    return frame;
}

} // namespace velmora
