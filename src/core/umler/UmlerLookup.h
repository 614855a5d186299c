// Looking a vehicle up in the UMLER data file. Nothing of the register is held
// in memory: the search reads single records by seeking in the file,
//
//   n = records; lo = 0; hi = n; step = n / 2; pos = step
//   repeat: read record pos; step /= 2;
//           record < key: lo = pos, pos += step
//           record > key: hi = pos, pos -= step
//           equal: found
//   while hi - lo > 49
//   then the records lo..hi are scanned in order,
//
// which finds every vehicle of a register in ascending key order and reads at
// most log2(n) + 51 records.
#pragma once

#include "umler/UmlerRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// Where the search reads records: the data file, or a fake in tests.
class UmlerRecordSource {
public:
    virtual ~UmlerRecordSource() = default;
    virtual uint64_t RecordCount() const = 0;
    // Reads up to `count` records from index `first` on into `out`; returns
    // the number of whole records read (fewer at the end of the file or on an
    // error).
    virtual std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) = 0;
};

// The records met on the first levels of the search. Every lookup in the same
// register passes through them, so a file kept open answers most of a lookup
// from here. Its size is fixed by the number of levels, not by the register
// (14 levels: at most 16383 records, about 340 KB, filled as lookups pass).
class UmlerSearchCache {
public:
    explicit UmlerSearchCache(int levels = 14);
    int Levels() const { return levels_; }
    // Node numbers: the first probe is 0, the probes after node i are 2i + 1
    // (record larger than the key) and 2i + 2 (record smaller).
    bool Get(uint64_t node, UmlerRecord& out) const;
    void Put(uint64_t node, const UmlerRecord& r);
    void Clear();

private:
    int levels_;
    std::vector<UmlerRecord> records_;
    std::vector<uint8_t> valid_;
};

// The search above over any source. `cache` (optional) must belong to this
// source and stay with it.
UmlerRecord SearchUmler(UmlerRecordSource& source, std::string_view key, UmlerSearchCache* cache = nullptr);

// The data file opened for reading. The record count is the file size divided
// by 21, taken when it is opened; trailing bytes of a partial record are not
// read.
// Only a regular file is opened; a read that fails finds nothing.
class UmlerDataFile : public UmlerRecordSource {
public:
    UmlerDataFile() = default;
    ~UmlerDataFile() override;
    UmlerDataFile(const UmlerDataFile&) = delete;
    UmlerDataFile& operator=(const UmlerDataFile&) = delete;
    UmlerDataFile(UmlerDataFile&& other) noexcept { *this = std::move(other); }
    UmlerDataFile& operator=(UmlerDataFile&& other) noexcept {
        if (this != &other) {
            Close();
            file_ = std::exchange(other.file_, nullptr);
            count_ = std::exchange(other.count_, 0);
        }
        return *this;
    }
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    uint64_t RecordCount() const override { return count_; }
    std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) override;

private:
    std::FILE* file_ = nullptr;
    uint64_t count_ = 0;
};

// Finds the record of the vehicle whose key is given ("NS  001234") in the
// data file at `dataPath`. The result's initial code is -1 when the file
// cannot be opened or the vehicle is not in it. Changes no state.
UmlerRecord LookupUMLER(std::string_view key, const std::string& dataPath);

// A data file kept open for many lookups, with the search cache: the way to
// look vehicles up quickly and repeatedly. Before each lookup it checks the
// file's size and modification time, and opens the file again when a load
// has replaced it (or when it has appeared since), so it never answers from
// an old register.
class UmlerLookup {
public:
    explicit UmlerLookup(std::string dataPath, int cacheLevels = 14);
    bool Reopen();
    bool IsOpen() const { return file_.IsOpen(); }
    uint64_t RecordCount() const { return file_.RecordCount(); }
    UmlerRecord Find(std::string_view key);

    // What tells one version of the file from the next.
    struct Identity {
        uint64_t size = UINT64_MAX; // UINT64_MAX: no file
        int64_t time = 0;           // last modification
        bool operator==(const Identity&) const = default;
    };

private:
    Identity Current() const;

    std::string path_;
    UmlerDataFile file_;
    UmlerSearchCache cache_;
    Identity opened_;
};

} // namespace velmora
