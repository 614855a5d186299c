// velmora-tool reader search|params|rfcheck: the portable reader link on a
// real port, stepped on 100 ms ticks as the desktop frame's timer does.
#include "LinkRunner.h"

#include "serial/ProgrammerApi.h"
#include "serial/ReaderApi.h"
#include "serial/ReaderProtocol.h"
#include "serial/SerialAccess.h"
#include "util/FixedText.h"

#include <chrono>
#include <functional>
#include <iostream>
#include <optional>

namespace velmora::tool {
namespace {

constexpr int kExitIdOnly = 9;
constexpr int kExitDisagrees = 10;
constexpr int kExitNoReading = 11;

const char* const kUsage =
    "velmora-tool reader search [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool reader params [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool reader rfcheck [--port COMn|DEVICE] [--timeout SECONDS] [--verbose] --format NAME "
    "[--decimeters] [--half-frame] [--region north-america|sara|australia] [--options FILE] "
    "\"Field Name=value\" ...\n"
    "    COMn uses VELMORA_COMn or /dev/ttyS(n-1); any other DEVICE is used as Comm Port 1.\n"
    "    search probes the port (all four without --port). params reads the parameters from\n"
    "    the port, or from the reader port of the options file, or searches first. rfcheck\n"
    "    takes the tag just programmed (the same arguments as encode), opens the reader's port,\n"
    "    waits for one reading (without limit unless --timeout) and tells whether it agrees.\n"
    "    Traffic goes to \"communication log.txt\" in the working directory; --verbose also\n"
    "    shows it with the boxes and messages.";

class ToolReaderUi : public ReaderLinkUi {
public:
    bool verbose = false;
    std::optional<ReaderParameters> shown;
    // What is wrong with the reader's port, for the disconnected text.
    std::function<std::string()> portProblem;
    void OpenReaderMessage(const std::string& text) override { Say(text); }
    void SetReaderMessageText(const std::string& text) override { Say(text); }
    void OpenRfReadStatus(const std::string& text) override {
        rfOpen_ = true;
        Say(text);
    }
    bool RfReadStatusOpen() const override { return rfOpen_; }
    void CloseRfReadStatus() override { rfOpen_ = false; }
    // Said whatever --verbose: the reader was lost or will not open, and back.
    void SetRfReadStatusText(const std::string& text) override {
        std::cerr << text << '\n';
        if (text == kRfReaderDisconnectedText && portProblem) std::cerr << portProblem() << '\n';
    }
    void ShowReaderParameters(const ReaderParameters& p) override { shown = p; }

private:
    void Say(const std::string& text) const {
        if (verbose) std::cerr << text << '\n';
    }
    bool rfOpen_ = false;
};

class ReaderSession : public LinkRunner {
public:
    ReaderSession(const DataArgs& da, PortChoice choice, bool verbose)
        : LinkRunner(da, std::move(choice), verbose, [&da](SettingsBlock& s, const PortChoice& c) {
              s.feetInches = da.decimeters ? 0 : 1;
              if (c.given) s.readerPort = static_cast<uint8_t>(c.port);
          }) {
        ui_.verbose = verbose;
        ui_.portProblem = [this] {
            const int port = AssignedReaderPort(Data());
            return "Comm Port " + std::to_string(port + 1) + " (" + Device(port) + "): " + Cause(port);
        };
        Data().serial.reader.ui = &ui_;
    }

    ToolReaderUi& Ui() { return ui_; }

    // Runs a reader command until the notification that ends it was handled.
    void RunUntilEnded(int code) {
        ended_.clear();
        TickUntil([&] {
            for (int c : ended_)
                if (c == code) return true;
            return false;
        });
    }

    int ReadersFound() {
        int found = 0;
        for (int p = 0; p < kCommPorts; ++p) found += GetCommStatusData(Data(), p).readerHere == 1;
        return found;
    }

private:
    void Step() override { StepReaderLink(Data(), Ports()); }
    void HandlePosted(const std::vector<int>& posted) override {
        for (int code : posted)
            if (HandleReaderNotification(Data(), code)) ended_.push_back(code);
    }
    // Control bytes of the frames shown readably.
    std::string Shown(const std::string& line) const override {
        std::string out;
        for (char c : line) {
            if (c == 0x02) out += "<STX>";
            else if (c == 0x03) out += "<ETX>";
            else out += c;
        }
        return out;
    }

