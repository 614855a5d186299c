// Opening a fleet list: a 10,000-line railcar list read and every line checked
// and framed as the Import Tag List command and programmer batch do it, and
// the vehicles compared with a tag log of the same size.
#include "data/AEIData.h"
#include "tagwindow/ImportList.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>

namespace {

using namespace velmora;

std::string FleetList(int lines) {
    std::string text;
    for (int n = 0; n < lines; ++n)
        text += "TTX," + std::to_string(100000 + n) + ",RIGHT,89-4,4,1,0\r\n";
    return text;
}

void BM_ImportListOpen(benchmark::State& state) {
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    data.BuildBuiltInFormats();
    const std::string text = FleetList(static_cast<int>(state.range(0)));
    ImportListOptions o;
    o.formatIndex = data.FindTagFormatByName("Railcar");
    std::unordered_set<std::string> logKeys;
    for (int n = 0; n < state.range(0); ++n)
        logKeys.insert("Railcar,TTX ," + std::to_string(200000 + n));
    for (auto _ : state) {
        ImportList list = ReadImportList(data, text, o);
        MarkVehiclesInTagLog(data, list, logKeys, true);
        benchmark::DoNotOptimize(list);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportListOpen)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
