#include "umler/UmlerLookup.h"

#include "data/ReplaceFile.h"
#include "umler/UmlerKey.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

// hi - lo at or below this ends the halving; the rest is scanned in order.
constexpr uint64_t kScanSpan = 49;
// Records read by one call during the scan.
constexpr std::size_t kScanBlock = 64;
// Halving probes cannot exceed the bits of the record count; this bound only
// guards against a source that changes under the search.
constexpr int kMaxProbes = 64;

UmlerRecord NoRecord() { return UmlerRecord{}; }

} // namespace

// --- cache -------------------------------------------------------------------

UmlerSearchCache::UmlerSearchCache(int levels) : levels_(std::clamp(levels, 0, 20)) {}

bool UmlerSearchCache::Get(uint64_t node, UmlerRecord& out) const {
    if (node >= valid_.size() || !valid_[node]) return false;
    out = records_[node];
    return true;
}

void UmlerSearchCache::Put(uint64_t node, const UmlerRecord& r) {
    const uint64_t slots = (uint64_t{1} << levels_) - 1;
    if (node >= slots) return;
    if (valid_.empty()) {
        records_.resize(slots);
        valid_.assign(slots, 0);
    }
    records_[node] = r;
    valid_[node] = 1;
}

void UmlerSearchCache::Clear() {
    records_.clear();
    valid_.clear();
}

// --- search ------------------------------------------------------------------

UmlerRecord SearchUmler(UmlerRecordSource& source, std::string_view key, UmlerSearchCache* cache) {
    const uint64_t n = source.RecordCount();
    if (n == 0) return NoRecord();
    const int32_t code = KeyInitialCode(key);
    const int32_t number = KeyNumber(key);
    const int cachedLevels = cache ? cache->Levels() : 0;

    uint64_t lo = 0, hi = n, step = n / 2, pos = step;
    uint64_t node = 0;
    for (int depth = 0;; ++depth) {
        UmlerRecord rec;
        const bool cached = depth < cachedLevels && cache->Get(node, rec);
        if (!cached) {
            if (source.ReadRecords(pos, 1, &rec) != 1) return NoRecord(); // file cut short
            if (depth < cachedLevels) cache->Put(node, rec);
        }
        step /= 2;
        int c = CompareUmlerKeys(rec.initialCode, rec.number, code, number);
        if (c == 0) return rec;
        if (c < 0) {
            lo = pos;
            pos += step;
            node = 2 * node + 2;
        } else {
            hi = pos;
            pos -= step;
            node = 2 * node + 1;
        }
        if (hi - lo <= kScanSpan || depth + 1 >= kMaxProbes) break;
    }

    // lo..hi inclusive; hi may be n, one past the last record.
    const uint64_t last = std::min(hi, n - 1);
    UmlerRecord block[kScanBlock];
    for (uint64_t first = lo; first <= last;) {
        std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(kScanBlock, last - first + 1));
        std::size_t got = source.ReadRecords(first, want, block);
        for (std::size_t i = 0; i < got; ++i)
            if (block[i].initialCode == code && block[i].number == number) return block[i];
        if (got < want) break;
        first += want;
    }
    return NoRecord();
}

// --- data file ---------------------------------------------------------------

UmlerDataFile::~UmlerDataFile() { Close(); }

void UmlerDataFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    count_ = 0;
}

bool UmlerDataFile::Open(const std::string& path) {
    Close();
    file_ = OpenRegularFile(path, "rb");
    if (!file_) return false;
    // Each read is one seek and one read of exactly the bytes wanted.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    const long size = std::ftell(file_);
    if (size < 0) {
        Close();
        return false;
    }
    count_ = static_cast<uint64_t>(size) / kUmlerRecordSize;
    return true;
}

std::size_t UmlerDataFile::ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) {
    if (!file_ || first >= count_) return 0;
    count = static_cast<std::size_t>(std::min<uint64_t>(count, count_ - first));
    constexpr std::size_t kChunk = 64;
    uint8_t bytes[kChunk * kUmlerRecordSize];
    std::size_t done = 0;
    while (done < count) {
        std::size_t want = std::min(kChunk, count - done);
        const auto at = static_cast<long>((first + done) * kUmlerRecordSize);
        if (std::fseek(file_, at, SEEK_SET) != 0) break;
        const std::size_t got = std::fread(bytes, 1, want * kUmlerRecordSize, file_);
        std::clearerr(file_); // a failed read finds nothing; the next one tries again
        std::size_t whole = got / kUmlerRecordSize;
        for (std::size_t i = 0; i < whole; ++i) out[done + i] = DecodeUmlerRecord(bytes + i * kUmlerRecordSize);
        done += whole;
        if (whole < want) break;
    }
    return done;
}

// --- lookups -----------------------------------------------------------------

UmlerRecord LookupUMLER(std::string_view key, const std::string& dataPath) {
    UmlerDataFile file;
    if (!file.Open(dataPath)) return NoRecord();
    return SearchUmler(file, key);
}

UmlerLookup::UmlerLookup(std::string dataPath, int cacheLevels)
    : path_(std::move(dataPath)), cache_(cacheLevels) {
    Reopen();
}

bool UmlerLookup::Reopen() {
    cache_.Clear();
    opened_ = Current();
    return file_.Open(path_);
}

UmlerLookup::Identity UmlerLookup::Current() const {
    Identity id;
    std::error_code ec;
    uint64_t size = std::filesystem::file_size(path_, ec);
    if (ec) return id;
    auto time = std::filesystem::last_write_time(path_, ec);
    if (ec) return id;
    id.size = size;
    id.time = static_cast<int64_t>(time.time_since_epoch().count());
    return id;
}

UmlerRecord UmlerLookup::Find(std::string_view key) {
    if (!(Current() == opened_)) Reopen();
    if (!file_.IsOpen()) return NoRecord();
    return SearchUmler(file_, key, &cache_);
}

} // namespace velmora
