// Arbitrary bytes as an options file: loading never reads or writes outside
// a record, every slot reads back, and the result saves as a version 4 image.
#include "data/OptionsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    using namespace velmora;
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    int rc = LoadOptionsFromBytes(data, bytes, size);
    if (rc != 0 && rc != 1) std::abort();

    // Every index the file could set is inside its table after loading.
    SettingsBlock s = data.GetSettings();
    if (s.currentFormat >= kFormatSlots) std::abort();
    if (s.backgroundColor < 0 || s.backgroundColor >= kBackgroundColors) std::abort();
    if (s.programmerModel > 2) std::abort();
    data.GetBackgroundColor(s.backgroundColor);

    std::size_t total = 0;
    for (int i = 0; i < kFormatSlots; ++i) {
        TagFormatData f = data.GetTagFormatData(i);
        if (f.defaultTag >= kTagTypeSlots) std::abort();
        total += f.Name().size() + static_cast<std::size_t>(f.RowCount());
        for (int r = 0; r < kFieldRows; ++r)
            total += f.FieldName(r).size() + f.Minimum(r).size() + f.Maximum(r).size() + f.Default(r).size();
        data.GetAchTagType(f.defaultTag);
    }
    for (int i = 0; i < kRecentTagLines; ++i) total += data.GetRecentTagLine(i).size();
    total += data.VersionText().size() + data.TagLogFileName().size() + data.ImportTagFileName().size();

    std::vector<uint8_t> image = OptionsToBytes(data);
    if (image.size() != kOptionsFileSize) std::abort();

    // What was saved loads back to the same image.
    if (LoadOptionsFromBytes(data, image.data(), image.size()) != 0) std::abort();
    if (OptionsToBytes(data) != image) std::abort();
    volatile std::size_t sink = total;
    (void)sink;
    return 0;
}
