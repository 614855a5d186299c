// The tag workflows behind the tag form: Program Tag, Read Tag, the RF check
// with the portable reader, the certification of used tags, the UMLER lookup,
// the number-stepping commands, the tag counter reset, the format change and
// the carry-over of typed values when the length units change.
//
// The workflows never touch a port. They store requests in the programmer
// state record; the links carry them out and call ProgrammerCompletion when
// an exchange ends. Message boxes and the prompt bar go through the data
// object's Operator; the form through TagForm; what lives in the frame
// through WorkflowHooks.
//
// One TagWorkflows lives as long as the frame. Whenever the frame replaces
// the tag window it hands the new form over with SetForm before the new
// form's set-up runs. With no form set, the commands that need one do
// nothing.
#pragma once

#include "data/LastTagRecord.h"
#include "data/TagLog.h"
#include "platform/Operator.h"
#include "tagwindow/ImportSession.h"
#include "tagwindow/TagForm.h"
#include "umler/UmlerLookup.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

// The lot number dialog's outcome. NotShown: this front end has no dialog.
enum class LotDialogResult { NotShown, Ok, Cancel };

// What the workflows need from the frame. The counter panes and the recent
// tags list come through the TagLogListener calls. Every call has a
// do-nothing default.
class WorkflowHooks : public TagLogListener {
public:
    // Prints the tag's label (label printing is on).
    virtual void PrintLabel(const LastTagRecord& record) { (void)record; }
    // Starts the reader search ("Search for Reader"). At its end the frame
    // calls ProgrammerCompletion again while the operation result is still 2.
    virtual void StartReaderSearch() {}
    // Opens the "Reader Port Selection" dialog. On OK the dialog stores the
    // port and, while the operation result is 2, calls ProgrammerCompletion
    // again (best posted; a call from inside this hook is also handled).
    virtual void OpenReaderPortDialog() {}
    // The lot number dialog ("Tag Manufactring Lot Number"); on OK it has
    // stored the reconditioned flag, lot day and lot year in the last tag
    // record.
    virtual LotDialogResult ShowLotNumberDialog() { return LotDialogResult::NotShown; }
    // The current UMLER record changed: an open UMLER record window shows it.
    virtual void UmlerRecordChanged() {}
    // The status bar's lengths field and the menu check mark after the
    // length units were switched (feetInches is the new setting).
    virtual void LengthUnitsChanged(bool feetInches) { (void)feetInches; }
};

// The prompt texts of the workflows.
inline constexpr const char* kPromptProgramming =
    "Programming Tag - place tag in programmer and hold it down";
inline constexpr const char* kPromptReading = "Reading Tag - place tag in programmer and hold it down";
inline constexpr const char* kPromptProgramFailed = "Error - could not program tag";
inline constexpr const char* kPromptReadFailed = "Error - could not read tag";
inline constexpr const char* kPromptReadOk = "Tag was successfully read";
inline constexpr const char* kPromptProgrammedOk = "Tag was successfully programmed";
inline constexpr const char* kPromptReadWithReader = "Please read the tag with the portable reader";
inline constexpr const char* kPromptNotCertified = "Tag not certified, not RF checked";

// Operation results of an RF check (set by the reader link).
inline constexpr uint8_t kResultRfCancelled = 20;
inline constexpr uint8_t kResultRfAgrees = 21;
inline constexpr uint8_t kResultRfIdOnly = 22;
inline constexpr uint8_t kResultRfDisagrees = 23;

class TagWorkflows {
public:
    TagWorkflows(AEIData& data, TagLogList& tagLog, WorkflowHooks& hooks);
    TagWorkflows(const TagWorkflows&) = delete;
    TagWorkflows& operator=(const TagWorkflows&) = delete;

    // The form the workflows act on (null: none yet).
    void SetForm(TagForm* form) { form_ = form; }
    TagForm* Form() const { return form_; }
    // The UMLER data file looked in (default "umlerdata.uml" in the working
    // directory).
    void SetUmlerDataPath(std::string path) { umler_ = UmlerLookup(std::move(path)); }
    // The random numbers of the certification fill (tests give a sequence).
    void SetRandomSource(std::function<uint32_t()> next) { random_ = std::move(next); }