    ToolReaderUi ui_;
    std::vector<int> ended_;
};

// "Search for Reader"; true when exactly one reader answered.
bool Search(ReaderSession& s) {
    SearchForReader(s.Data());
    s.RunUntilEnded(kNotifyReaderSearchEnd);
    return s.ReadersFound() == 1 && AssignedReaderPort(s.Data()) >= 0;
}

void ReportSearchFailure(ReaderSession& s) {
    if (s.ReadersFound() > 1) {
        std::cerr << "More than one portable reader was found connected to the computer.  Please disconnect "
                     "all but one portable reader.\n";
        return;
    }
    std::cerr << "A portable reader could not be found.  Please check that it is connected to the computer "
                 "and that it is in the \"Host Transfer/Host Initiated\" mode.\n";
    for (int p = 0; p < kCommPorts; ++p) {
        const std::string device = s.Device(p);
        if (device.empty()) continue;
        std::cerr << "Comm Port " << p + 1 << " (" << device << "): " << GetText(GetCommStatusData(s.Data(), p).statusText)
                  << " (" << s.Cause(p) << ")\n";
    }
}

int RunSearch(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
    ReaderSession s(da, std::move(choice), verbose);
    AssignReaderPort(s.Data(), -1); // the search decides
    if (!Search(s)) {
        ReportSearchFailure(s);
        return kExitNotFound;
    }
    const int port = AssignedReaderPort(s.Data());
    std::cout << "Port=COM" << port + 1 << "\nDevice=" << s.Device(port) << '\n';
    return kExitOk;
}

int RunParams(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
    ReaderSession s(da, std::move(choice), verbose);

    // "Read Reader Parameters": the assigned port, or a search that then
    // reads from the port it found.
    ReadReaderParameters(s.Data());
    s.TickUntil([&] {
        return s.Ui().shown.has_value() ||
               (s.Data().serial.readerBusy == 0 && !s.Op().boxes.empty());
    });
    if (!s.Ui().shown) {
        if (AssignedReaderPort(s.Data()) < 0) ReportSearchFailure(s);
        else {
            const int port = AssignedReaderPort(s.Data());
            std::cerr << "The portable reader is not responding.  Please check the connection.\n"
                      << "Comm Port " << port + 1 << " (" << s.Device(port) << "): " << s.Cause(port) << '\n';
        }
        return kExitNotFound;
    }
    const ReaderParameters& p = *s.Ui().shown;
    std::cout << "Port=COM" << p.port + 1 << '\n'
              << "User ID=" << GetText(p.userIdFirst) << ' ' << GetText(p.userIdSecond) << '\n'
              << "Date/Time=" << GetText(p.dateTime) << '\n'
              << "Battery=" << GetText(p.battery) << '\n'
              << "Battery Alarm Level 1=" << GetText(p.alarmLevel1) << '\n'
              << "Battery Alarm Level 2=" << GetText(p.alarmLevel2) << '\n'
              << "Battery Alarm Level 3=" << GetText(p.alarmLevel3) << '\n'
              << "Firmware version=" << GetText(p.firmwareVersion) << '\n';
    return kExitOk;
}

int RunRfCheck(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    long timeout = 0;
    if (auto t = TakeOption(args, "timeout")) {
        timeout = ParseNumberArg(*t, "--timeout");
        if (timeout < 1 || timeout > 86400) throw UsageError{"--timeout needs 1 to 86400 seconds"};
    }
    DataArgs da = TakeDataArgs(args);
    ToolData td(da);
    TagArgs t = TakeTagArgs(args, td.data());

    if (!FieldValuesPass(t, td.FeetInches())) return kExitValueCheck;
    ReaderSession s(da, std::move(choice), verbose);
    AEIData& data = s.Data();

    // The tag just programmed, as the program-tag workflow keeps it.
    LastTagRecord tag;
    tag.formatIndex = static_cast<uint8_t>(t.formatIndex);
    for (auto& text : t.texts) text = UpperAscii(text);
    for (int row = 0; row < kFieldRows; ++row) tag.SetFieldText(row, t.texts[static_cast<std::size_t>(row)]);
    const BuiltFrame frame = BuildTagFrame(t.format, t.texts, td.FeetInches(), data.HalfFrameMode());
    tag.SetFrameText(frame.frameText);
    data.UpdateLastTagRecord(tag);
    std::cout << "Frame=" << frame.frameText << '\n';

    if (AssignedReaderPort(data) < 0 && !Search(s)) {
        ReportSearchFailure(s);
        return kExitNotFound;
    }
    const int port = AssignedReaderPort(data);
    CommLinkData link = GetCommLinkData(data, port);
    link.reader.rfReadRequested = 1;
    UpdateCommLinkData(data, port, link);
    ProgrammerState ps = GetProgrammerState(data);
    ps.operationState = kOpRfCheck;
    ps.operationResult = kResultProgramOk;
    SetProgrammerState(data, ps);
    std::cerr << "Please read the tag with the portable reader (Comm Port " << port + 1 << ", "
              << s.Device(port) << ")\n";

    const int before = s.Completions();
    const auto start = std::chrono::steady_clock::now();
    s.TickUntil(
        [&] {
            if (s.Completions() > before) return true;
            if (timeout > 0 && std::chrono::steady_clock::now() - start >= std::chrono::seconds(timeout))
                CancelRfReading(data);
            return false;
        },
        0);
    const uint8_t result = GetProgrammerState(data).operationResult;
    if (result == 20) {
        std::cerr << "No reading within " << timeout << " s\n";
        return kExitNoReading;
    }
    std::cout << "Reading=" << data.serial.reader.judgedReading << '\n';
    switch (result) {
    case 21: std::cout << "Result=agrees\n"; return kExitOk;
    case 22: std::cout << "Result=initial and number only\n"; return kExitIdOnly;
    default: std::cout << "Result=disagrees\n"; return kExitDisagrees;
    }
}

int RunReader(std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"reader needs search, params or rfcheck"};
    const std::string what = args[0];
    args.erase(args.begin());
    if (what == "search") return RunSearch(args);
    if (what == "params") return RunParams(args);
    if (what == "rfcheck") return RunRfCheck(args);
    throw UsageError{"unknown reader command \"" + what + "\""};
}

const Registrar reg("reader", kUsage, RunReader);

} // namespace
} // namespace velmora::tool
