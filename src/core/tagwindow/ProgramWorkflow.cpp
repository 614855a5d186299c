// Program Tag: from the typed form to a program request, the comparison with
// the UMLER register, the programmer's outcome and the finishing of a
// programmed tag (log, prompt, label).
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"
#include "tagwindow/ProgramRequest.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerLookup.h"

#include <cstdio>
#include <filesystem>

namespace velmora {

namespace {

// A typed length in inches, in the units of the form.
int64_t FormLengthInches(std::string_view text, bool feetInches) {
    if (!feetInches) {
        const int32_t dm = LeadingInteger(text);
        return dm <= 0 ? 0 : DecimetersToInches(dm);
    }
    const std::size_t dash = text.find('-');
    const int64_t feet = LeadingInteger(text.substr(0, dash));
    const int64_t inches = dash == std::string_view::npos ? 0 : LeadingInteger(text.substr(dash + 1));
    return feet * 12 + inches;
}

} // namespace

// ---- Program Tag -------------------------------------------------------------------

void TagWorkflows::CmProgramTag() {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmProgramTag");
    ClearResultPrompt();
    if (ProgrammerReady()) ProgramTag(true, false);
    FocusField(0);
}

void TagWorkflows::ProgramTag(bool checkUmler, bool certify) {
    if (!form_) return;
    Operator& op = data_.GetOperator();

    const SettingsBlock s = data_.GetSettings();
    const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
    if (format.defined != 1) return; // a bad index was reported by the accessor's trap

    // The marks of an earlier attempt go.
    TagFormMarks marks;
    SetMarks(marks);

    ProgramRequestInput in;
    in.formatIndex = s.currentFormat;
    in.certify = certify;
    in.feetInches = s.feetInches != 0;
    in.halfFrame = data_.HalfFrameMode();
    const int rows = format.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (Control(row) == FieldControl::None) continue;
        in.hasControl[static_cast<std::size_t>(row)] = true;
        in.texts[static_cast<std::size_t>(row)] = FormText(row);
    }
    in.tagType = form_->TagTypeText();

    // The questions go to the operator; the register is compared only while
    // the automatic UMLER check is on.
    struct FormQuestions : ProgramQuestions {
        TagWorkflows& wf;
        explicit FormQuestions(TagWorkflows& w) : wf(w) {}
        bool Ask(const std::string& question) override {
            return wf.AskYesNo(wf.data_.ProductCaption(), question);
        }
        int CompareWithUmler(const LastTagRecord&) override { return wf.CompareWithUmler(); }
    } questions(*this);
    const ProgramRequest request =
        PrepareProgramRequest(data_, in, checkUmler && s.autoUmlerCheck != 0, questions);

    switch (request.outcome) {
    case ProgramRequestOutcome::FieldErrors:
        // The rows in error are listed in the prompt bar and painted.
        for (int row = 0; row < kFieldRows; ++row)
            marks.error[static_cast<std::size_t>(row)] = request.check.error[static_cast<std::size_t>(row)] ? 1 : 0;
        SetMarks(marks);
        op.ShowPrompt(request.message, 1);
        form_->Repaint();
        return;
    case ProgramRequestOutcome::Refused:
        if (!request.message.empty()) ShowInfo(request.message, MsgIcon::Stop);
        return;
    case ProgramRequestOutcome::Declined:
        return;
    case ProgramRequestOutcome::Ready:
        break;
    }

    // Hand over. The questions let the timer run: the programmer may have
    // gone or started a check meanwhile.
    if (!ProgrammerReady()) return;
    if (!ImportHandOver(request.frame.frameText)) return;
    ProgrammerState ps = GetProgrammerState(data_);
    SetText(ps.frameText, request.frame.frameText);
    data_.UpdateLastProgrammedFrame(request.frame.frameText);
    form_->SetRawData(ShowRawData(request.frame.bits));
    ShowTextsUpperCased();
    op.ShowPrompt(kPromptProgramming, 0);
    ps.operationState = kOpProgram;
    SetProgrammerState(data_, ps);
    data_.UpdateLastTagRecord(request.record);
    form_->Repaint();
}

