// Options file speed: building the version 4 image, saving it through the
// temporary file and rename, and loading it back.
#include "data/OptionsFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace velmora;

struct BenchDir {
    std::filesystem::path path;
    BenchDir() {
        std::random_device rd;
        path = std::filesystem::temp_directory_path() / ("velmora-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(path);
    }
    ~BenchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// An options set with every operator slot in use and a full recent list.
void FillOptions(AEIData& data) {
    for (int i = kSystemSlots; i < kFormatSlots; ++i) {
        TagFormatData f = data.GetTagFormatData(0);
        f.systemSlot = 0;
        SetText(f.formatName, "Operator " + std::to_string(i));
        data.UpdateTagFormatData(i, f);
    }
    for (int i = 0; i < kRecentTagLines; ++i)
        data.UpdateRecentTagLine(i, "03/14/2026 09:26 - \"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER Ok RF Ok");
}

void BM_OptionsToBytes(benchmark::State& state) {
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    FillOptions(data);
    for (auto _ : state) benchmark::DoNotOptimize(OptionsToBytes(data));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kOptionsFileSize));
}
BENCHMARK(BM_OptionsToBytes);

void BM_LoadOptionsFromBytes(benchmark::State& state) {
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    FillOptions(data);
    const std::vector<uint8_t> image = OptionsToBytes(data);
    for (auto _ : state) benchmark::DoNotOptimize(LoadOptionsFromBytes(data, image.data(), image.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kOptionsFileSize));
}
BENCHMARK(BM_LoadOptionsFromBytes);

// A save includes flushing the temporary file to the disk, so its time is
// mostly the file system's.
void BM_SaveOptions(benchmark::State& state) {
    BenchDir dir;
    const std::string path = (dir.path / kOptionsFileName).string();
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    FillOptions(data);
    for (auto _ : state)
        if (SaveOptions(data, path) != 0) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveOptions)->Unit(benchmark::kMicrosecond);

void BM_LoadOptions(benchmark::State& state) {
    BenchDir dir;
    const std::string path = (dir.path / kOptionsFileName).string();
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    FillOptions(data);
    if (SaveOptions(data, path) != 0) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state)
        if (LoadOptions(data, path) != 0) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadOptions)->Unit(benchmark::kMicrosecond);

} // namespace
