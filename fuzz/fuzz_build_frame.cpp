// An arbitrary format record and arbitrary field texts through the value
// check, the frame builder and the decoder. Input: one mode byte (bit 0
// half-frame, bit 1 feet-inches, bits 2-3 market region), then up to 1098
// bytes of a stored format record, then the field texts separated by '\n'.
// Nothing reads or writes outside the 120 data bits or a record, and the
// frame text always matches the bits.
#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    using namespace velmora;
    if (size == 0) return 0;
    const uint8_t mode = bytes[0];
    const bool halfFrame = mode & 1;
    const bool feetInches = (mode >> 1) & 1;
    const int32_t region = (mode >> 2) & 3;
    ++bytes;
    --size;

    const std::size_t recordSize = size < kTagFormatDataSize ? size : kTagFormatDataSize;
    const TagFormatData format = DeserializeTagFormat(bytes, recordSize);
    bytes += recordSize;
    size -= recordSize;

    FieldTexts texts;
    int row = 0;
    for (std::size_t i = 0; i < size && row < kFieldRows; ++i) {
        if (bytes[i] == '\n') ++row;
        else texts[row].push_back(static_cast<char>(bytes[i]));
    }

    // The value check and its prompt text.
    const ValueCheckResult check = CheckFieldValues(format, texts, ShownRows(format), feetInches);
    const std::string prompt = FieldErrorText(format, check);
    if (prompt.size() > kFieldErrorTextMax || prompt.empty() == check.anyError) std::abort();

    // The builder, whatever the check said.
    const BuiltFrame built = BuildTagFrame(format, texts, feetInches, halfFrame);
    if (built.frameText.size() != kFrameDigits || BitsToFrameText(built.bits) != built.frameText) std::abort();
    for (char c : built.frameText)
        if (!IsUpperHex(c)) std::abort();
    for (uint8_t b : built.bits)
        if (b > 1) std::abort();
    const int code = format.dataFormatCode;
    if (!halfFrame && code != 0 && code != 99 &&
        GetFieldBits(118, 6, built.bits, 0, 0) != (static_cast<uint64_t>(static_cast<uint8_t>(code)) & 63))
        std::abort();

    // Read back with the record as an operator format.
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    data.SetMarketRegion(region);
    SettingsBlock s = data.GetSettings();
    s.programmerModel = halfFrame ? 1 : 2;
    data.UpdateSettings(s);
    data.BuildBuiltInFormats();
    data.UpdateTagFormatData(kFormatSlots - 1, format);
    const std::string text = halfFrame ? built.frameText.substr(0, kHalfFrameDigits) : built.frameText;
    const DecodedFrame d = DecodeTagFrame(data, text, halfFrame, region, feetInches);
    if (d.identified) {
        if (d.formatIndex < 0 || d.formatIndex >= kFormatSlots) std::abort();
        if (BitsToFrameText(d.bits).compare(0, text.size(), text) != 0) std::abort();
        // A well-formed full frame whose code the record carries finds a
        // format with that code.
        const TagFormatData found = data.GetTagFormatData(d.formatIndex);
        if (!halfFrame && found.dataFormatCode != static_cast<int8_t>(GetFieldBits(118, 6, d.bits, 0, 0)) &&
            d.formatIndex != 4)
            std::abort();
    }
    return 0;
}