// ---- the register --------------------------------------------------------------------

int TagWorkflows::CompareWithUmler() {
    TagFormMarks marks = form_ ? form_->Marks() : TagFormMarks();
    marks.umlerValue.fill(-1);
    marks.umlerClass = -1;
    SetMarks(marks);

    const SettingsBlock s = data_.GetSettings();
    const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
    if (!IsUmlerFormat(format)) return kUmlerNotChecked;
    const int initialRow = FindRowByStartBit(format, kBitEquipmentInitial);
    const int numberRow = FindRowByStartBit(format, kBitEquipmentNumber);
    if (Control(initialRow) != FieldControl::Edit || Control(numberRow) != FieldControl::Edit)
        return kUmlerNotChecked;
    const std::string initial = FormText(initialRow, 9);
    const std::string number = FormText(numberRow, 9);
    if (initial.empty() || number.empty()) return kUmlerNotChecked;

    const std::string key = MakeVehicleKey(initial, number);
    const UmlerRecord reg = umler_.Find(key);
    data_.SetUMLERRecord(reg);
    hooks_.UmlerRecordChanged();
    if (!reg.IsRecord()) return kUmlerNotChecked;
    data_.SetVehicleKey(key);
    const int category = data_.GetCarType(reg.typeCode, -1, "").category;
    const bool locomotive = category == 10 || category == 11;

    const bool railcarForm = format.equipmentGroupCode == kGroupRailcar;
    if (locomotive == railcarForm) {
        marks.umlerClass = locomotive ? 0 : 1;
        SetMarks(marks);
        form_->Repaint();
        return kUmlerDisagrees;
    }

    int disagreements = 0;
    auto note = [&](int row, int32_t value) {
        ++disagreements;
        if (row >= 0) marks.umlerValue[static_cast<std::size_t>(row)] = value;
    };
    const int axlesRow = FindRowByStartBit(format, kBitAxles);
    if (LeadingInteger(FormText(axlesRow)) != reg.axles) note(axlesRow, reg.axles);
    if (railcarForm) {
        const int platformRow = FindRowByStartBit(format, kBitPlatform);
        if (LeadingInteger(FormText(platformRow)) != reg.platforms) note(platformRow, reg.platforms);
    }
    const int lengthRow =
        FindRowByStartBit(format, railcarForm ? kBitRailcarLength : kBitLocomotiveLength);
    const int64_t inches = FormLengthInches(FormText(lengthRow), s.feetInches != 0);
    const int64_t registerInches = reg.lengthInches;
    if (inches <= registerInches - 6 || inches > registerInches + 6) note(lengthRow, reg.lengthInches);

    SetMarks(marks);
    if (disagreements == 0) return kUmlerAgrees;
    form_->Repaint();
    return kUmlerDisagrees;
}

// ---- the programmer's outcome ----------------------------------------------------------

