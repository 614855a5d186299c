// Program Tag: from the typed form to a program request, the comparison with
// the UMLER register, the programmer's outcome and the finishing of a
// programmed tag (log, prompt, label).
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerLookup.h"

#include <cstdio>

namespace velmora {

namespace {

constexpr const char* kUmlerQuestion =
    "Some fields are in disagreement with the vehicle's UMLER data.  Do you want to continue "
    "programming the tag?";
constexpr const char* kBearingQuestion =
    "It is unusual to have a bearing code that is not \"1\". Do you want to continue programming "
    "the tag?";
constexpr const char* kPlatformQuestion =
    "Most cars are not articulated and, therefore, do not have multiple platforms. If this is "
    "not an articulated car in should have a platform code of \"0\".  Do you want to continue "
    "programming the tag?";
constexpr const char* kAxlesQuestion =
    "The number of axles to you want to program into the tag is unusual.  Please check.  Do you "
    "want to continue programming the tag?";
constexpr const char* kSameDataQuestion =
    "You are programming a tag with the same data as the last tag you programmed.  Do you want "
    "to continue?";

std::string Format1(const char* format, const char* value) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

FieldTexts TextsOf(const LastTagRecord& r) {
    FieldTexts t;
    for (int row = 0; row < kFieldRows; ++row) t[static_cast<std::size_t>(row)] = std::string(r.FieldText(row));
    return t;
}

// The text of the row with that starting bit; empty when the format has none.
std::string TextAtBit(const TagFormatData& f, const LastTagRecord& r, int bit) {
    return std::string(r.FieldText(FindRowByStartBit(f, bit)));
}

// The texts as the frame holds them: ASCII texts padded with blanks and hex
// texts with zeros to the field's characters, base-27 texts to the width of
// their Maximum; longer texts cut there.
void PadRecordTexts(const TagFormatData& f, LastTagRecord& r) {
    const int rows = f.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (f.IsContinuation(row)) continue;
        int bits = f.length[row] == kNotSet ? 0 : f.length[row];
        if (row + 1 < rows && f.IsContinuation(row + 1) && f.length[row + 1] != kNotSet)
            bits += f.length[row + 1];
        std::size_t width = 0;
        char pad = ' ';
        switch (f.type[row]) {
        case kTypeAscii: width = static_cast<std::size_t>(bits / 6); break;
        case kTypeHex: width = static_cast<std::size_t>(bits / 4); pad = '0'; break;
        case kTypeAlpha27: width = f.Maximum(row).size(); break;
        default: continue;
        }
        if (width == 0 || width >= kRecordFieldTextWidth) continue;
        std::string text(r.FieldText(row));
        text.resize(width, pad);
        r.SetFieldText(row, text);
    }
}

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
    const std::string& product = data_.ProductCaption();

    // 1. The options and the format; a new record.
    const SettingsBlock s = data_.GetSettings();
    const int formatIndex = s.currentFormat;
    const TagFormatData format = data_.GetTagFormatData(formatIndex);
    if (format.defined != 1) return; // a bad index was reported by the accessor's trap
    const bool feetInches = s.feetInches != 0;

    LastTagRecord record;
    record.readFlag = 0;
    record.formatIndex = static_cast<uint8_t>(formatIndex);
    record.certify = certify ? 1 : 0;
    record.rfResult = kRfNotChecked;
    record.umlerResult = kUmlerNotChecked;

    // 2. Only railcars and locomotives are compared with the register, and
    // only while the automatic UMLER check is on.
    if (!IsRailcarOrLocomotiveFormat(format) || s.autoUmlerCheck == 0) checkUmler = false;

    // 3. Clear the marks.
    TagFormMarks marks;
    SetMarks(marks);

    // 4. The texts of the rows that have a control.
    const int rows = format.RowCount();
    std::array<bool, kFieldRows> hasControl{};
    for (int row = 0; row < rows; ++row) {
        if (Control(row) == FieldControl::None) continue;
        hasControl[static_cast<std::size_t>(row)] = true;
        record.SetFieldText(row, FormText(row));
    }

    // 5, 6. The value check; rows in error are listed in the prompt bar.
    const ValueCheckResult check = CheckFieldValues(format, TextsOf(record), hasControl, feetInches);
    if (check.anyError) {
        for (int row = 0; row < kFieldRows; ++row)
            marks.error[static_cast<std::size_t>(row)] = check.error[static_cast<std::size_t>(row)] ? 1 : 0;
        SetMarks(marks);
        op.ShowPrompt(FieldErrorText(format, check), 1);
        form_->Repaint();
        return;
    }