    // ---- program a tag ------------------------------------------------------
    // "Program Tag F1": the programmer checks, then ProgramTag(true, false);
    // always ends with FocusField(0).
    void CmProgramTag();
    void ProgramTag(bool checkUmler, bool certify);
    // 0 agrees, 1 not checked, 2 disagrees; sets the UMLER marks.
    int CompareWithUmler();
    // The links' completion handler: results 2, 3, 5, 6, 20-23. True when
    // the outcome is fully handled, false when a further step was started
    // (a reader search, the reader port dialog or an RF reading).
    bool ProgrammerCompletion();
    // Logs the tag, shows the success prompt, prints the label.
    void FinishProgrammedTag();
    void FocusField(int row);

    // ---- read, certify, set-up ---------------------------------------------
    // "Read Tag F2".
    void CmReadTag();
    // Result 5: the response into the last tag record and the form.
    void ProcessReadTag();
    // Shows the last tag record on the form when its read flag is 1,
    // replacing the form when the record has another format.
    void FillFormFromRecord();
    // "Certify Tag F9".
    void CmCertifyTag();
    // The certification fill on the "Railcar" form, then the programming.
    void CertificationFill();
    // The values of a new form during its set-up: clears the marks and the
    // tag type text, then fills the rows from the last tag record (read flag
    // 1) or puts each row's default in its control. The form runs it before
    // filling its tag type list.
    void SetupFormValues();

    // ---- fleet lists ------------------------------------------------------------
    // Opens a list with the import settings (delimiter, header flag) and the
    // current format: checks every line, settles what an earlier run left
    // half done and puts the first waiting line on the form. Empty on
    // success, else why the list cannot be used.
    std::string OpenImportList(const std::string& path);
    ImportSession& Import() { return import_; }
    // Puts a line's values on the form (replacing the form for another
    // format); refused lines and a tag that is not finished yet leave the form.
    bool FillFormFromImportLine(int index);

    // ---- UMLER lookup ---------------------------------------------------------
    // "UMLER Lookup F12".
    void CmUmlerLookup();

    // ---- stepping commands and counters ---------------------------------------
    void CmNextTag();       // F8
    void CmPreviousTag();   // F5
    void CmAdd10();         // F7
    void CmAdd100();        // F6
    void CmSubtract10();    // F4
    void CmSubtract100();   // F3
    void CmClearTagCounter();

    // ---- format and units -----------------------------------------------------
    // Format list selection changed to the format of that name.
    void CmFormatChange(std::string_view formatName);
    // "Lengths in Feet-Inches": switches the units, carries the typed values
    // over to the rebuilt form with their lengths converted, and calls
    // WorkflowHooks::LengthUnitsChanged. Returns the new setting.
    bool CmLengthUnits();

private:
    // Helpers shared by the workflow files.
    bool ProgrammerReady();            // the two programmer checks, with their messages
    bool ProgrammedTagPending() const; // a programmed tag is not finished yet
    void StepNumber(int kind);
    bool RfCheck();
    bool RfOutcome(int result);
    bool RetryRfReading();
    void RequestRfReading(int port);
    void EndOperation(); // operation state 0 and result 0
    // At the start of Program, Read and Certify: the prompt of a finished
    // operation is cleared (the prompt of one still running stays).
    void ClearResultPrompt();
    // The edit controls show their texts upper-cased, as they are programmed.
    void ShowTextsUpperCased();
    // Fleet list steps of the Program Tag workflow.
    void SettleImportLines();
    bool ImportHandOver(const std::string& frame);
    bool ImportReadBack(bool readOk);
    void ImportLineFinished(const std::string& prompt);
    bool FillImportLine(int index);
    int ReaderPort() const; // 0..3, -1 none
    std::string FormText(int row, std::size_t maxChars = 30) const;
    FieldControl Control(int row) const;
    void SetMarks(const TagFormMarks& marks);
    LastTagRecord RecordFromForm(int formatIndex) const;
    void CarryOver(const LastTagRecord& carried, bool replaceForm);
    uint32_t NextRandom();
    void ShowError(const std::string& text, MsgIcon icon);
    void ShowInfo(const std::string& text, MsgIcon icon);
    bool AskYesNo(const std::string& caption, const std::string& text);

    AEIData& data_;
    TagLogList& tagLog_;
    WorkflowHooks& hooks_;
    TagForm* form_ = nullptr;
    // The register stays open between lookups; it reopens itself when a load
    // replaces the data file.
    UmlerLookup umler_;
    std::function<uint32_t()> random_;
    std::minstd_rand engine_;
    bool partialNoticeShown_ = false; // the partial-check notice, once a run
    ImportSession import_;
    int settlingLine_ = -1; // the list line whose tag is being read back
    int settledLine_ = -1;  // the list line whose tag was read back: F1 programs it
};

} // namespace velmora
