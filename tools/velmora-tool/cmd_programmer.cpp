// velmora-tool programmer search|status|program|read: the real programmer
// link on a real port, stepped on 100 ms ticks as the desktop frame's timer
// does.
#include "LinkRunner.h"

#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "util/FixedText.h"

#include <iostream>

namespace velmora::tool {
namespace {

constexpr int kExitNotIdentified = 3;
constexpr int kExitFailed = 5;
constexpr int kExitWatchDog = 6;
constexpr int kExitPortNotOpened = 7;

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

#if VELMORA_TOOL_WITH_QT

class LinkSession : public LinkRunner {
public:
    LinkSession(const DataArgs& da, PortChoice choice, bool verbose)
        : LinkRunner(da, std::move(choice), verbose, {}), feetInches_(!da.decimeters) {
        ProgrammerState st = GetProgrammerState(Data());
        st.port = -1;
        st.searchStarted = 1; // the tool decides when to search
        SetProgrammerState(Data(), st);
    }

    bool FeetInches() const { return feetInches_; }

    // The whole search ("Search for a Programmer"), or the check of the
    // given port; true when exactly one programmer answered.
    bool Find() {
        AEIData& data = Data();
        if (Choice().given) {
            ProgrammerState s = GetProgrammerState(data);
            s.port = Choice().port;
            s.nextCheck = 0;
            SetProgrammerState(data, s);
            Tick(); // starts the port check
            TickUntil([&] { return GetProgrammerState(data).operationState == kOpIdle; });
            return GetProgrammerState(data).on == 1;
        }
        SearchForProgrammer(data);
        searchFinished_ = false;
        TickUntil([this] { return searchFinished_; });
        return ProgrammersFound() == 1 && GetProgrammerState(data).on == 1;
    }

    int ProgrammersFound() {
        int found = 0;
        for (int p = 0; p < kCommPorts; ++p) found += GetCommStatusData(Data(), p).programmerHere == 1;
        return found;
    }

    // Takes the programmer to be on the chosen port without a probe.
    bool Assume() {
        AEIData& data = Data();
        const int p = Choice().port;
        if (OpenCommPort(data, Ports(), p, kProgrammerMode, 0, kDeviceProgrammer) != kOpenReady) {
            std::cerr << "velmora-tool: " << Device(p) << ": " << GetCommStatusData(data, p).statusText << '\n';
            return false;
        }
        // No probe echo absorbs the first byte after the open here.
        CommLinkData link = GetCommLinkData(data, p);
        PrimeRingForNewLine(link);
        UpdateCommLinkData(data, p, link);
        ProgrammerState s = GetProgrammerState(data);
        s.port = p;
        s.on = 1;
        s.nextCheck = data.GetClock().MonotonicSeconds() + kCheckInterval;
        SetProgrammerState(data, s);
        return true;
    }

    void PrintWhere() {
        const ProgrammerState s = GetProgrammerState(Data());
        std::cout << "Port=COM" << s.port + 1 << '\n';
        std::cout << "Device=" << Device(s.port) << '\n';
        const std::string model(GetText(s.model));
        std::cout << "Model=" << (model.empty() ? DetectModel(GetText(s.response)).name : model) << '\n';
        std::cout << "Version=" << GetText(s.version) << '\n';
    }

    // Whether the last line the programmer sent began "#Error".
    bool LastLineWasError() const {
        const auto& lines = Log().RecentTraffic();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            const std::size_t at = it->find(" R-- ");
            if (at != std::string::npos) return it->compare(at + 5, 6, "#Error") == 0;
        }
        return false;
    }

    void ReportNotFound() {
        const int given = Choice().port;
        if (Choice().given)
            std::cerr << "A programmer was not found on Comm Port " << given + 1 << " (" << Device(given)
                      << "): " << Cause(given) << '\n';
        else
            std::cerr << "A programmer could not be found.  Please check that it is turned on and "
                         "connected to the computer.\n";
        for (int p = 0; p < kCommPorts && Verbose(); ++p)
            std::cerr << "Comm Port " << p + 1 << ": " << GetCommStatusData(Data(), p).statusText << '\n';
    }

private:
    void Step() override { StepProgrammerLink(Data(), Ports()); }
    void HandlePosted(const std::vector<int>& posted) override {
        for (int code : posted)
            if (code == kNotifyProgrammerSearchEnd) {
                FinishProgrammerSearch(Data());
                searchFinished_ = true;
            }
        Op().posted.clear(); // the connection status dialog has no place here
    }

    bool feetInches_ = true;
    bool searchFinished_ = false;
};

int RunSearch(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
    auto app = EnsureApp();
    LinkSession s(da, std::move(choice), verbose);
    if (!s.Find()) {
        if (s.ProgrammersFound() > 1) {
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
    CheckNoArguments(args);
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

// The end of a program or read that did not succeed. A read the programmer
// ended with "#Done" failed on its data line, which is no tag frame.
int ReportFailure(const char* what, const ProgrammerState& end, bool endedWithError) {
    std::cerr << "Error - could not " << what << " tag\n";
    if (GetText(end.lastError) == kWatchDogExpired) {
        std::cerr << kWatchDogExpired << '\n';
        return kExitWatchDog;
    }
    if (endedWithError) std::cerr << "The programmer answered \"#Error\"\n";
    else std::cerr << "The tag data line is not one tag frame: " << GetText(end.response) << '\n';
    return kExitFailed;
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

    if (!FieldValuesPass(t, s.FeetInches())) return kExitValueCheck;
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
    return ReportFailure("program", end, true);
}

int RunRead(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
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
    if (end.operationResult != kResultReadOk) return ReportFailure("read", end, s.LastLineWasError());
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
    (void)what;
    return NoSerialSupport();
#endif
}

const Registrar reg("programmer", kUsage, RunProgrammer);

} // namespace
} // namespace velmora::tool
