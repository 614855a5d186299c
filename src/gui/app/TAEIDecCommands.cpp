// The frame's menu commands: the option toggles, the modeless windows, the
// log file, the label printer, the monitor, help and exit.
#include "app/TAEIDec.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "commlog/TDisplayMonData.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/TImportSettings.h"
#include "dialogs/TTagLog.h"
#include "qt/QtOperator.h"
#include "serial/ProgrammerApi.h"
#include "setup/ManualFile.h"
#include "serial/ReaderApi.h"
#include "tagwindow/TAEIWindow.h"
#include "umler/TUMLERData.h"

#include <QAction>

#include <algorithm>
#include <filesystem>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

namespace velmora {

void TAEIDec::RunCommand(int commandId) {
    switch (commandId) {
    case cmd::kExit: CmExit(); break;
    case cmd::kRFCheck: CmRFCheck(); break;
    case cmd::kUMLERCheck: CmUMLERCheck(); break;
    case cmd::kLabelPrinting: CmLabelPrinting(); break;
    case cmd::kLogFileOn: CmLogFileOn(); break;
    case cmd::kReconditionCheck: CmReconditionCheck(); break;
    case cmd::kLengthUnits: CmLengthUnits(); break;
    case cmd::kShowTagLog: CmShowTagLog(); break;
    case cmd::kShowUMLERRecord: CmShowUMLERRecord(); break;
    case cmd::kOpenLogFile: CmOpenLogFile(); break;
    case cmd::kLogFile: CmLogFile(); break;
    case cmd::kImportTagList: CmImportTagList(); break;
    case cmd::kImportSettings: CmImportSettings(); break;
    case cmd::kLabelPrinterSetup: CmLabelPrinterSetup(); break;
    case cmd::kCommMonitor: CmCommMonitor(); break;
    case cmd::kAbout: CmAbout(); break;
    case cmd::kHelp: CmHelp(); break;
    case cmd::kOpenManual: CmOpenManual(); break;
    case cmd::kWebPage: CmWebPage(); break;
    case cmd::kSearchProgrammer: CmSearchProgrammer(); break;
    case cmd::kProgrammerParameters: CmProgrammerParameters(); break;
    case cmd::kReaderPort: CmReaderPort(); break;
    case cmd::kReaderParameters: CmReaderParameters(); break;
    case cmd::kSearchReader: CmSearchReader(); break;
    case cmd::kLoadUMLER: CmLoadUMLER(); break;
    case cmd::kFindUMLER: CmFindUMLER(); break;
    case cmd::kTagFormats: CmTagFormats(); break;
    case cmd::kProgrammedBy: CmProgrammedBy(); break;
    case cmd::kCertificationInitial: CmCertificationInitial(); break;
    case cmd::kBackgroundColor: CmBackgroundColor(); break;
    default:
        data_.GetOperator().MessageBox(data_.ProductCaption(), "This function is not available in this version.",
                                       MsgIcon::Information, MsgButtons::Ok);
        break;
    }
}

void TAEIDec::CmExit() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmExit");
    close();
}

// ---- option toggles ------------------------------------------------------------------

void TAEIDec::ToggleOption(uint8_t SettingsBlock::*flag, int commandId) {
    SettingsBlock s = data_.GetSettings();
    s.*flag = s.*flag != 0 ? 0 : 1;
    data_.UpdateSettings(s);
    const bool on = s.*flag != 0;
    SetCheck(commandId, on);
    switch (commandId) {
    case cmd::kRFCheck: SetStatusField(commandId, OptionStatusText(StatusOption::RFCheck, on, true)); break;
    case cmd::kUMLERCheck: SetStatusField(commandId, OptionStatusText(StatusOption::UMLERCheck, on, true)); break;
    case cmd::kLabelPrinting:
        SetStatusField(commandId, OptionStatusText(StatusOption::LabelPrinting, on, true));
        break;
    case cmd::kLogFileOn: SetStatusField(commandId, OptionStatusText(StatusOption::LogFile, on, true)); break;
    default: break; // the recondition check has no status field
    }
}

void TAEIDec::CmRFCheck() { ToggleOption(&SettingsBlock::autoRfCheck, cmd::kRFCheck); }
void TAEIDec::CmUMLERCheck() { ToggleOption(&SettingsBlock::autoUmlerCheck, cmd::kUMLERCheck); }
void TAEIDec::CmLabelPrinting() { ToggleOption(&SettingsBlock::labelPrintingOn, cmd::kLabelPrinting); }
void TAEIDec::CmLogFileOn() { ToggleOption(&SettingsBlock::logFileOn, cmd::kLogFileOn); }
void TAEIDec::CmReconditionCheck() { ToggleOption(&SettingsBlock::reconditionCheck, cmd::kReconditionCheck); }

void TAEIDec::CmLengthUnits() {
    // The workflows switch the units, carry the typed values over to the new
    // form and call LengthUnitsChanged for the check mark and status text.
    workflows_->CmLengthUnits();
}

// ---- modeless windows ------------------------------------------------------------------------

