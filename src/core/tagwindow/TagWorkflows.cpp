// The workflows' shared helpers, the values of a new form, the filling of the
// form from the last tag record, the format change and the length units.
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"
#include "umler/UmlerRecord.h"

namespace velmora {

namespace {

constexpr const char* kNotOnText =
    "Progammer is not on or connected to the computer.  Please turn on or check the cable "
    "connection.";
constexpr const char* kBusyText =
    "The progammer is busy programming or reading a tag.  Please wait until this operation "
    "has completed.";

} // namespace

TagWorkflows::TagWorkflows(AEIData& data, TagLogList& tagLog, WorkflowHooks& hooks)
    : data_(data), tagLog_(tagLog), hooks_(hooks), umler_(kUmlerDataFileName) {
    // The certification fill's generator, seeded with the time.
    const LocalDateTime now = data_.GetClock().Now();
    engine_.seed(static_cast<uint32_t>(now.second + 60 * (now.minute + 60 * (now.hour + 24 * now.dayOfYear))) ^
                 data_.GetClock().MonotonicSeconds());
}

// ---- shared helpers -------------------------------------------------------------

void TagWorkflows::ShowError(const std::string& text, MsgIcon icon) {
    data_.GetOperator().MessageBox(data_.ErrorCaption(), text, icon, MsgButtons::Ok);
}

void TagWorkflows::ShowInfo(const std::string& text, MsgIcon icon) {
    data_.GetOperator().MessageBox(data_.ProductCaption(), text, icon, MsgButtons::Ok);
}

bool TagWorkflows::AskYesNo(const std::string& caption, const std::string& text) {
    return data_.GetOperator().MessageBox(caption, text, MsgIcon::Question, MsgButtons::YesNo) ==
           MsgAnswer::Yes;
}

bool TagWorkflows::ProgrammerReady() {
    const ProgrammerState ps = GetProgrammerState(data_);
    if (ps.on == 0) {
        ShowError(kNotOnText, MsgIcon::Stop);
        return false;
    }
    if (ps.operationState != kOpIdle) {
        ShowError(kBusyText, MsgIcon::Information);
        return false;
    }
    return true;
}

bool TagWorkflows::ProgrammedTagPending() const {
    const ProgrammerState ps = data_.GetProgrammerRecord();
    return ps.operationState == kOpProgram || ps.operationState == kOpRfCheck ||
           ps.operationResult == kResultProgramOk;
}

void TagWorkflows::EndOperation() {
    ProgrammerState ps = GetProgrammerState(data_);
    ps.operationState = kOpIdle;
    ps.operationResult = 0;
    SetProgrammerState(data_, ps);
}

void TagWorkflows::ClearResultPrompt() {
    if (GetProgrammerState(data_).operationState == kOpIdle) data_.GetOperator().ShowPrompt("", 0);
}

void TagWorkflows::ShowTextsUpperCased() {
    if (!form_) return;
    for (int row = 0; row < kFieldRows; ++row) {
        if (Control(row) != FieldControl::Edit) continue;
        const std::string text = form_->FieldText(row);
        const std::string upper = UpperAscii(text);
        if (upper != text) form_->SetFieldText(row, upper);
    }
}

int TagWorkflows::ReaderPort() const {
    // 255 (none) and any other value outside the four ports mean no reader.
    const int port = data_.GetSettings().readerPort;
    return port >= 0 && port < kCommPorts ? port : -1;
}

FieldControl TagWorkflows::Control(int row) const {
    if (!form_ || row < 0 || row >= kFieldRows) return FieldControl::None;
    return form_->Control(row);
}

std::string TagWorkflows::FormText(int row, std::size_t maxChars) const {
    if (Control(row) == FieldControl::None) return {};
    std::string text = form_->FieldText(row);
    if (text.size() > maxChars) text.resize(maxChars);
    return text;
}

void TagWorkflows::SetMarks(const TagFormMarks& marks) {
    if (form_) form_->SetMarks(marks);
}

void TagWorkflows::FocusField(int row) {
    if (form_ && row >= 0 && row < kFieldRows) form_->FocusField(row);
}

uint32_t TagWorkflows::NextRandom() {
    if (random_) return random_();
    return static_cast<uint32_t>(engine_());
}

LastTagRecord TagWorkflows::RecordFromForm(int formatIndex) const {
    LastTagRecord r;
    r.readFlag = 1;
    r.formatIndex = static_cast<uint8_t>(formatIndex);
    r.umlerResult = kUmlerNotChecked;
    for (int row = 0; row < kFieldRows; ++row)
        if (Control(row) != FieldControl::None) r.SetFieldText(row, FormText(row));
    return r;
}

// Shows typed values on the form through the last tag record: the form is
// rebuilt for the current format (replaceForm) and fills itself, or the
// values go into the form shown. While a programmed tag is not finished, the
// record describes that tag (the RF check compares with it, the log and the
// label are made from it), so it is put back once the form has the values.
void TagWorkflows::CarryOver(const LastTagRecord& carried, bool replaceForm) {
    const bool keepPending = ProgrammedTagPending();
    const LastTagRecord previous = data_.GetLastTagRecord();
    data_.UpdateLastTagRecord(carried);
    if (replaceForm) form_->ReplaceTagWindow(false);
    else FillFormFromRecord();
    if (keepPending && data_.GetLastTagRecord().readFlag == 0) data_.UpdateLastTagRecord(previous);
}

// ---- set-up of a new form and filling it from the record ---------------------

void TagWorkflows::SetupFormValues() {
    if (!form_) return;
    SetMarks(TagFormMarks());
    form_->SetTagTypeText("");

    const SettingsBlock s = data_.GetSettings();
    LastTagRecord record = data_.GetLastTagRecord();
    if (record.readFlag == 1) {
        if (record.formatIndex == s.currentFormat) {
            FillFormFromRecord();
            return;
        }
        // Values of another format cannot be shown here; showing them would
        // replace this form again while it is being built.
        record.readFlag = 0;
        data_.UpdateLastTagRecord(record);
    }

    const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
    const int rows = format.RowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string_view def = format.Default(row);
        switch (Control(row)) {
        case FieldControl::SideList: {
            const bool right = !def.empty() && (def[0] == 'R' || def[0] == 'r' || def[0] == '1');
            form_->SetFieldText(row, right ? "RIGHT" : "LEFT");
            break;
        }
        case FieldControl::Edit:
            if (!def.empty()) form_->SetFieldText(row, std::string(def));
            break;
        case FieldControl::None:
            break;
        }
    }
}

