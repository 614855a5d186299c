// velmora-tool programmer batch: a fleet list programmed tag by tag, with the
// same checks as the Program Tag command, each finished line kept in the
// progress file beside the list so that a second run resumes where the first
// stopped.
#include "ProgrammerSession.h"
#include "ToolTagLog.h"

#include "data/TagLog.h"
#include "tagwindow/ImportList.h"
#include "tagwindow/ImportProgress.h"
#include "tagwindow/ImportSession.h"
#include "tagwindow/Workflows.h"

#include <filesystem>
#include <iostream>

namespace velmora::tool {


namespace {

uint64_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

std::string ReadList(const std::string& path) {
    std::string text;
    if (std::string problem = ReadImportListFile(path, text); !problem.empty()) throw UsageError{problem};
    return text;
}

class Batch {
public:
    Batch(LinkSession& s, ToolTagLog& log, ImportSession& session, bool yes, bool wait)
        : s_(s), data_(s.Data()), log_(log), session_(session), yes_(yes), wait_(wait) {}

    // Runs every line; true when all of them are done.
    bool Run() {
        total_ = session_.List().lines.size();
        bool allDone = true;
        for (std::size_t i = 0; i < total_ && !stopped_; ++i) {
            index_ = i + 1;
            session_.SetCurrent(static_cast<int>(i));
            if (!RunLine(session_.List().lines[i], session_.EarlierProgress(static_cast<int>(i)))) allDone = false;
        }
        return allDone && !stopped_;
    }

private:
    std::string Where(const ImportLine& line) const {
        return "line " + std::to_string(index_) + " of " + std::to_string(total_) + " (list line " +
               std::to_string(line.fileLine) + "): ";
    }
    void Say(const ImportLine& line, const std::string& what) { std::cout << Where(line) << what << std::endl; }

    // A progress record that could not be written ends the run: without it
    // a later run could not tell what this one did.
    bool Recorded(bool written) {
        if (written) return true;
        std::cerr << "velmora-tool: " << (session_.WriteError().empty() ? "the line's frame changed" : session_.WriteError())
                  << '\n';
        stopped_ = true;
        return false;
    }

    bool RunLine(const ImportLine& line, const LineProgress& p) {
        switch (line.state) {
        case ImportLineState::Refused: Say(line, "refused: " + line.reason); return false;
        case ImportLineState::Programmed: Say(line, "programmed " + line.frameText + " at " + line.when); return true;
        default: break;
        }
        const std::string tagLog = TagLogFilePath(data_);
        const SettingsBlock s = data_.GetSettings();
        ResumeStep step = NextResumeStep(p, line.frameText, s.logFileOn != 0,
                                         p.stage == ProgressStage::Programmed &&
                                             TagLogHoldsFrameSince(tagLog, p.logSize, line.frameText),
                                         s.programmedTotal);
        LastTagRecord record = line.record;
        if (step == ResumeStep::ReadBack) step = ReadBack(line) ? ResumeStep::Log : ResumeStep::Program;
        if (stopped_) return false;
        if (step == ResumeStep::Program) {
            if (!Program(line, record)) return false;
            step = ResumeStep::Log;
        }
        if (step == ResumeStep::Log || step == ResumeStep::Count) {
            const std::string problem = step == ResumeStep::Log ? log_.Log(record) : log_.CountOnly(record);
            if (!problem.empty()) {
                std::cerr << "velmora-tool: " << problem << '\n';
                stopped_ = true;
                return false;
            }
        }
        if (!Recorded(session_.Finished(line.frameText, data_.GetClock().Now()))) return false;
        Say(line, "programmed " + line.frameText + (line.inTagLog ? " (the vehicle was in the tag log)" : ""));
        return true;
    }

    // The command of an earlier run went out and its answer was lost: the
    // tag on the programmer tells whether it was programmed.
    bool ReadBack(const ImportLine& line) {
        if (!RequestReadTag(data_)) return false;
        s_.RunRequest();
        const ProgrammerState end = GetProgrammerState(data_);
        if (end.operationResult != kResultReadOk) return false;
        const std::string_view response = GetText(end.response);
        if (response.size() < 2 || response.substr(1) != line.frameText) return false;
        // Programmed: kept as such before the tag is logged.
        return Recorded(session_.Programmed(line.frameText, FileSize(TagLogFilePath(data_)),
                                            data_.GetSettings().programmedTotal));
    }

