// Read Tag, the RF check of a programmed tag with the portable reader, and
// the certification of used tags for reuse.
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"

#include <cstdio>

namespace velmora {

namespace {

constexpr const char* kSearchReaderQuestion =
    "A communication port has not been assigned to the portable reader.  Would you like to "
    "system to search for the portable reader?";
constexpr const char* kAssignPortQuestion =
    "Would you like to manually assign a communication port to the portable reader?";
constexpr const char* kPrintWithoutRfQuestion =
    "Would you like to print the label without an RF check?";
constexpr const char* kCannotCertifyText =
    "A tag cannot be certified for reuse unless it is successfully checked with an RF reader.";
constexpr const char* kOldFirmwareCertifyText =
    "A tag cannot be certified by a portable reader that has firmware version prior to 1.6.  To "
    "get the latest firmware contact Corvelle at 555 014-2290 or 555 014-3381.";
constexpr const char* kPartialCheckText =
    "The portable reader can only do a partial check of the data programmed into the tag.  To "
    "get the latest portable reader firmware version contact Corvelle at 555 014-2290 or 555 "
    "014-3381.";
constexpr const char* kDisagreeCertifyQuestion =
    "The data in the tag read by the portable RF reader disagrees with the data programmed into "
    "the tag.  The tag cannot be certified.  Do you want to try to read the tag again?";
constexpr const char* kDisagreeQuestion =
    "The data in the tag read by the portable RF reader disagrees with the data programmed into "
    "the tag.  Do you want to try to read the tag again?";
constexpr const char* kPrintAnywayQuestion =
    "Do you want to print the label anyway?  The label will show that the tag was not RF checked.";

constexpr const char* kCertificationFormat = "Railcar";

void SetRfResult(AEIData& data, int32_t result) {
    LastTagRecord r = data.GetLastTagRecord();
    r.rfResult = result;
    data.UpdateLastTagRecord(r);
}

} // namespace

// ---- Read Tag ----------------------------------------------------------------------

void TagWorkflows::CmReadTag() {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmReadTag");
    ClearResultPrompt();
    if (ProgrammerReady()) {
        ProgrammerState ps = GetProgrammerState(data_);
        SetText(ps.frameText, "");
        data_.GetOperator().ShowPrompt(kPromptReading, 0);
        ps.operationState = kOpRead;
        SetProgrammerState(data_, ps);
    }
    FocusField(0);
}

void TagWorkflows::ProcessReadTag() {
    const ProgrammerState ps = GetProgrammerState(data_);
    const std::string_view response = GetText(ps.response);
    const std::string_view frameText = response.empty() ? response : response.substr(1);
    const SettingsBlock s = data_.GetSettings();
    const DecodedFrame decoded = DecodeTagFrame(data_, frameText, data_.HalfFrameMode(),
                                                data_.MarketRegion(), s.feetInches != 0);
    if (!decoded.identified || decoded.formatIndex < 0 || decoded.formatIndex >= kFormatSlots)
        return;

    SetMarks(TagFormMarks());
    LastTagRecord record;
    record.readFlag = 1;
    record.formatIndex = static_cast<uint8_t>(decoded.formatIndex);
    for (int row = 0; row < kFieldRows; ++row)
        record.SetFieldText(row, decoded.texts[static_cast<std::size_t>(row)]);
    record.umlerResult = kUmlerNotChecked;
    record.SetFrameText(BitsToFrameText(decoded.bits));
    data_.UpdateLastTagRecord(record);

    FillFormFromRecord();
    // The form may have been rebuilt for the tag's format: the marks, the
    // side row and the raw data line go to the form now shown.
    if (form_) {
        form_->SetSideFieldRow(decoded.sideRow);
        form_->SetRawData(ShowRawData(decoded.bits));
    }
    data_.GetOperator().ShowPrompt(kPromptReadOk, 0);
}

// ---- the RF check ---------------------------------------------------------------------

void TagWorkflows::RequestRfReading(int port) {
    CommLinkData link = GetCommLinkData(data_, port);
    link.reader.rfReadRequested = 1;
    UpdateCommLinkData(data_, port, link);
    ProgrammerState ps = GetProgrammerState(data_);
    ps.operationState = kOpRfCheck;
    SetProgrammerState(data_, ps);
    data_.GetOperator().ShowPrompt(kPromptReadWithReader, 0);
}

bool TagWorkflows::RfCheck() {
    const int port = ReaderPort();
    if (port >= 0) {
        RequestRfReading(port);
        return false;
    }

    const char* error = data_.ErrorCaption();
    if (AskYesNo(error, kSearchReaderQuestion)) {
        hooks_.StartReaderSearch();
        return false;
    }
    if (AskYesNo(error, kAssignPortQuestion)) {
        hooks_.OpenReaderPortDialog();
        return false;
    }

    if (data_.GetLastTagRecord().certify == 1) {
        // A tag to be certified is never logged or labelled without a
        // passing check. The result stays 2: assigning a reader port later
        // resumes the check of this tag.
        ShowError(kCannotCertifyText, MsgIcon::Stop);
        ProgrammerState ps = GetProgrammerState(data_);
        ps.operationState = kOpIdle;
        SetProgrammerState(data_, ps);
        data_.GetOperator().ShowPrompt(kPromptNotCertified, 0);
        return true;
    }
    if (AskYesNo(error, kPrintWithoutRfQuestion)) {
        // Finished: a later reader port assignment must not log it again.
        FinishProgrammedTag();
        EndOperation();
        return true;
    }
    // Not logged; the result stays 2 so that a later reader port assignment
    // resumes the check of this tag.
    ProgrammerState ps = GetProgrammerState(data_);
    ps.operationState = kOpIdle;
    SetProgrammerState(data_, ps);
    return true;
}

bool TagWorkflows::RetryRfReading() {
    const int port = ReaderPort();
    if (port < 0) {
        // The reader port was taken away meanwhile: ask as for a new check.
        ProgrammerState ps = GetProgrammerState(data_);
        ps.operationState = kOpIdle;
        ps.operationResult = kResultProgramOk;
        SetProgrammerState(data_, ps);
        RfCheck();
        return true;
    }
    RequestRfReading(port);
    return true;
}

bool TagWorkflows::RfOutcome(int result) {
    const LastTagRecord record = data_.GetLastTagRecord();
    const bool certify = record.certify == 1;
    const TagFormatData format = data_.GetTagFormatData(record.formatIndex);

    switch (result) {
    case kResultRfCancelled:
        if (certify) ShowError(kCannotCertifyText, MsgIcon::Stop);
        else FinishProgrammedTag();
        EndOperation();
        data_.GetOperator().ShowPrompt(kPromptNotCertified, 0);
        return true;

    case kResultRfAgrees:
        SetRfResult(data_, kRfOk);
        FinishProgrammedTag();
        EndOperation();
        return true;

    case kResultRfIdOnly:
        SetRfResult(data_, kRfIdOnly);
        if (IsEotWabtecFormat(format)) {
            FinishProgrammedTag();
        } else if (certify) {
            ShowInfo(kOldFirmwareCertifyText, MsgIcon::Stop);
        } else {
            if (!partialNoticeShown_) {
                partialNoticeShown_ = true;
                ShowInfo(kPartialCheckText, MsgIcon::Stop);
            }
            FinishProgrammedTag();
        }
        EndOperation();
        return true;

    case kResultRfDisagrees: {
        const char* error = data_.ErrorCaption();
        if (certify) {
            if (AskYesNo(error, kDisagreeCertifyQuestion)) return RetryRfReading();
            SetRfResult(data_, kRfNotChecked);
            ProgrammerState ps = GetProgrammerState(data_);
            ps.operationState = kOpIdle;
            SetProgrammerState(data_, ps);
            return true;
        }
        if (AskYesNo(error, kDisagreeQuestion)) return RetryRfReading();
        SetRfResult(data_, kRfNotChecked);
        if (AskYesNo(error, kPrintAnywayQuestion)) FinishProgrammedTag();
        EndOperation();
        return true;
    }
    default:
        return true;
    }
}

// ---- certification ---------------------------------------------------------------------

void TagWorkflows::CmCertifyTag() {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmCertifyTag");
    ClearResultPrompt();
    if (!ProgrammerReady()) {
        FocusField(0);
        return;
    }
    const int index = data_.FindTagFormatByName(kCertificationFormat);
    if (index < 0) return;
    SettingsBlock s = data_.GetSettings();
    if (index == s.currentFormat) {
        CertificationFill();
        return;
    }
    s.currentFormat = static_cast<uint8_t>(index);
    data_.UpdateSettings(s);
    if (form_) form_->ReplaceTagWindow(true);
}

void TagWorkflows::CertificationFill() {
    if (!form_) return;
    const SettingsBlock s = data_.GetSettings();
    if (data_.GetTagFormatData(s.currentFormat).Name() != kCertificationFormat) return;

    char buf[32];
    form_->SetFieldText(0, std::string(GetText(s.certificationInitial)));
    std::snprintf(buf, sizeof buf, "%d",
                  static_cast<int>(CertificationNumber(data_.GetClock().Now().dayOfYear, s.certifiedCount)));
    form_->SetFieldText(1, buf);

    form_->SetFieldText(2, NextRandom() % 2 == 0 ? "LEFT" : "RIGHT");
    const int feet = static_cast<int>(NextRandom() % 70) + 35;
    const int inches = static_cast<int>(NextRandom() % 12);
    if (s.feetInches != 0) std::snprintf(buf, sizeof buf, "%d-%d", feet, inches);
    else std::snprintf(buf, sizeof buf, "%d", static_cast<int>(InchesToDecimeters(feet * 12 + inches)));
    form_->SetFieldText(3, buf);

    const uint32_t r = NextRandom() % 100;
    form_->SetFieldText(5, r >= 95 ? "8" : (r >= 85 ? "6" : "4"));
    form_->SetFieldText(6, "1");
    form_->SetFieldText(7, "0");

    ProgramTag(false, true);
    FocusField(0);
}

} // namespace velmora
