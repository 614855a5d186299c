// Arbitrary text as a frame read from a tag. The first byte picks the mode:
//   bit 0 half-frame, bits 1-2 market region (3 = a region outside the list),
//   bit 3 lengths in feet-inches, bit 4 an operator format in slot 6.
// The rest is the frame text. Decoding never reads outside the frame or the
// format table, and what it reports is consistent with the text.
#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "util/FixedText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

velmora::TagFormatData OperatorFormat() {
    using namespace velmora;
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Operator 41");
    f.equipmentGroupCode = 28;
    f.dataFormatCode = 41;
    f.tagTypeCode = 1;
    f.fullFrame = 1;
    const struct {
        const char* name;
        uint8_t start, length, type;
        const char* minimum;
        const char* maximum;
    } rows[] = {{"Class", 7, 19, 2, "0", "ZZZZ"},       {"Number", 26, 34, 3, "999999999", "9"},
                {"Length", 94, 30, 7, "0", "9"},         {"Length", 62, 20, 7, "0", "9"},
                {"Gap", 60, 10, 10, "", ""},             {"Text", 100, 255, 0, "", ""},
                {"Digits", 118, 40, 9, "", ""},          {"Height", 70, 12, 4, "0", "9"},
                {"Side", 123, 8, 8, "", ""},             {"Owner", 255, 255, 1, "A", "ZZZZZZZZZ"}};
    int r = 0;
    for (const auto& row : rows) {
        SetText(f.fieldName[r], row.name);
        f.startingBit[r] = row.start;
        f.length[r] = row.length;
        f.type[r] = row.type;
        SetText(f.minimum[r], row.minimum);
        SetText(f.maximum[r], row.maximum);
        ++r;
    }
    return f;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    using namespace velmora;
    if (size == 0) return 0;
    const uint8_t mode = bytes[0];
    const bool halfFrame = mode & 1;
    const int32_t region = (mode >> 1) & 3; // 3 lies outside the known regions
    const bool feetInches = (mode >> 3) & 1;
    const std::string text(reinterpret_cast<const char*>(bytes + 1), size - 1);

    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    data.SetMarketRegion(region);
    SettingsBlock s = data.GetSettings();
    s.programmerModel = halfFrame ? 1 : 2;
    data.UpdateSettings(s);
    data.BuildBuiltInFormats();
    if (mode & 0x10) data.UpdateTagFormatData(6, OperatorFormat());

    DecodedFrame d = DecodeTagFrame(data, text, halfFrame, region, feetInches);
    const std::size_t digits = halfFrame ? kHalfFrameDigits : kFrameDigits;
    if (!d.identified) {
        if (d.formatIndex != -1 || d.sideRow != -1) std::abort();
        for (const auto& t : d.texts)
            if (!t.empty()) std::abort();
        return 0;
    }
    // Identified: the text began with enough hex digits, which are the bits.
    if (text.size() < digits || d.formatIndex < 0 || d.formatIndex >= kFormatSlots) std::abort();
    const std::string frame = BitsToFrameText(d.bits);
    for (std::size_t i = 0; i < kFrameDigits; ++i) {
        const char expected = i < digits ? UpperAscii(text[i]) : '0';
        if (!IsHex(expected) || frame[i] != expected) std::abort();
    }
    const TagFormatData f = data.GetTagFormatData(d.formatIndex);
    if (f.defined != 1) std::abort();
    if (d.sideRow != -1 && (d.sideRow >= f.RowCount() || f.type[d.sideRow] != kTypeSide)) std::abort();
    for (int r = f.RowCount(); r < kFieldRows; ++r)
        if (!d.texts[r].empty()) std::abort();
    if (ShowRawData(d.bits).size() != 17 + 20 + 8 + 30 + 1) std::abort();
    return 0;
}