    bool Program(const ImportLine& line, LastTagRecord& record) {
        ProgramRequestInput in;
        in.formatIndex = line.formatIndex;
        in.texts = line.texts;
        in.hasControl = line.hasControl;
        in.tagType = line.tagType;
        in.feetInches = s_.FeetInches();
        in.halfFrame = data_.HalfFrameMode();
        FlagQuestions questions;
        questions.yes = yes_;
        const ProgramRequest request = PrepareProgramRequest(data_, in, false, questions);
        if (request.outcome != ProgramRequestOutcome::Ready) {
            Say(line, "refused: " + request.message);
            return false;
        }
        if (wait_) {
            std::cout << "place the tag for line " << index_ << " of " << total_ << " and press Enter" << std::endl;
            std::string answer;
            if (!std::getline(std::cin, answer)) {
                stopped_ = true;
                return false;
            }
        }
        const std::string& frame = request.frame.frameText;
        if (!Recorded(session_.HandedOver(frame))) return false;
        if (!RequestProgramTag(data_, frame)) {
            Say(line, "failed: the programmer is busy");
            return false;
        }
        data_.UpdateLastProgrammedFrame(frame);
        s_.RunRequest();
        const ProgrammerState end = GetProgrammerState(data_);
        if (end.operationResult != kResultProgramOk) {
            const std::string why = GetText(end.lastError) == kWatchDogExpired ? std::string(kWatchDogExpired)
                                                                                : "the programmer answered \"#Error\"";
            session_.Failed(frame, kPromptProgramFailed);
            Say(line, "failed: Error - could not program tag (" + why + ")");
            return false;
        }
        record = request.record;
        return Recorded(session_.Programmed(frame, FileSize(TagLogFilePath(data_)), data_.GetSettings().programmedTotal));
    }

    LinkSession& s_;
    AEIData& data_;
    ToolTagLog& log_;
    ImportSession& session_;
    bool yes_ = false;
    bool wait_ = true;
    bool stopped_ = false;
    std::size_t index_ = 0;
    std::size_t total_ = 0;
};

} // namespace

int RunBatch(std::vector<std::string>& args) {
    PortChoice choice = TakePort(args);
    const bool portGiven = choice.given;
    const bool verbose = TakeFlag(args, "verbose");
    const bool search = TakeFlag(args, "search");
    const bool yes = TakeFlag(args, "yes");
    const bool noWait = TakeFlag(args, "no-wait");
    const bool header = TakeFlag(args, "header");
    const std::optional<std::string> delimiter = TakeOption(args, "delimiter");
    const std::optional<std::string> tagType = TakeOption(args, "tag-type");
    const std::optional<std::string> formatName = TakeOption(args, "format");
    if (!formatName) throw UsageError{"--format NAME is required"};
    if (delimiter && (delimiter->size() != 1 || (*delimiter)[0] == '"' || (*delimiter)[0] == '\n'))
        throw UsageError{"--delimiter takes one character other than a quote"};
    DataArgs da = TakeDataArgs(args);
    UseWorkingDirectoryOptions(da);
    RejectUnknownOptions(args);
    if (args.size() != 1) throw UsageError{"batch takes one list file"};
    const std::string listPath = args[0];
    const std::string text = ReadList(listPath);

    LinkSession s(da, std::move(choice), verbose);
    AEIData& data = s.Data();

    // The list is read with the formats of the model in force.
    ImportSession session;
    auto openList = [&]() {
        ImportListOptions o;
        const ImportSettings stored = data.GetImportSettings();
        o.delimiter = delimiter ? (*delimiter)[0] : (stored.delimiter[0] ? stored.delimiter[0] : ',');
        o.header = header || stored.flag1 != 0;
        o.formatIndex = data.FindTagFormatByName(*formatName);
        if (o.formatIndex < 0) throw UsageError{"no tag format named \"" + *formatName + "\""};
        o.feetInches = s.FeetInches();
        o.halfFrame = data.HalfFrameMode();
        if (tagType) o.tagType = *tagType;
        return session.Open(data, listPath, text, o);
    };
    std::string error = openList();
    if (!error.empty()) {
        std::cerr << error << '\n';
        return kExitValueCheck;
    }

    ToolTagLog log(data, da.optionsFile, s.FeetInches());
    data.UpdateLastProgrammedFrame(log.LastLoggedFrame());
    const bool halfFrame = data.HalfFrameMode();
    if (!Reach(s, portGiven, search)) return portGiven && !search ? kExitPortNotOpened : kExitNotFound;
    if (data.HalfFrameMode() != halfFrame) { // the search found another model
        error = openList();
        if (!error.empty()) {
            std::cerr << error << '\n';
            return kExitValueCheck;
        }
    }

    Batch batch(s, log, session, yes, !noWait);
    return batch.Run() ? kExitOk : kExitFailed;
}


} // namespace velmora::tool
