// One tick of the programmer link with four open ports, as the frame's
// 100 ms timer runs it: polling four reads, the per-port step, and the
// answers taken from a full message queue, then the portable reader's step
// over the same ports.
#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReaderApi.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace velmora;

// A port whose device sends the same chunk on every read (or nothing).
struct ChunkPort : CommPort {
    std::string chunk;
    bool open = false;
    bool Open(const std::string&) override { return open = true; }
    uint32_t LastErrorCode() const override { return 0; }
    std::string ErrorText() const override { return "Success"; }
    bool Configure(const PortMode&) override { return true; }
    bool IsOpen() const override { return open; }
    long Write(const uint8_t*, std::size_t n) override { return static_cast<long>(n); }
    CommReadResult Read(uint8_t* buffer, std::size_t max) override {
        CommReadResult r;
        r.count = chunk.size() < max ? chunk.size() : max;
        std::memcpy(buffer, chunk.data(), r.count);
        return r;
    }
    void DiscardInput() override {}
    void Close() override { open = false; }
};

struct ChunkFactory : CommPortFactory {
    std::string chunk;
    std::unique_ptr<CommPort> CreatePort() override {
        auto p = std::make_unique<ChunkPort>();
        p->chunk = chunk;
        return p;
    }
};

struct FixedClock : Clock {
    uint32_t MonotonicSeconds() override { return 100000; }
    LocalDateTime Now() override { return {2026, 3, 14, 9, 26, 53, 73}; }
};

// Four ports open for the programmer and probing (a search in progress),
// with deadlines far away so the state does not move between ticks.
struct FourPorts {
    SilentOperator op;
    FixedClock clock;
    AEIData data{op, clock};
    ChunkFactory factory;
    CommLog log{data};
    std::unique_ptr<SerialPorts> ports;

    explicit FourPorts(std::string chunk, bool logFile = false, const std::string& dir = {}) {
        factory.chunk = std::move(chunk);
        SettingsBlock s = data.GetSettings();
        s.logFileOn = logFile ? 1 : 0;
        data.UpdateSettings(s);
        data.SetStartDirectory(dir);
        ports = std::make_unique<SerialPorts>(factory, log, [](int p) { return "dev" + std::to_string(p); });
        ResetCommStatus(data, *ports);
        for (int p = 0; p < kCommPorts; ++p) {
            OpenCommPort(data, *ports, p, kProgrammerMode, 0, kDeviceProgrammer);
            StartCommRead(data, *ports, p);
            CommLinkData r = GetCommLinkData(data, p);
            r.awaitedResponse = kAwaitModel;
            r.probing = 1;
            r.retries = 3;
            r.deadline = clock.MonotonicSeconds() + 1000;
            r.programmerSearchStatus = kProgrammerSearching;
            UpdateCommLinkData(data, p, r);
        }
        ProgrammerState st = GetProgrammerState(data);
        st.operationState = kOpSearch;
        st.searchStarted = 1;
        SetProgrammerState(data, st);
    }

    void FillQueue() {
        CommMessage m;
        SetText(m.text, "#2010123456789ABCDEF0123456789ABCD");
        for (int i = 0; i < kMessageSlots; ++i) {
            m.port = i % kCommPorts;
            m.received = clock.MonotonicSeconds() - static_cast<uint32_t>(i % 7);
            AddMessage(data, m);
        }
        for (int p = 0; p < kCommPorts; ++p) {
            CommLinkData r = GetCommLinkData(data, p);
            r.newMessages = 1;
            UpdateCommLinkData(data, p, r);
        }
    }
};

// Nothing arrives; a full queue of messages waits for ports not yet told.
void BM_TickQuietPortsFullQueue(benchmark::State& state) {
    FourPorts rig("");
    rig.FillQueue();
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(rig.data, p);
        r.newMessages = 0;
        UpdateCommLinkData(rig.data, p, r);
    }
    for (auto _ : state) {
        StepProgrammerLink(rig.data, *rig.ports);
        StepReaderLink(rig.data, *rig.ports);
    }
    if (GetMessageCount(rig.data) != kMessageSlots) state.SkipWithError("queue changed");
}
BENCHMARK(BM_TickQuietPortsFullQueue);

// The worst tick: all four ports flagged and the 100 queued lines taken,
// oldest first per port, in one tick.
void BM_TickDrainingFullQueue(benchmark::State& state) {
    FourPorts rig("");
    for (auto _ : state) {
        state.PauseTiming();
        rig.FillQueue();
        state.ResumeTiming();
        StepProgrammerLink(rig.data, *rig.ports);
        StepReaderLink(rig.data, *rig.ports);
    }
    if (GetMessageCount(rig.data) != 0) state.SkipWithError("queue not drained");
}
BENCHMARK(BM_TickDrainingFullQueue);

// Every port delivers a full 100-byte read of answer lines each tick: ring,
// line assembler, log list, queue and answer handling. With range(0) = 1
// each line is also appended to the communication log file.
void BM_TickFullReadsOnFourPorts(benchmark::State& state) {
    std::string chunk;
    while (chunk.size() + 12 <= 100) chunk += "#Busy line\r\n";
    const std::string dir = (std::filesystem::temp_directory_path() / "velmora-bench-link").string();
    std::filesystem::create_directories(dir);
    FourPorts rig(chunk, state.range(0) != 0, dir + "/");
    for (auto _ : state) {
        StepProgrammerLink(rig.data, *rig.ports);
        StepReaderLink(rig.data, *rig.ports);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TickFullReadsOnFourPorts)->Arg(0)->Arg(1);

} // namespace
