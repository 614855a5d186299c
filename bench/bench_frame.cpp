// Encode plus decode of a railcar frame, as one Program Tag and one Read Tag
// do it: value check, build, decode against the built-in formats, raw data line.
#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <benchmark/benchmark.h>

namespace {

using namespace velmora;

struct Railcar {
    SilentOperator op;
    SystemClock clock;
    AEIData data{op, clock};
    TagFormatData format;
    FieldTexts texts;
    Railcar() {
        data.BuildBuiltInFormats();
        format = data.GetTagFormatData(data.FindTagFormatByName("Railcar"));
        const char* values[] = {"ABCD", "42", "RIGHT", "50-6", "", "4", "1", "0"};
        for (int r = 0; r < 8; ++r) texts[r] = values[r];
    }
};

void BM_RailcarEncodeDecode(benchmark::State& state) {
    Railcar rc;
    const auto shown = ShownRows(rc.format);
    for (auto _ : state) {
        ValueCheckResult check = CheckFieldValues(rc.format, rc.texts, shown, true);
        BuiltFrame built = BuildTagFrame(rc.format, rc.texts, true, false);
        DecodedFrame decoded = DecodeTagFrame(rc.data, built.frameText, false, kRegionNorthAmerica, true);
        benchmark::DoNotOptimize(check);
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_RailcarEncodeDecode);

void BM_RailcarBuild(benchmark::State& state) {
    Railcar rc;
    for (auto _ : state) {
        BuiltFrame built = BuildTagFrame(rc.format, rc.texts, true, false);
        benchmark::DoNotOptimize(built);
    }
}
BENCHMARK(BM_RailcarBuild);

void BM_RailcarDecode(benchmark::State& state) {
    Railcar rc;
    const std::string frame = BuildTagFrame(rc.format, rc.texts, true, false).frameText;
    for (auto _ : state) {
        DecodedFrame decoded = DecodeTagFrame(rc.data, frame, false, kRegionNorthAmerica, true);
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_RailcarDecode);

void BM_ShowRawData(benchmark::State& state) {
    Railcar rc;
    const TagBitArray bits = BuildTagFrame(rc.format, rc.texts, true, false).bits;
    for (auto _ : state) benchmark::DoNotOptimize(ShowRawData(bits));
}
BENCHMARK(BM_ShowRawData);

} // namespace