// Places a modeless window where it leaves the tag form's controls free
// (beside the form, whose controls end at about x 790, or below it), inside
// the frame where it fits.
void TAEIDec::PlaceBesideForm(QWidget* w, int left, int top) {
    const QRect g = geometry();
    const QSize size = w->sizeHint().expandedTo(w->minimumSize());
    const int x = g.x() + std::max(0, std::min(left, g.width() - size.width() - 10));
    const int y = g.y() + std::max(0, std::min(top, g.height() - size.height() - 40));
    w->move(x, y);
}

void TAEIDec::OpenUmlerWindow(QWidget* parent) {
    auto* w = new TUMLERData(data_, [this] { UmlerWindowClosed(); }, parent);
    umlerWindow_ = w;
    PlaceBesideForm(w, 820, 110);
    w->show();
}

void TAEIDec::OpenTagLogWindow(QWidget* parent) {
    auto* w = new TTagLog(data_, tagLog_, [this] { TagLogWindowClosed(); }, parent);
    tagLogWindow_ = w;
    PlaceBesideForm(w, 10, 660);
    w->show();
}

void TAEIDec::UmlerWindowClosed() {
    if (umlerWindow_) umlerWindow_->deleteLater();
    umlerWindow_ = nullptr;
    SettingsBlock s = data_.GetSettings();
    s.umlerWindowShown = 0;
    data_.UpdateSettings(s);
    SetCheck(cmd::kShowUMLERRecord, false);
}

void TAEIDec::TagLogWindowClosed() {
    if (tagLogWindow_) tagLogWindow_->deleteLater();
    tagLogWindow_ = nullptr;
    SettingsBlock s = data_.GetSettings();
    s.tagLogWindowShown = 0;
    data_.UpdateSettings(s);
    SetCheck(cmd::kShowTagLog, false);
}

void TAEIDec::CmShowUMLERRecord() {
    SettingsBlock s = data_.GetSettings();
    if (!umlerWindow_) {
        // Owned by the frame, so that a later format change leaves it open.
        OpenUmlerWindow(this);
        if (tagWindow_) tagWindow_->FocusField(tagWindow_->CurrentField());
        s.umlerWindowShown = 1;
        data_.UpdateSettings(s);
        SetCheck(cmd::kShowUMLERRecord, true);
    } else {
        umlerWindow_->ForgetOwner();
        delete umlerWindow_.data();
        umlerWindow_ = nullptr;
        s.umlerWindowShown = 0;
        data_.UpdateSettings(s);
        SetCheck(cmd::kShowUMLERRecord, false);
    }
}

void TAEIDec::CmShowTagLog() {
    SettingsBlock s = data_.GetSettings();
    if (!tagLogWindow_) {
        OpenTagLogWindow(this);
        if (tagWindow_) tagWindow_->FocusField(tagWindow_->CurrentField());
        s.tagLogWindowShown = 1;
        data_.UpdateSettings(s);
        SetCheck(cmd::kShowTagLog, true);
    } else {
        tagLogWindow_->ForgetOwner();
        delete tagLogWindow_.data();
        tagLogWindow_ = nullptr;
        s.tagLogWindowShown = 0;
        data_.UpdateSettings(s);
        SetCheck(cmd::kShowTagLog, false);
    }
}

void TAEIDec::MonitorClosed() { monitorOpen_ = false; }

void TAEIDec::CmCommMonitor() {
    if (monitorOpen_) return;
    monitorOpen_ = true;
    if (!monitor_) monitor_ = new TDisplayMonData(*commLog_, [this] { MonitorClosed(); }, this);
    monitor_->Open();
    activateWindow();
}

// ---- files, printer, shell -----------------------------------------------------------------

bool TAEIDec::OpenUrl(const QUrl& url) {
    if (services_.openUrl) return services_.openUrl(url);
    return QDesktopServices::openUrl(url);
}

void TAEIDec::CmOpenLogFile() {
    // The result is not checked: a missing file simply shows nothing.
    OpenUrl(QUrl::fromLocalFile(FromCoreText(TagLogFilePath(data_))));
}

