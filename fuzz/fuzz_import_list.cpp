// A fleet list and its progress file as they come from the disk. Input: one
// mode byte (bit 0 header, bits 1-2 the delimiter: ',' ';' tab '|', bit 3
// feet-inches, bits 4-7 the list's format slot), then the list text; the
// same bytes are read as a progress file. Every line is accounted for once,
// a waiting line always has a 30-digit frame, a refused one a reason, and the
// progress never names a line below 1.
#include "data/AEIData.h"
#include "tagwindow/ImportList.h"
#include "tagwindow/ImportProgress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    using namespace velmora;
    if (size == 0) return 0;
    static SilentOperator op;
    static SystemClock clock;
    static AEIData data(op, clock);
    const uint8_t mode = bytes[0];
    const std::string_view text(reinterpret_cast<const char*>(bytes + 1), size - 1);

    ImportListOptions o;
    o.header = mode & 1;
    o.delimiter = ",;\t|"[(mode >> 1) & 3];
    o.feetInches = (mode >> 3) & 1;
    o.formatIndex = (mode >> 4) & 15;
    const ImportList list = ReadImportList(data, text, o);
    int previousLine = 0;
    for (const auto& line : list.lines) {
        if (line.fileLine <= previousLine) std::abort();
        previousLine = line.fileLine;
        if (line.state == ImportLineState::Waiting && line.frameText.size() != 30) std::abort();
        if (line.state == ImportLineState::Refused && line.reason.empty()) std::abort();
    }
    for (const auto& [number, progress] : ReadProgress(text))
        if (number < 1 || progress.stage == ProgressStage::None) std::abort();
    return 0;
}
