// velmora-tool programmer search|status|program|read: the real programmer
// link on a real port, stepped on 100 ms ticks as the desktop frame's timer
// does. The tool is the only place that sleeps between ticks.
#include "FrameArgs.h"
#include "ToolCommon.h"

#include "commlog/CommLog.h"
#include "data/OptionsFile.h"
#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#if VELMORA_TOOL_WITH_QT
#include "qt/QtCommPort.h"

#include <QCoreApplication>
#endif

namespace velmora::tool {
namespace {

constexpr int kExitValueCheck = 2;
constexpr int kExitNotIdentified = 3;
constexpr int kExitNotFound = 4;
constexpr int kExitFailed = 5;
constexpr int kExitWatchDog = 6;
constexpr int kExitPortNotOpened = 7;

constexpr int kTickMs = 100;
constexpr int kMaxTicks = 3000; // 5 minutes: no exchange of the link lasts that long

const char* const kUsage =
    "velmora-tool programmer search [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool programmer status [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool programmer program [--port COMn|DEVICE] [--search] [--verbose] --format NAME "
    "[--decimeters] [--half-frame] [--region north-america|sara|australia] [--options FILE] "
    "\"Field Name=value\" ...\n"
    "velmora-tool programmer read [--port COMn|DEVICE] [--search] [--verbose] [--decimeters] "
    "[--half-frame] [--region north-america|sara|australia] [--options FILE]\n"
    "    COMn uses VELMORA_COMn or /dev/ttyS(n-1); any other DEVICE is used as Comm Port 1.\n"
    "    search and status probe the port (all four without --port). program and read take\n"
    "    the programmer to be on the --port given and send at once (--search probes first);\n"
    "    without --port they search all four ports first. Traffic goes to \"communication\n"
    "    log.txt\" in the working directory; --verbose also shows it with the prompts and boxes.";

// Prints what the link shows the operator when asked to; answers No to the
// retry question so a failed search ends; keeps posted notifications.
class ToolOperator : public Operator {
public:
    bool verbose = false;
    std::vector<int> posted;

    MsgAnswer MessageBox(const std::string& caption, const std::string& text, MsgIcon,
                         MsgButtons buttons) override {
        if (verbose) std::cerr << "[" << caption << "] " << text << '\n';
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                   : MsgAnswer::Ok;
    }
    void ShowPrompt(const std::string& text, int) override {
        if (verbose) std::cerr << "prompt: " << text << '\n';
    }
    void PostNotification(int code) override { posted.push_back(code); }
};

struct PortChoice {
    bool given = false;
    int port = 0;
    PortDeviceMap map = DefaultPortDevice;
};

PortChoice TakePort(std::vector<std::string>& args) {
    PortChoice c;
    auto p = TakeOption(args, "port");
    if (!p) return c;
    if (p->empty()) throw UsageError{"--port needs COM1..COM4 or a device"};
    c.given = true;
    if (auto com = ParseComName(*p)) {
        c.port = *com;
        c.map = SinglePortMap(*com, DefaultPortDevice(*com));
    } else {
        c.port = 0;
        c.map = SinglePortMap(0, *p);
    }
    return c;
}

#if VELMORA_TOOL_WITH_QT

class LinkSession {
public:
    LinkSession(const DataArgs& da, PortChoice choice, bool verbose)
        : data_(op_, clock_), log_(data_), ports_(factory_, log_, choice.map), choice_(std::move(choice)) {
        op_.verbose = verbose;
        verbose_ = verbose;
        data_.SetMarketRegion(da.region);
        if (!da.optionsFile.empty()) {
            const int rc = LoadOptions(data_, da.optionsFile);
            if (rc == 3) throw UsageError{"cannot open the options file \"" + da.optionsFile + "\""};
            if (rc == 1) throw UsageError{"\"" + da.optionsFile + "\" is not an options file"};
        }
        SettingsBlock s = data_.GetSettings();
        if (da.halfFrame) s.programmerModel = 1;
        data_.UpdateSettings(s);
        data_.BuildBuiltInFormats();
        feetInches_ = !da.decimeters;

        data_.serial.programmerCompletion = [this] { ++completions_; };
        ClearProgrammerRunState(data_);
        ProgrammerState st = GetProgrammerState(data_);
        st.port = -1;
        st.searchStarted = 1; // the tool decides when to search
        SetProgrammerState(data_, st);
        ResetCommStatus(data_, ports_);
    }

    AEIData& Data() { return data_; }
    bool FeetInches() const { return feetInches_; }