bool TagWorkflows::ProgrammerCompletion() {
    const ProgrammerState ps = GetProgrammerState(data_);
    switch (ps.operationResult) {
    case kResultProgramOk: {
        // A standing result 2 is resumed by the reader search and the reader
        // port dialog; while another operation runs it belongs to no tag.
        if (ps.operationState != kOpIdle) return true;
        const LastTagRecord record = data_.GetLastTagRecord();
        if (import_.Active()) {
            // A list line is kept as programmed before its tag is logged.
            std::error_code ec;
            const auto logSize = std::filesystem::file_size(TagLogFilePath(data_), ec);
            import_.Programmed(record.FrameText(), ec ? 0 : logSize, data_.GetSettings().programmedTotal);
        }
        const TagFormatData format = data_.GetTagFormatData(record.formatIndex);
        const bool rfFormat = format.dataFormatCode == 51 || format.dataFormatCode == 41;
        if ((data_.GetSettings().autoRfCheck == 0 && record.certify == 0) || !rfFormat) {
            FinishProgrammedTag();
            ProgrammerState now = GetProgrammerState(data_);
            now.operationResult = 0;
            SetProgrammerState(data_, now);
            return true;
        }
        return RfCheck();
    }
    case kResultProgramFailed: {
        ProgrammerState now = ps;
        now.operationState = kOpIdle;
        SetProgrammerState(data_, now);
        data_.GetOperator().ShowPrompt(kPromptProgramFailed, 1);
        import_.Failed(data_.GetLastTagRecord().FrameText(), kPromptProgramFailed);
        return true;
    }
    case kResultReadOk:
        if (settlingLine_ >= 0) return ImportReadBack(true);
        ProcessReadTag();
        return true;
    case kResultReadFailed:
        if (settlingLine_ >= 0) return ImportReadBack(false);
        EndOperation();
        data_.GetOperator().ShowPrompt(kPromptReadFailed, 1);
        return true;
    case kResultRfCancelled:
    case kResultRfAgrees:
    case kResultRfIdOnly:
    case kResultRfDisagrees:
        return RfOutcome(ps.operationResult);
    default:
        return true;
    }
}

void TagWorkflows::FinishProgrammedTag() {
    LastTagRecord record = data_.GetLastTagRecord();
    const SettingsBlock s = data_.GetSettings();

    // The lot number of a tag certified for reuse, asked before the tag is
    // logged so that the log line and the label tell the same.
    LotDialogResult lot = LotDialogResult::NotShown;
    if (s.reconditionCheck != 0 && record.certify == 1) {
        lot = hooks_.ShowLotNumberDialog();
        record = data_.GetLastTagRecord();
    }
    if (lot == LotDialogResult::NotShown) {
        record.reconditioned = 0;
        record.lotDay = 0;
        record.lotYear = 0;
    }

    const TagLogOutcome logged = LogProgrammedTag(data_, tagLog_, record, &hooks_);
    if (logged.fileOn && !logged.fileWritten) {
        std::string text = "Could not write the tag log file \"" + TagLogFilePath(data_) + "\"";
        if (!logged.fileError.empty()) text += " (" + logged.fileError + ")";
        text += ".  The tag was counted but its line is not in the file.";
        ShowError(text, MsgIcon::Exclamation);
    }

    const TagFormatData format = data_.GetTagFormatData(record.formatIndex);
    const int dfc = format.dataFormatCode;
    const int egc = format.equipmentGroupCode;
    std::string prompt = kPromptProgrammedOk;
    if (record.certify == 1 && dfc == 51 && egc == kGroupRailcar) {
        prompt += ", RF checked and certified";
    } else {
        const bool rfFormat = dfc == 51 || dfc == 41;
        if (rfFormat && (egc == 5 || egc == 19 || egc == 28)) {
            switch (record.umlerResult) {
            case kUmlerAgrees: prompt += ", UMLER Ok"; break;
            case kUmlerNotChecked: prompt += ", UMLER not checked"; break;
            case kUmlerDisagrees: prompt += ", UMLER disagrees"; break;
            default: break;
            }
        }
        if (rfFormat) {
            switch (record.rfResult) {
            case kRfNotChecked: prompt += ", RF not checked"; break;
            case kRfOk: prompt += ", RF Ok"; break;
            case kRfIdOnly: prompt += ", RF initial and number checked only"; break;
            default: break;
            }
        }
    }
    data_.GetOperator().ShowPrompt(prompt, 0);

    data_.UpdateLastTagRecord(record);
    if (s.labelPrintingOn != 0 && lot != LotDialogResult::Cancel) hooks_.PrintLabel(record);
    if (import_.IsCurrentFrame(record.FrameText())) {
        if (!import_.Finished(record.FrameText(), data_.GetClock().Now()))
            ShowError("The list's progress file could not be written (" + import_.WriteError() + ").",
                      MsgIcon::Exclamation);
        ImportLineFinished(prompt);
    }
}

} // namespace velmora