    // 7. Upper case; the tag type.
    for (int row = 0; row < kFieldRows; ++row)
        record.SetFieldText(row, UpperAscii(record.FieldText(row)));
    std::string tagType = form_->TagTypeText();
    if (tagType.size() > 10) tagType.resize(10);
    record.SetTagType(tagType);

    // 8. The register.
    if (checkUmler) {
        record.umlerResult = CompareWithUmler();
        if (record.umlerResult == kUmlerDisagrees && !AskYesNo(product, kUmlerQuestion)) return;
    }

    // 9. Unusual but legal values.
    if (IsRailcarOrLocomotiveFormat(format)) {
        const int32_t axles = LeadingInteger(TextAtBit(format, record, kBitAxles));
        const int32_t bearing = LeadingInteger(TextAtBit(format, record, kBitBearing));
        if (bearing != 1 && !AskYesNo(product, kBearingQuestion)) return;
        if (format.equipmentGroupCode == kGroupRailcar) {
            const int32_t platform = LeadingInteger(TextAtBit(format, record, kBitPlatform));
            if (platform != 0 && platform != -1 && !AskYesNo(product, kPlatformQuestion)) return;
        }
        if ((axles == 1 || axles == 3 || axles == 5) && !AskYesNo(product, kAxlesQuestion)) return;
    }

    // 10. The WABTEC parts list.
    if (IsEotWabtecFormat(format)) {
        const std::string type(record.TagType());
        if (type != "AT5541" && type != "AT5545") {
            ShowInfo("The tag type must be either \"AT5541\" or \"AT5545\".", MsgIcon::Stop);
            return;
        }
        std::string mark(record.FieldText(0));
        if (mark.size() < 4) mark.resize(4, ' ');
        const int index = data_.FindWABTEC(mark, type == "AT5541" ? 1 : 0);
        if (index < 0) {
            ShowInfo("The EOT Initial you entered is not on WABTEC's parts list.  Please check.",
                     MsgIcon::Stop);
            return;
        }
        const WABTECData entry = data_.GetWABTECData(index);
        if (LeadingInteger(record.FieldText(2)) != entry.eotTypeCode) {
            char buf[160];
            std::snprintf(buf, sizeof buf,
                          "The EOT Type Code you entered does not match WABTEC's parts list.  The "
                          "correct EOT Type should be \"%d\".",
                          static_cast<int>(entry.eotTypeCode));
            ShowInfo(buf, MsgIcon::Stop);
            return;
        }
        const int side = record.FieldText(3) == "RIGHT" ? 1 : 0;
        if (side != entry.sideCode) {
            ShowInfo(Format1("The EOT Side Code you entered does not match WABTEC's parts list.  "
                             "The correct Side Code should be \"%s\"",
                             entry.sideCode == 1 ? "RIGHT" : "LEFT"),
                     MsgIcon::Stop);
            return;
        }
        // The parts list gives the leading digit of the six-digit number;
        // the typed number supplies the other five.
        int32_t number = LeadingInteger(record.FieldText(1));
        if (number < 0) number = 0;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%06d",
                      static_cast<int>(number % 100000 + (entry.numberPrefix % 10) * 100000));
        record.SetFieldText(1, buf);
    }

    // 11. The record of this attempt.
    PadRecordTexts(format, record);
    data_.UpdateLastTagRecord(record);

    // 12. The frame.
    const BuiltFrame frame =
        BuildTagFrame(format, TextsOf(record), feetInches, data_.HalfFrameMode());

    // 13. The same data again, except right after a failed attempt.
    if (frame.frameText == data_.GetLastProgrammedFrame() &&
        GetProgrammerState(data_).operationResult != kResultProgramFailed &&
        !AskYesNo(product, kSameDataQuestion))
        return;

    // 14. Hand over. The questions above let the timer run: the programmer
    // may have gone or started a check meanwhile.
    if (!ProgrammerReady()) return;
    ProgrammerState ps = GetProgrammerState(data_);
    SetText(ps.frameText, frame.frameText);
    data_.UpdateLastProgrammedFrame(frame.frameText);
    form_->SetRawData(ShowRawData(frame.bits));
    ShowTextsUpperCased();
    op.ShowPrompt(kPromptProgramming, 0);
    ps.operationState = kOpProgram;
    SetProgrammerState(data_, ps);
    record.SetFrameText(frame.frameText);
    data_.UpdateLastTagRecord(record);
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
        return true;
    }
    case kResultReadOk:
        ProcessReadTag();
        return true;
    case kResultReadFailed:
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
}

} // namespace velmora