    // One tick, then the posted notifications as the frame handles them.
    void Tick() {
        StepProgrammerLink(data_, ports_);
        std::vector<int> posted;
        posted.swap(op_.posted);
        for (int code : posted)
            if (code == kNotifyProgrammerSearchEnd) {
                FinishProgrammerSearch(data_);
                searchFinished_ = true;
            }
        op_.posted.clear(); // the connection status dialog has no place here
        if (verbose_) {
            const auto& lines = log_.RecentTraffic();
            // Lines beyond the list's capacity are not shown again.
            while (shownLines_ < lines.size()) std::cerr << lines[shownLines_++] << '\n';
            if (lines.size() >= kRecentTrafficLines) shownLines_ = lines.size();
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
    }

    bool TickUntil(const std::function<bool()>& done) {
        for (int i = 0; i < kMaxTicks; ++i) {
            Tick();
            if (done()) return true;
        }
        return false;
    }

    // The whole search ("Search for a Programmer"), or the check of the
    // given port; true when exactly one programmer answered.
    bool Find() {
        if (choice_.given) {
            ProgrammerState s = GetProgrammerState(data_);
            s.port = choice_.port;
            s.nextCheck = 0;
            SetProgrammerState(data_, s);
            Tick(); // starts the port check
            TickUntil([this] { return GetProgrammerState(data_).operationState == kOpIdle; });
            return GetProgrammerState(data_).on == 1;
        }
        SearchForProgrammer(data_);
        searchFinished_ = false;
        TickUntil([this] { return searchFinished_; });
        int found = 0;
        for (int p = 0; p < kCommPorts; ++p) found += GetCommStatusData(data_, p).programmerHere == 1;
        return found == 1 && GetProgrammerState(data_).on == 1;
    }

    // Takes the programmer to be on the chosen port without a probe.
    bool Assume() {
        const int p = choice_.port;
        if (OpenCommPort(data_, ports_, p, kProgrammerMode, 0, kDeviceProgrammer) != kOpenReady) {
            std::cerr << "velmora-tool: " << ports_.PortDevice(p) << ": "
                      << GetCommStatusData(data_, p).statusText << '\n';
            return false;
        }
        // No probe echo absorbs the first byte after the open here.
        CommLinkData link = GetCommLinkData(data_, p);
        PrimeRingForNewLine(link);
        UpdateCommLinkData(data_, p, link);
        ProgrammerState s = GetProgrammerState(data_);
        s.port = p;
        s.on = 1;
        s.nextCheck = data_.GetClock().MonotonicSeconds() + kCheckInterval;
        SetProgrammerState(data_, s);
        return true;
    }

    // Runs a stored request to its completion.
    bool RunRequest() {
        const int before = completions_;
        return TickUntil([&] { return completions_ > before; });
    }

    void PrintWhere() {
        const ProgrammerState s = GetProgrammerState(data_);
        std::cout << "Port=COM" << s.port + 1 << '\n';
        std::cout << "Device=" << ports_.PortDevice(s.port) << '\n';
        const std::string model(GetText(s.model));
        std::cout << "Model=" << (model.empty() ? DetectModel(GetText(s.response)).name : model) << '\n';
        std::cout << "Version=" << GetText(s.version) << '\n';
    }

    void ReportNotFound() {
        if (choice_.given) {
            std::cerr << "A programmer was not found on Comm Port " << choice_.port + 1 << " ("
                      << ports_.PortDevice(choice_.port) << "): "
                      << GetCommStatusData(data_, choice_.port).statusText;
            // The system's own reason when the device could not be opened.
            if (const uint32_t code = GetCommLinkData(data_, choice_.port).lastOsError)
                std::cerr << " (" << std::strerror(static_cast<int>(code)) << ")";
            std::cerr << '\n';
        }
        else
            std::cerr << "A programmer could not be found.  Please check that it is turned on and "
                         "connected to the computer.\n";
        for (int p = 0; p < kCommPorts && verbose_; ++p)
            std::cerr << "Comm Port " << p + 1 << ": " << GetCommStatusData(data_, p).statusText << '\n';
    }

private:
    ToolOperator op_;
    SystemClock clock_;
    AEIData data_;
    QtCommPortFactory factory_;
    CommLog log_;
    SerialPorts ports_;
    PortChoice choice_;
    bool verbose_ = false;
    bool feetInches_ = true;
    bool searchFinished_ = false;
    int completions_ = 0;
    std::size_t shownLines_ = 0;
};

std::unique_ptr<QCoreApplication> EnsureApp() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char arg0[] = "velmora-tool";
    static char* argv[] = {arg0, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

int RunSearch(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    RejectUnknownOptions(args);
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
    auto app = EnsureApp();
    LinkSession s(da, std::move(choice), verbose);
    if (!s.Find()) {
        int found = 0;
        for (int p = 0; p < kCommPorts; ++p) found += GetCommStatusData(s.Data(), p).programmerHere == 1;
        if (found > 1) {
            std::cerr << "More than one programmer reader was found connected to the computer.  "
                         "Please disconnect all but one programmer reader.\n";
            for (int p = 0; p < kCommPorts; ++p)
                if (GetCommStatusData(s.Data(), p).programmerHere == 1)
                    std::cerr << "Comm Port " << p + 1 << ": " << GetCommStatusData(s.Data(), p).statusText
                              << '\n';
        } else {
            s.ReportNotFound();
        }
        return kExitNotFound;
    }
    s.PrintWhere();
    return kExitOk;
}

int RunStatus(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    RejectUnknownOptions(args);
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
    auto app = EnsureApp();
    LinkSession s(da, std::move(choice), verbose);
    if (!s.Find()) {
        s.ReportNotFound();
        return kExitNotFound;
    }
    // The status check is due at once.
    ProgrammerState st = GetProgrammerState(s.Data());
    st.nextCheck = 0;
    SetProgrammerState(s.Data(), st);
    bool checking = false;
    s.TickUntil([&] {
        const ProgrammerState now = GetProgrammerState(s.Data());
        if (now.operationState == kOpStatusCheck) checking = true;
        return now.on == 0 || (checking && now.operationState == kOpIdle);
    });
    s.PrintWhere();
    const ProgrammerState end = GetProgrammerState(s.Data());
    std::cout << "Last Error=" << GetText(end.lastError) << '\n';
    if (end.on == 0) {
        std::cerr << GetText(end.lastError) << '\n';
        return kExitWatchDog;
    }
    return kExitOk;
}

// Finds or assumes the programmer for a program or read.
bool Reach(LinkSession& s, bool portGiven, bool search) {
    if (portGiven && !search) return s.Assume();
    if (!s.Find()) {
        s.ReportNotFound();
        return false;
    }
    return true;
}

int RunProgram(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    DataArgs da = TakeDataArgs(args);
    auto app = EnsureApp();
    LinkSession s(da, std::move(choice), verbose);
    AEIData& data = s.Data();
    TagArgs t = TakeTagArgs(args, data);

    const ValueCheckResult check = CheckFieldValues(t.format, t.texts, ShownRows(t.format), s.FeetInches());
    if (check.anyError) {
        std::cerr << FieldErrorText(t.format, check) << '\n';
        return kExitValueCheck;
    }
    for (auto& text : t.texts) text = UpperAscii(text);
    const BuiltFrame frame = BuildTagFrame(t.format, t.texts, s.FeetInches(), data.HalfFrameMode());

    if (!Reach(s, portGiven, search)) return portGiven && !search ? kExitPortNotOpened : kExitNotFound;
    if (!RequestProgramTag(data, frame.frameText)) {
        std::cerr << "Error - could not program tag\nthe programmer is busy\n";
        return kExitFailed;
    }
    s.RunRequest();
    const ProgrammerState end = GetProgrammerState(data);
    std::cout << "Frame=" << frame.frameText << '\n';
    if (end.operationResult == kResultProgramOk) {
        std::cout << "Tag was successfully programmed\n";
        return kExitOk;
    }
    std::cerr << "Error - could not program tag\n";
    if (GetText(end.lastError) == kWatchDogExpired) {
        std::cerr << kWatchDogExpired << '\n';
        return kExitWatchDog;
    }
    std::cerr << "The programmer answered \"#Error\"\n";
    return kExitFailed;
}

int RunRead(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    DataArgs da = TakeDataArgs(args);
    RejectUnknownOptions(args);
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
    auto app = EnsureApp();
    LinkSession s(da, std::move(choice), verbose);
    AEIData& data = s.Data();

    if (!Reach(s, portGiven, search)) return portGiven && !search ? kExitPortNotOpened : kExitNotFound;
    if (!RequestReadTag(data)) {
        std::cerr << "Error - could not read tag\nthe programmer is busy\n";
        return kExitFailed;
    }
    s.RunRequest();
    const ProgrammerState end = GetProgrammerState(data);
    if (end.operationResult != kResultReadOk) {
        std::cerr << "Error - could not read tag\n";
        if (GetText(end.lastError) == kWatchDogExpired) {
            std::cerr << kWatchDogExpired << '\n';
            return kExitWatchDog;
        }
        std::cerr << "The programmer answered \"#Error\"\n";
        return kExitFailed;
    }
    // The tag data line without its first character is the frame text.
    const std::string_view response = GetText(end.response);
    const std::string frameText(response.empty() ? response : response.substr(1));
    const DecodedFrame d =
        DecodeTagFrame(data, frameText, data.HalfFrameMode(), data.MarketRegion(), s.FeetInches());
    if (!d.identified) {
        std::cout << "Frame=" << frameText << '\n';
        std::cerr << "not identified\n";
        return kExitNotIdentified;
    }
    const TagFormatData f = data.GetTagFormatData(d.formatIndex);
    std::cout << f.Name() << '\n';
    for (int r = 0; r < f.RowCount(); ++r) {
        if (!f.IsShown(r)) continue;
        std::cout << f.FieldName(r) << '=' << d.texts[r] << '\n';
    }
    return kExitOk;
}

#endif // VELMORA_TOOL_WITH_QT

int RunProgrammer(std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"programmer needs search, status, program or read"};
    const std::string what = args[0];
    args.erase(args.begin());
#if VELMORA_TOOL_WITH_QT
    if (what == "search") return RunSearch(args);
    if (what == "status") return RunStatus(args);
    if (what == "program") return RunProgram(args);
    if (what == "read") return RunRead(args);
    throw UsageError{"unknown programmer command \"" + what + "\""};
#else
    constexpr int kExitNoSerialSupport = 8;
    (void)what;
    std::cerr << "velmora-tool: this build has no serial port support (Qt SerialPort)\n";
    return kExitNoSerialSupport;
#endif
}

const Registrar reg("programmer", kUsage, RunProgrammer);

} // namespace
} // namespace velmora::tool
