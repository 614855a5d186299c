// UMLER register speed: loading a generated 2,000,000-line extract against
// copying the same file (cp itself, std::filesystem::copy_file, and a plain
// read/write loop), and looking vehicles up in the 2,000,000-record data file.
//
// The extract and the data files are written to a scratch folder under the
// system's temporary directory (VELMORA_BENCH_DIR overrides it) and removed at
// the end. Run it in a Release build, or through bench/umler_measure.sh, which
// also times the command-line load against `cp` and reports peak memory.
#include "umler/UmlerKey.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerRecord.h"

#include "UmlerBenchExtract.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr std::size_t kLines = 2000000;

struct Fixture {
    fs::path dir;
    std::string extract, data, copy;
    std::vector<std::string> present, absent;

    Fixture() {
        const char* env = std::getenv("VELMORA_BENCH_DIR");
        dir = env ? fs::path(env) : fs::temp_directory_path() / "velmora-bench-umler";
        fs::create_directories(dir);
        extract = (dir / "Umler.txt").string();
        data = (dir / kUmlerDataFileName).string();
        copy = (dir / "Umler copy.txt").string();
        Generate();
        UmlerLoadResult r = LoadUMLER(extract, data);
        if (!r.Ok() || r.recordsWritten != kLines || r.linesOutOfOrder != 0)
            throw std::runtime_error("generated extract did not load cleanly");
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The extract, and every 499th vehicle as a key present and the number
    // after another as a key absent.
    void Generate() {
        std::mt19937 rng = WriteUmlerBenchExtract(extract, kLines, [&](const char* ini, int number, std::size_t i) {
            if (i % 499 == 0) present.push_back(MakeVehicleKey(ini, std::to_string(number)));
            if (i % 499 == 250) absent.push_back(MakeVehicleKey(ini, std::to_string(number + 1)));
        });
        std::shuffle(present.begin(), present.end(), rng);
        std::shuffle(absent.begin(), absent.end(), rng);
    }
};

Fixture& Files() {
    static Fixture f; // built once, on first use
    return f;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fs::file_size(Files().extract)));
}

// --- copying the extract ---------------------------------------------------------

void BM_CopyWithCp(benchmark::State& state) {
    Fixture& f = Files();
    const std::string cmd = "cp '" + f.extract + "' '" + f.copy + "'";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("cp failed");
    SetBytes(state);
}
BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyWithCopyFile(benchmark::State& state) {
    Fixture& f = Files();
    for (auto _ : state) fs::copy_file(f.extract, f.copy, fs::copy_options::overwrite_existing);
    SetBytes(state);
}
BENCHMARK(BM_CopyWithCopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bytes through user space in 128 KB blocks, as cp does without an in-kernel copy.
void BM_CopyWithReadWrite(benchmark::State& state) {
    Fixture& f = Files();
    std::vector<char> buf(128 * 1024);
    for (auto _ : state) {
        std::FILE* in = std::fopen(f.extract.c_str(), "rb");
        std::FILE* out = std::fopen(f.copy.c_str(), "wb");
        std::setvbuf(in, nullptr, _IONBF, 0);
        std::setvbuf(out, nullptr, _IONBF, 0);
        std::size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), in)) > 0) std::fwrite(buf.data(), 1, n, out);
        std::fclose(in);
        std::fclose(out);
    }
    SetBytes(state);
}
BENCHMARK(BM_CopyWithReadWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- loading -----------------------------------------------------------------------

void BM_LoadUMLER(benchmark::State& state) {
    Fixture& f = Files();
    const std::string target = (f.dir / "loaded.uml").string();
    uint64_t records = 0;
    for (auto _ : state) {
        UmlerLoadResult r = LoadUMLER(f.extract, target, [](int) { return true; });
        if (!r.Ok()) state.SkipWithError("load failed");
        records = r.recordsWritten;
    }
    SetBytes(state);
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_LoadUMLER)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- lookups -----------------------------------------------------------------------

// Counts the records a search reads.
class Counting : public UmlerRecordSource {
public:
    explicit Counting(UmlerRecordSource& s) : s_(s) {}
    uint64_t RecordCount() const override { return s_.RecordCount(); }
    std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) override {
        reads += count;
        return s_.ReadRecords(first, count, out);
    }
    uint64_t reads = 0;

private:
    UmlerRecordSource& s_;
};

// Times every lookup on its own and reports the median and the 99th percentile.
template <class Fn>
void TimedLookups(benchmark::State& state, const std::vector<std::string>& keys, bool expectHit, Fn&& find) {
    std::vector<double> ns;
    ns.reserve(1 << 20);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& key = keys[i++ % keys.size()];
        auto t0 = std::chrono::steady_clock::now();
        UmlerRecord r = find(key);
        auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(r);
        if (r.IsRecord() != expectHit) state.SkipWithError("wrong lookup result");
        if (ns.size() < ns.capacity()) ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    std::sort(ns.begin(), ns.end());
    if (!ns.empty()) {
        state.counters["median_us"] = ns[ns.size() / 2] / 1000.0;
        state.counters["p99_us"] = ns[ns.size() * 99 / 100] / 1000.0;
    }
}

void BM_LookupWarm(benchmark::State& state) {
    Fixture& f = Files();
    UmlerLookup lookup(f.data);
    const bool hit = state.range(0) == 1;
    const auto& keys = hit ? f.present : f.absent;
    for (const auto& k : keys) lookup.Find(k); // warm: page cache and the probe cache
    TimedLookups(state, keys, hit, [&](const std::string& k) { return lookup.Find(k); });
}
BENCHMARK(BM_LookupWarm)->Arg(1)->Arg(0)->ArgName("present")->Unit(benchmark::kMicrosecond);

void BM_LookupUMLER_OpenPerCall(benchmark::State& state) {
    Fixture& f = Files();
    const bool hit = state.range(0) == 1;
    const auto& keys = hit ? f.present : f.absent;
    for (const auto& k : keys) LookupUMLER(k, f.data); // page cache warm
    TimedLookups(state, keys, hit, [&](const std::string& k) { return LookupUMLER(k, f.data); });
}
BENCHMARK(BM_LookupUMLER_OpenPerCall)->Arg(1)->Arg(0)->ArgName("present")->Unit(benchmark::kMicrosecond);

// Not a timing: the most records any sampled lookup reads, against log2(n) + 51.
void BM_LookupReads(benchmark::State& state) {
    Fixture& f = Files();
    UmlerDataFile file;
    file.Open(f.data);
    Counting counting(file);
    uint64_t worst = 0, total = 0, lookups = 0;
    for (auto _ : state) {
        for (const auto* keys : {&f.present, &f.absent}) {
            for (const auto& k : *keys) {
                counting.reads = 0;
                benchmark::DoNotOptimize(SearchUmler(counting, k));
                worst = std::max(worst, counting.reads);
                total += counting.reads;
                ++lookups;
            }
        }
    }
    state.counters["max_reads"] = static_cast<double>(worst);
    state.counters["mean_reads"] = static_cast<double>(total) / static_cast<double>(lookups);
    state.counters["bound"] = std::log2(static_cast<double>(file.RecordCount())) + 51;
}
BENCHMARK(BM_LookupReads)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
