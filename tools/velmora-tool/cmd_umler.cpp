// velmora-tool umler: loads the UMLER text extract into the data file and
// looks vehicles up in it, as the desktop program's load command and Find
// UMLER Data dialog do.
//
// Exit codes: 0 done; 1 usage or an invalid vehicle number; 2 the load could
// not open, read or write a file; 3 the extract was loaded but has lines out
// of order or lines without a valid car initial and number (lookups will miss
// vehicles); 4 vehicle not found (also when the data file cannot be read);
// 130 load interrupted (the previous data file is kept).
#include "ToolCommon.h"

#include "umler/UmlerKey.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerRecord.h"
#include "umler/UmlerTexts.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define VELMORA_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define VELMORA_ISATTY(f) isatty(fileno(f))
#endif

namespace {

using namespace velmora;
using velmora::tool::UsageError;

constexpr int kExitFileError = 2;
constexpr int kExitOutOfOrder = 3;
constexpr int kExitNotFound = 4;
constexpr int kExitInterrupted = 130;

// Set by Ctrl-C during a load; the progress callback then stops the load so
// that the temporary file is removed and the previous register kept.
volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) { gInterrupted = 1; }

// "Loading UMLER 42% [########            ]" redrawn in place on a terminal.
void DrawBar(int percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::string bar = "\r" + UmlerGaugeTitle(percent) + " [";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
    bar += "]";
    std::fputs(bar.c_str(), stderr);
    std::fflush(stderr);
}

int RunLoad(const std::string& extract, const std::string& data) {
    const bool bar = VELMORA_ISATTY(stderr);
    gInterrupted = 0;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    UmlerLoadResult r = LoadUMLER(extract, data, [bar](int percent) {
        if (bar) DrawBar(percent);
        return gInterrupted == 0;
    });
    std::signal(SIGINT, previousInt == SIG_ERR ? SIG_DFL : previousInt);
    std::signal(SIGTERM, previousTerm == SIG_ERR ? SIG_DFL : previousTerm);
    if (bar) std::fputs("\n", stderr);

    if (!r.Ok()) {
        std::cerr << UmlerLoadMessage(r) << "\n";
        if (!r.systemError.empty()) std::cerr << "velmora-tool: " << r.systemError << "\n";
        return r.status == UmlerLoadStatus::Interrupted ? kExitInterrupted : kExitFileError;
    }
    std::cout << r.recordsWritten << " records written, " << r.linesOutOfOrder << " lines out of order";
    if (r.blankLinesSkipped) std::cout << ", " << r.blankLinesSkipped << " blank lines skipped";
    if (r.linesWithoutKey) std::cout << ", " << r.linesWithoutKey << " lines without a valid car initial and number";
    std::cout << "\n";
    if (r.linesOutOfOrder || r.linesWithoutKey) {
        std::cerr << UmlerLoadMessage(r) << "\n";
        return kExitOutOfOrder;
    }
    return velmora::tool::kExitOk;
}

int RunFind(const std::string& initial, const std::string& number, const std::string& data) {
    std::string key;
    if (!BuildVehicleKey(initial, number, key)) throw UsageError{kUmlerInvalidVehicleNumber};
    UmlerRecord r = LookupUMLER(key, data);
    if (!r.IsRecord()) {
        std::cerr << kUmlerCannotFind << "\n";
        return kExitNotFound;
    }
    UmlerRecordTexts t = MakeUmlerRecordTexts(r, key);
    std::cout << "Vehicle ID=" << t.vehicleId << "\n"
              << "Type=" << t.type << "\n"
              << "Axles=" << t.axles << "\n"
              << "Platform=" << t.platform << "\n"
              << "Length=" << t.length << "\n"
              << "Tare Weight=" << t.tareWeight << "\n"
              << "Capacity=" << t.capacity << "\n";
    return velmora::tool::kExitOk;
}

int RunUmler(std::vector<std::string>& args) {
    const std::string data = velmora::tool::TakeOption(args, "data").value_or(kUmlerDataFileName);
    velmora::tool::RejectUnknownOptions(args);
    if (args.empty()) throw UsageError{"umler needs load or find"};
    const std::string sub = args[0];
    if (sub == "load") {
        if (args.size() != 2) throw UsageError{"umler load needs one EXTRACT file"};
        return RunLoad(args[1], data);
    }
    if (sub == "find") {
        if (args.size() != 3) throw UsageError{"umler find needs INITIAL and NUMBER"};
        return RunFind(args[1], args[2], data);
    }
    throw UsageError{"unknown umler command \"" + sub + "\""};
}

} // namespace

static const velmora::tool::Registrar reg(
    "umler",
    "velmora-tool umler load EXTRACT [--data FILE]\nvelmora-tool umler find INITIAL NUMBER [--data FILE]",
    RunUmler);