void TagWorkflows::FillFormFromRecord() {
    LastTagRecord record = data_.GetLastTagRecord();
    if (record.readFlag != 1 || !form_) return;

    SettingsBlock s = data_.GetSettings();
    if (record.formatIndex >= kFormatSlots ||
        data_.GetTagFormatData(record.formatIndex).defined != 1) {
        // A record of no format: nothing to show, and nothing left pending.
        record.readFlag = 0;
        data_.UpdateLastTagRecord(record);
        return;
    }

    if (record.formatIndex == s.currentFormat) {
        const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
        const int rows = format.RowCount();
        for (int row = 0; row < rows; ++row)
            if (Control(row) != FieldControl::None)
                form_->SetFieldText(row, std::string(record.FieldText(row)));
        record.readFlag = 0;
        data_.UpdateLastTagRecord(record);
        form_->Repaint();
        return;
    }

    s.currentFormat = record.formatIndex;
    data_.UpdateSettings(s);
    form_->ReplaceTagWindow(false);
}

// ---- format change and length units ---------------------------------------------

void TagWorkflows::CmFormatChange(std::string_view formatName) {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmFormatChange");
    const int index = data_.FindTagFormatByName(formatName.substr(0, 30));
    SettingsBlock s = data_.GetSettings();
    if (index < 0 || index == s.currentFormat) return;

    const bool fromWabtec = IsEotWabtecFormat(data_.GetTagFormatData(s.currentFormat));
    s.currentFormat = static_cast<uint8_t>(index);
    data_.UpdateSettings(s);
    const bool toWabtec = IsEotWabtecFormat(data_.GetTagFormatData(index));
    if (form_) form_->ReplaceTagWindow(false);

    if (fromWabtec && !toWabtec) ShowInfo("Switch labels in printer to 30252.", MsgIcon::Information);
    if (!fromWabtec && toWabtec) ShowInfo("Switch labels in printer to 30331.", MsgIcon::Information);
}

bool TagWorkflows::CmLengthUnits() {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmLengthUnits");
    SettingsBlock s = data_.GetSettings();
    // A programmed tag that is not finished yet keeps the units it was typed
    // in: its RF check, log line and label read its lengths in those.
    if (ProgrammedTagPending()) {
        LastTagRecord pending = data_.GetLastTagRecord();
        if (pending.lengthUnits == kUnitsOfSettings) {
            pending.lengthUnits = s.feetInches != 0 ? kUnitsFeetInches : kUnitsDecimeters;
            data_.UpdateLastTagRecord(pending);
        }
    }
    s.feetInches = s.feetInches != 0 ? 0 : 1;
    data_.UpdateSettings(s);
    const bool feetInches = s.feetInches != 0;
    hooks_.LengthUnitsChanged(feetInches);
    if (!form_) return feetInches;

    // The typed values go over to the rebuilt form, whose labels name the
    // new units; then each length is converted in place.
    CarryOver(RecordFromForm(s.currentFormat), true);

    const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
    const int rows = format.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (format.type[row] != kTypeLength || Control(row) != FieldControl::Edit) continue;
        bool repeated = false;
        for (int earlier = 0; earlier < row; ++earlier)
            if (format.FieldName(earlier) == format.FieldName(row)) repeated = true;
        if (repeated) continue;
        form_->SetFieldText(row, ConvertLengthText(FormText(row, 31), feetInches));
    }
    if (form_) form_->Repaint();
    return feetInches;
}

} // namespace velmora
