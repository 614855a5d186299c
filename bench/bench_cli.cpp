// velmora-tool as the operator runs it, timed as whole processes from start
// to exit, each run paired with `cp` run just before it so that the ratio
// holds while the machine's speed drifts:
//   - start-up: `velmora-tool formats` against `cp` of a 4 KB file;
//   - register load: `velmora-tool umler load` of a generated 2,000,000-line
//     extract (64,000,000 bytes) against `cp` of the same extract, both
//     replacing an existing file.
// Each benchmark reports the tool's time (the manual time), the cp time and
// the ratio of the sums as counters. The tool is the one built beside this
// program (VELMORA_TOOL overrides it); the scratch files go under the
// system's temporary directory (VELMORA_BENCH_DIR overrides it) and are
// removed at the end. Run it in a Release build.
#include "UmlerBenchExtract.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <memory>
#include <random>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLines = 2000000;

std::string Tool() {
    if (const char* t = std::getenv("VELMORA_TOOL"); t && *t) return t;
    return VELMORA_TOOL_PATH;
}

struct Times {
    double wall = 0; // start to reaped exit, seconds
    double cpu = 0;  // user + system time of the process, seconds
};

// Runs argv[0] (searched on PATH) with output to /dev/null.
Times RunProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    struct rusage use {};
    while (wait4(pid, &status, 0, &use) < 0) {
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " " + args[1] + " failed");
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {std::chrono::duration<double>(end - start).count(), seconds(use.ru_utime) + seconds(use.ru_stime)};
}

struct Scratch {
    fs::path dir;
    std::string small, extract, copy, data;

    Scratch() {
        const char* env = std::getenv("VELMORA_BENCH_DIR");
        dir = env ? fs::path(env) : fs::temp_directory_path() / "velmora-bench-cli";
        fs::create_directories(dir);
        small = (dir / "small.bin").string();
        extract = (dir / "Umler.txt").string();
        copy = (dir / "copy.txt").string();
        data = (dir / "umlerdata.uml").string();
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(small.c_str(), "wb"), &std::fclose);
        if (!f) throw std::runtime_error("cannot write " + small);
        const std::string block(4096, 'x');
        std::fputs(block.c_str(), f.get());
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void GenerateExtract() {
        if (!fs::exists(extract)) WriteUmlerBenchExtract(extract, kLines, [](const char*, int, std::size_t) {});
    }
};

Scratch& TheScratch() {
    static Scratch s;
    return s;
}

// Pairs `tool` with `cp` run by run and reports both and their ratio.
void PairedRuns(benchmark::State& state, const std::vector<std::string>& tool,
                const std::vector<std::string>& cp) {
    RunProcess(cp); // the files in the page cache, the target existing
    RunProcess(tool);
    double toolSum = 0, cpSum = 0, toolCpu = 0, cpCpu = 0;
    for (auto _ : state) {
        const Times c = RunProcess(cp);
        const Times t = RunProcess(tool);
        cpSum += c.wall;
        toolSum += t.wall;
        cpCpu += c.cpu;
        toolCpu += t.cpu;
        state.SetIterationTime(t.wall);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["tool_ms"] = toolSum / n * 1000;
    state.counters["cp_ms"] = cpSum / n * 1000;
    state.counters["tool_per_cp"] = cpSum > 0 ? toolSum / cpSum : 0;
    // Processor time (user + system), which the other work on the machine
    // disturbs less than the wall time.
    state.counters["tool_cpu_ms"] = toolCpu / n * 1000;
    state.counters["cp_cpu_ms"] = cpCpu / n * 1000;
    state.counters["cpu_per_cp"] = cpCpu > 0 ? toolCpu / cpCpu : 0;
}

void BM_StartupFormats(benchmark::State& state) {
    Scratch& s = TheScratch();
    PairedRuns(state, {Tool(), "formats"}, {"cp", s.small, s.copy});
}
BENCHMARK(BM_StartupFormats)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_UmlerLoad2M(benchmark::State& state) {
    Scratch& s = TheScratch();
    s.GenerateExtract();
    PairedRuns(state, {Tool(), "umler", "load", s.extract, "--data", s.data}, {"cp", s.extract, s.copy});
}
BENCHMARK(BM_UmlerLoad2M)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

} // namespace
