// Lookups in arbitrary UMLER data files. Input: a vehicle key of up to 10
// bytes, a newline, then the bytes of the data file (any length, any order,
// any content). The search always ends, never reads past the last record,
// reads at most log2(n) + 51 records, and returns either no record or a record
// that carries the key's initial code and number; the cached search agrees.
#include "umler/UmlerKey.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerRecord.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

using namespace velmora;

class MemorySource : public UmlerRecordSource {
public:
    MemorySource(const uint8_t* p, std::size_t size) : bytes_(p, p + size) {}
    uint64_t RecordCount() const override { return bytes_.size() / kUmlerRecordSize; }
    std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) override {
        if (first >= RecordCount()) std::abort(); // the search never reads past the end
        std::size_t i = 0;
        for (; i < count && first + i < RecordCount(); ++i)
            out[i] = DecodeUmlerRecord(bytes_.data() + (first + i) * kUmlerRecordSize);
        reads += count;
        return i;
    }
    uint64_t reads = 0;

private:
    std::vector<uint8_t> bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::size_t keyLen = 0;
    while (keyLen < size && keyLen < 10 && data[keyLen] != '\n') ++keyLen;
    std::string_view key(reinterpret_cast<const char*>(data), keyLen);
    std::size_t skip = keyLen < size && data[keyLen] == '\n' ? keyLen + 1 : keyLen;

    MemorySource src(data + skip, size - skip);
    const uint64_t n = src.RecordCount();
    UmlerRecord r = SearchUmler(src, key);
    if (n > 0 && src.reads > std::log2(static_cast<double>(n)) + 51) std::abort();
    if (r.IsRecord() && (r.initialCode != KeyInitialCode(key) || r.number != KeyNumber(key))) std::abort();

    UmlerSearchCache cache(4);
    for (int pass = 0; pass < 2; ++pass) {
        UmlerRecord c = SearchUmler(src, key, &cache);
        if (c.IsRecord() != r.IsRecord() || c.initialCode != r.initialCode || c.number != r.number) std::abort();
    }
    return 0;
}
