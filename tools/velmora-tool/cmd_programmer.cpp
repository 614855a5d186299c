// velmora-tool programmer search|status|program|read: the real programmer
// link on a real port, stepped on 100 ms ticks as the desktop frame's timer
// does.
#include "ProgrammerSession.h"
#include "ToolTagLog.h"

#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "tagwindow/ProgramRequest.h"
#include "util/FixedText.h"

#include <iostream>

namespace velmora::tool {
namespace {

constexpr int kExitNotIdentified = 3;

const char* const kUsage =
    "velmora-tool programmer search [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool programmer status [--port COMn|DEVICE] [--verbose] [--options FILE]\n"
    "velmora-tool programmer program [--port COMn|DEVICE] [--search] [--verbose] [--yes] [--no-log] "
    "--format NAME [--tag-type TYPE] [--decimeters] [--half-frame] "
    "[--region north-america|sara|australia] [--options FILE] \"Field Name=value\" ...\n"
    "velmora-tool programmer read [--port COMn|DEVICE] [--search] [--verbose] [--decimeters] "
    "[--half-frame] [--region north-america|sara|australia] [--options FILE]\n"
    "velmora-tool programmer batch LIST --format NAME [--port COMn|DEVICE] [--search] [--no-wait] [--yes] "
    "[--header] [--delimiter C] [--tag-type TYPE] [--verbose] [--decimeters] [--half-frame] "
    "[--region north-america|sara|australia] [--options FILE]\n"
    "    COMn uses VELMORA_COMn or /dev/ttyS(n-1); any other DEVICE is used as Comm Port 1.\n"
    "    search and status probe the port (all four without --port). program and read take\n"
    "    the programmer to be on the --port given and send at once (--search probes first);\n"
    "    without --port they search all four ports first. The options come from --options or\n"
    "    \"programmer option.ads\" in the working directory; the programmer model is the one\n"
    "    they name unless --search finds another. program checks the values as the Program Tag\n"
    "    command does; its questions are answered Yes with --yes, otherwise the tag is refused\n"
    "    (exit 9) with the question. A programmed tag is counted and logged to the tag log the\n"
    "    options name, and the counters are saved in the options file (\"programmer option.ads\"\n"
    "    when none was given), unless --no-log; exit 10 when that failed. --tag-type is the tag\n"
    "    type list's text (default: the format's). Traffic goes to \"communication log.txt\" in\n"
    "    the working directory; --verbose also shows it with the prompts and boxes.\n"
    "    batch programs a fleet list (one tag a line, the format's shown fields in form order\n"
    "    split at the delimiter, default \",\"; with --header the first line names the columns\n"
    "    and may add a \"Format\" column), waiting for Enter before each tag unless --no-wait.\n"
    "    Finished lines are kept in LIST.progress, so a second run resumes at the first\n"
    "    unfinished line. One result line per list line; exit 0 when every line is done.";


int RunSearch(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool verbose = TakeFlag(args, "verbose");
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
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

// The program request of the tag arguments, prepared as the Program Tag
// command prepares it; 0, or the exit code after the reason was printed.
int PrepareFromArgs(LinkSession& s, std::vector<std::string> tagArgs, const std::optional<std::string>& tagType,
                    bool yes, ProgramRequest& out) {
    AEIData& data = s.Data();
    const TagArgs t = TakeTagArgs(tagArgs, data);
    ProgramRequestInput in;
    in.formatIndex = t.formatIndex;
    in.texts = t.texts;
    in.hasControl = ShownRows(t.format);
    in.tagType = tagType ? *tagType : data.GetAchTagType(t.format.defaultTag);
    in.feetInches = s.FeetInches();
    in.halfFrame = data.HalfFrameMode();
    FlagQuestions questions;
    questions.yes = yes;
    out = PrepareProgramRequest(data, in, false, questions);
    switch (out.outcome) {
    case ProgramRequestOutcome::Ready: return kExitOk;
    case ProgramRequestOutcome::FieldErrors:
        std::cerr << out.message << '\n';
        return kExitValueCheck;
    case ProgramRequestOutcome::Refused:
        std::cerr << out.message << '\n';
        return kExitRefused;
    case ProgramRequestOutcome::Declined:
        std::cerr << out.message << "\n(--yes answers Yes)\n";
        return kExitRefused;
    }
    return kExitRefused;
}

int RunProgram(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    const bool yes = TakeFlag(args, "yes");
    const bool noLog = TakeFlag(args, "no-log");
    const std::optional<std::string> tagType = TakeOption(args, "tag-type");
    DataArgs da = TakeDataArgs(args);
    UseWorkingDirectoryOptions(da);
    LinkSession s(da, std::move(choice), verbose);
    AEIData& data = s.Data();
    ToolTagLog log(data, da.optionsFile, s.FeetInches());
    // The same-data question compares with the newest logged tag.
    data.UpdateLastProgrammedFrame(log.LastLoggedFrame());

    // The checks come before the port is touched; a search that finds another
    // model rebuilds the formats, so the request is prepared again then.
    ProgramRequest request;
    if (const int rc = PrepareFromArgs(s, args, tagType, yes, request)) return rc;
    const bool halfFrame = data.HalfFrameMode();
    if (!Reach(s, portGiven, search)) return portGiven && !search ? kExitPortNotOpened : kExitNotFound;
    if (data.HalfFrameMode() != halfFrame)
        if (const int rc = PrepareFromArgs(s, args, tagType, yes, request)) return rc;

    const std::string& frame = request.frame.frameText;
    if (!RequestProgramTag(data, frame)) {
        std::cerr << "Error - could not program tag\nthe programmer is busy\n";
        return kExitFailed;
    }
    data.UpdateLastProgrammedFrame(frame);
    s.RunRequest();
    const ProgrammerState end = GetProgrammerState(data);
    std::cout << "Frame=" << frame << '\n';
    if (end.operationResult != kResultProgramOk) return ReportFailure("program", end);
    std::cout << "Tag was successfully programmed\n";
    if (noLog) return kExitOk;
    const std::string problem = log.Log(request.record);
    if (problem.empty()) return kExitOk;
    std::cerr << "velmora-tool: " << problem << '\n';
    return kExitNotLogged;
}

int RunRead(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    DataArgs da = TakeDataArgs(args);
    UseWorkingDirectoryOptions(da);
    CheckNoArguments(args);
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
    PrintDecodedFields(data, d);
    return kExitOk;
}


int RunProgrammer(std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"programmer needs search, status, program, read or batch"};
    const std::string what = args[0];
    args.erase(args.begin());
    if (what == "search") return RunSearch(args);
    if (what == "status") return RunStatus(args);
    if (what == "program") return RunProgram(args);
    if (what == "read") return RunRead(args);
    if (what == "batch") return RunBatch(args);
    throw UsageError{"unknown programmer command \"" + what + "\""};
}

const Registrar reg("programmer", kUsage, RunProgrammer);

} // namespace
} // namespace velmora::tool
