// Fleet lists in the Program Tag workflow: opening a list, putting its lines
// on the form, and keeping the progress file in step with each tag.
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagwindow/FormValues.h"

#include <limits>

namespace velmora {

namespace {

int32_t CountUp(int32_t n) { return n == std::numeric_limits<int32_t>::max() ? 0 : n + 1; }

} // namespace

std::string TagWorkflows::OpenImportList(const std::string& path) {
    std::string text;
    if (std::string problem = ReadImportListFile(path, text); !problem.empty()) return problem + ".";

    const SettingsBlock s = data_.GetSettings();
    const ImportSettings stored = data_.GetImportSettings();
    ImportListOptions o;
    o.delimiter = stored.delimiter[0] != 0 ? stored.delimiter[0] : ',';
    o.header = stored.flag1 != 0;
    o.formatIndex = s.currentFormat;
    o.feetInches = s.feetInches != 0;
    o.halfFrame = data_.HalfFrameMode();
    settlingLine_ = -1;
    settledLine_ = -1;
    const std::string error = import_.Open(data_, path, text, o);
    if (!error.empty()) return error;
    SettleImportLines();
    const int first = import_.NextWaiting(0);
    if (first >= 0) FillFormFromImportLine(first);
    return {};
}

// Lines an earlier run programmed but did not finish: the tag log and the
// counters tell how far it got; nothing is programmed again.
void TagWorkflows::SettleImportLines() {
    const int lines = static_cast<int>(import_.List().lines.size());
    for (int i = 0; i < lines; ++i) {
        const LineProgress p = import_.EarlierProgress(i);
        if (p.stage != ProgressStage::Programmed) continue;
        const ImportLine& line = import_.List().lines[static_cast<std::size_t>(i)];
        const SettingsBlock s = data_.GetSettings();
        const ResumeStep step =
            NextResumeStep(p, line.frameText, s.logFileOn != 0,
                           TagLogHoldsFrameSince(TagLogFilePath(data_), p.logSize, line.frameText),
                           s.programmedTotal);
        if (step == ResumeStep::Log) {
            const TagLogOutcome logged = LogProgrammedTag(data_, tagLog_, line.record, &hooks_);
            if (logged.fileOn && !logged.fileWritten)
                ShowError("Could not write the tag log file \"" + TagLogFilePath(data_) + "\" (" + logged.fileError +
                              ").  The tag of list " + import_.Position(i) + " was counted but its line is not in the file.",
                          MsgIcon::Exclamation);
        } else if (step == ResumeStep::Count) {
            SettingsBlock c = data_.GetSettings();
            c.programmedToday = CountUp(c.programmedToday);
            c.programmedTotal = CountUp(c.programmedTotal);
            data_.UpdateSettings(c);
            hooks_.ShowProgrammedToday(ProgrammedTodayText(c.programmedToday));
            hooks_.ShowProgrammedCounter(ProgrammedCounterText(c.programmedTotal));
        }
        if (step != ResumeStep::Program) import_.FinishLine(i, data_.GetClock().Now());
    }
}

bool TagWorkflows::FillFormFromImportLine(int index) {
    if (ProgrammedTagPending()) return false;
    return FillImportLine(index);
}

bool TagWorkflows::FillImportLine(int index) {
    if (!form_ || !import_.Active() || index < 0 || index >= static_cast<int>(import_.List().lines.size()))
        return false;
    const ImportLine& line = import_.List().lines[static_cast<std::size_t>(index)];
    if (line.state == ImportLineState::Refused) return false;
    import_.SetCurrent(index);
    const SettingsBlock s = data_.GetSettings();
    if (line.formatIndex == s.currentFormat) {
        const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
        for (int row = 0; row < format.RowCount(); ++row)
            if (Control(row) != FieldControl::None) form_->SetFieldText(row, line.texts[static_cast<std::size_t>(row)]);
        form_->Repaint();
    } else {
        // Another format: the new form takes the values from the record.
        LastTagRecord record;
        record.readFlag = 1;
        record.formatIndex = static_cast<uint8_t>(line.formatIndex);
        for (int row = 0; row < kFieldRows; ++row) record.SetFieldText(row, line.texts[static_cast<std::size_t>(row)]);
        data_.UpdateLastTagRecord(record);
        FillFormFromRecord();
    }
    std::string prompt = "List " + import_.Position(index) + " is on the form - press F1 to program it";
    if (line.inTagLog) prompt += " (this vehicle is already in the tag log)";
    data_.GetOperator().ShowPrompt(prompt, 0);
    return true;
}

// The hand-over of a frame: for the list line on the form, the progress
// record comes first. A line whose earlier command went out unanswered is
// read back instead. False when the program request must not go out.
bool TagWorkflows::ImportHandOver(const std::string& frame) {
    const int current = import_.Current();
    if (!import_.Active() || current < 0 || import_.List().lines[static_cast<std::size_t>(current)].frameText != frame)
        return true;
    if (import_.EarlierProgress(current).stage == ProgressStage::Sent && settledLine_ != current) {
        settlingLine_ = current;
        ProgrammerState ps = GetProgrammerState(data_);
        SetText(ps.frameText, "");
        ps.operationState = kOpRead;
        SetProgrammerState(data_, ps);
        data_.GetOperator().ShowPrompt(kPromptReading, 0);
        return false;
    }
    if (import_.HandedOver(frame)) return true;
    ShowError("The list's progress file could not be written (" + import_.WriteError() +
                  ").  The tag was not programmed.",
              MsgIcon::Stop);
    return false;
}

// The read-back of a list line: the tag already holds the line's frame (it
// was programmed and is logged now) or not (the next F1 programs it).
bool TagWorkflows::ImportReadBack(bool readOk) {
    const int index = settlingLine_;
    settlingLine_ = -1;
    settledLine_ = index;
    EndOperation();
    const ProgrammerState ps = GetProgrammerState(data_);
    const std::string_view response = GetText(ps.response);
    const ImportLine& line = import_.List().lines[static_cast<std::size_t>(index)];
    if (readOk && response.size() > 1 && response.substr(1) == line.frameText) {
        LogProgrammedTag(data_, tagLog_, line.record, &hooks_);
        import_.FinishLine(index, data_.GetClock().Now());
        ImportLineFinished(std::string("The tag already held list ") + import_.Position(index));
        return true;
    }
    data_.GetOperator().ShowPrompt("List " + import_.Position(index) +
                                       " is not on the tag yet - press F1 to program it",
                                   0);
    return true;
}

// After a list line is done: the next waiting line on the form when the
// import settings say so, with the prompt saying which.
void TagWorkflows::ImportLineFinished(const std::string& prompt) {
    if (data_.GetImportSettings().flag2 == 0) return;
    const int next = import_.NextWaiting(import_.Current() + 1);
    if (next < 0) {
        data_.GetOperator().ShowPrompt(prompt + " - every line of the list is done", 0);
        return;
    }
    // The finished tag is still the programmer's result here.
    if (FillImportLine(next))
        data_.GetOperator().ShowPrompt(prompt + " - list " + import_.Position(next) + " is on the form", 0);
}

} // namespace velmora