void TAEIDec::CmLogFile() {
    AEIData::OperationScope scope(data_, "CmLogFile");
    const std::string current = TagLogFilePath(data_);
    std::optional<std::string> chosen;
    if (services_.chooseLogFile) {
        chosen = services_.chooseLogFile(this, current);
    } else {
        const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Assign Log File Name"),
                                                          FromCoreText(current),
                                                          QStringLiteral("Tag Log Files (*.txt)"));
        if (!name.isEmpty()) chosen = ToCoreText(name);
    }
    if (!chosen || chosen->empty()) return;
    if (chosen->size() >= kFileNameWidth) {
        // The options file keeps 119 characters of the name: a longer one
        // would be cut and the log written somewhere else.
        data_.GetOperator().MessageBox(data_.ErrorCaption(),
                                       "The log file name is too long.  Please choose a name of at most 119 "
                                       "characters including its folder.",
                                       MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    data_.SetTagLogFileName(*chosen);
    logNameField_->setText(FromCoreText(LogFileNameText(TagLogFilePath(data_))));
}

void TAEIDec::CmImportTagList() {
    AEIData::OperationScope scope(data_, "CmImportTagList");
    std::string current = data_.ImportTagFileName();
    if (!current.empty() && std::filesystem::path(current).is_relative()) current = data_.StartDirectory() + current;
    std::optional<std::string> chosen;
    if (services_.chooseImportList) {
        chosen = services_.chooseImportList(this, current);
    } else {
        const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("Import Tag List"),
                                                          FromCoreText(current),
                                                          QStringLiteral("Tag Lists (*.txt *.csv);;All Files (*)"));
        if (!name.isEmpty()) chosen = ToCoreText(name);
    }
    if (!chosen || chosen->empty()) return;
    if (chosen->size() < kFileNameWidth) data_.SetImportTagFileName(*chosen);
    const std::string error = workflows_->OpenImportList(*chosen);
    if (!error.empty()) {
        data_.GetOperator().MessageBox(data_.ErrorCaption(), "The list could not be opened.  " + error,
                                       MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    ShowImportWindow();
    // Reopened at start only when its name could be stored.
    SetImportWindowShown(chosen->size() < kFileNameWidth);
}

void TAEIDec::ReopenImportList() {
    std::string path = data_.ImportTagFileName();
    if (path.empty()) {
        SetImportWindowShown(false);
        return;
    }
    if (std::filesystem::path(path).is_relative()) path = data_.StartDirectory() + path;
    const std::string error = workflows_->OpenImportList(path);
    if (!error.empty()) {
        SetImportWindowShown(false);
        data_.GetOperator().MessageBox(data_.ErrorCaption(), "The list could not be opened.  " + error,
                                       MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    ShowImportWindow();
}

void TAEIDec::SetImportWindowShown(bool shown) {
    SettingsBlock s = data_.GetSettings();
    s.importWindowShown = shown ? 1 : 0;
    data_.UpdateSettings(s);
}

void TAEIDec::CmImportSettings() {
    TImportSettings dialog(data_, this);
    RunDialog(dialog);
}

void TAEIDec::ShowImportWindow() {
    if (!importWindow_) {
        auto* w = new TImportList(
            workflows_->Import(), [this](int index) { workflows_->FillFormFromImportLine(index); },
            [this] {
                if (importWindow_) importWindow_->deleteLater();
                importWindow_ = nullptr;
                SetImportWindowShown(false);
            },
            this);
        importWindow_ = w;
        PlaceBesideForm(w, 820, 400);
    }
    importWindow_->Refresh();
    importWindow_->show();
    importWindow_->raise();
}

void TAEIDec::CmLabelPrinterSetup() {
    TLabelPrinterSetup dialog(data_, *labelPrinter_, FindInstalledPrinters(), this);
    RunDialog(dialog);
}

void TAEIDec::CmAbout() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmAbout");
    TAbout about(data_.VersionText(), this);
    RunDialog(about);
}

void TAEIDec::CmHelp() {
    const QString path = FromCoreText(data_.StartDirectory()) + QString::fromLatin1(maker::kHelpFileName);
    // Without a help file and its viewer the manual answers the questions.
    if (!QFileInfo::exists(path) || !OpenUrl(QUrl::fromLocalFile(path))) CmOpenManual();
}

void TAEIDec::CmOpenManual() {
    // The manual built beside the program is put into the start directory
    // when it is not there yet.
    InstallManual(services_.manualDirs, FromCoreText(data_.StartDirectory()));
    const QString path = FromCoreText(data_.StartDirectory()) + QString::fromLatin1(maker::kManualFileName);
    int result = 33;
    if (!QFileInfo::exists(path)) result = kShellFileNotFound;
    else if (!OpenUrl(QUrl::fromLocalFile(path))) result = kShellNoAssociation;
    if (result > 32) return;
    data_.GetOperator().MessageBox(data_.ErrorCaption(),
                                   ManualFailureText(result, maker::kWebAddress, maker::kPdfReaderAddress),
                                   MsgIcon::Stop, MsgButtons::Ok);
}

void TAEIDec::CmWebPage() { OpenUrl(QUrl(QString::fromLatin1(maker::kWebAddress))); }

// ---- programmer --------------------------------------------------------------------------------

void TAEIDec::CmSearchProgrammer() { SearchForProgrammer(data_); }

void TAEIDec::CmProgrammerParameters() {
    if (!CheckProgrammerOn(data_)) return;
    TProgrammerParameters dialog(GetProgrammerState(data_), this);
    RunDialog(dialog);
}

// ---- portable reader ------------------------------------------------------------------------

void TAEIDec::CmReaderPort() {
    TReaderPortSelection dialog(data_, this);
    RunDialog(dialog);
}

void TAEIDec::CmReaderParameters() { ReadReaderParameters(data_); }

void TAEIDec::CmSearchReader() { SearchForReader(data_); }

} // namespace velmora
