// The main frame: menu bar, tool bar with the option status fields, prompt
// bar, bottom status bar, the tag window as its client and the 100 ms timer
// that drives the serial links. It keeps the option toggles, their check
// marks and their status fields in step, and saves the options when it
// closes.
#pragma once

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "data/TagLog.h"
#include "qt/TLabelPrinter.h"
#include "serial/CommPort.h"
#include "serial/ProgrammerHooks.h"
#include "serial/ReaderRecords.h"
#include "serial/SerialPorts.h"
#include "commlog/TDisplayMonData.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/ReaderDialogs.h"
#include "dialogs/TImportList.h"
#include "dialogs/TLabelPrinterSetup.h"
#include "dialogs/TTagLog.h"
#include "tagwindow/TAEIWindow.h"
#include "tagwindow/TagWindowHost.h"
#include "tagwindow/Workflows.h"
#include "umler/TUMLERData.h"

#include <QMainWindow>
#include <QStringList>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QScrollArea;
class QToolBar;

namespace velmora {

// What the frame takes from outside; tests replace each of them.
struct FrameServices {
    CommPortFactory* portFactory = nullptr; // required
    PortDeviceMap portMap = DefaultPortDevice;
    // The platform's "open" of a file or address; false when nothing opened it.
    std::function<bool(const QUrl&)> openUrl;
    // The save dialog of "Assign Log File Name"; nullopt on Cancel.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& current)> chooseLogFile;
    // The open dialog of "Import Tag List..."; nullopt on Cancel.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& current)> chooseImportList;
    // Modal dialogs run by the frame (About, the connection status,
    // programmer parameters); tests look at them without running them.
    std::function<void(QDialog& dialog)> runDialog;
    // The folders "Open Manual" and "Help" copy the manual from when the
    // start directory has none (ManualSourceDirectories); none in the tests.
    QStringList manualDirs;
    // False: the 100 ms timer is not started and EvTimer is called by hand.
    bool runTimer = true;
};

class TAEIDec : public QMainWindow,
                public TagWindowHost,
                public WorkflowHooks,
                public ProgrammerLinkUi,
                public ReaderLinkUi {
    Q_OBJECT
public:
    TAEIDec(AEIData& data, FrameServices services, QWidget* parent = nullptr);
    ~TAEIDec() override;

    // The frame's window set-up: check marks, the modeless windows the
    // options ask for, the tag log lines, the status fields and the timer.
    void SetupWindow();

    // The prompt bar; blink 1 makes the text blink until the mouse moves over
    // the tag form.
    void ShowPrompt(const std::string& text, int blink);
    // One tick of the 100 ms timer.
    void EvTimer();
    // A notification posted by the serial links (5, 6, 7, 9).
    void HandleNotification(int code);
    // A menu command by its id.
    void RunCommand(int commandId) override;

    // ---- TagWindowHost --------------------------------------------------------
    void ReplaceTagWindow(bool certifyPending) override;
    bool PromptBlinking() const override { return blinking_; }
    std::string PromptCopy() const override { return promptCopy_; }

    // ---- WorkflowHooks ----------------------------------------------------------
    void PrintLabel(const LastTagRecord& record) override;
    LotDialogResult ShowLotNumberDialog() override;
    void StartReaderSearch() override;
    void OpenReaderPortDialog() override;
    void UmlerRecordChanged() override;
    void LengthUnitsChanged(bool feetInches) override;
    void ShowProgrammedToday(const std::string& text) override;
    void ShowProgrammedCounter(const std::string& text) override;
    void RecentTagLinesChanged() override;
    void TagLogLineAdded() override;

    // ---- ProgrammerLinkUi ---------------------------------------------------------
    void SetProgrammerStatus(const std::string& text) override;
    void OpenSearchMessage(const std::string& text) override;
    bool SearchMessageOpen() const override;
    void SetSearchMessageText(const std::string& text) override;
    void CloseSearchMessage() override;
    void ShowConnectionStatus() override;
    void ReplaceTagWindow() override { ReplaceTagWindow(false); }

    // ---- ReaderLinkUi ---------------------------------------------------------------
    void OpenReaderMessage(const std::string& text) override;
    bool ReaderMessageOpen() const override;
    void SetReaderMessageText(const std::string& text) override;
    void CloseReaderMessage() override;
    void OpenRfReadStatus(const std::string& text) override;
    bool RfReadStatusOpen() const override;
    void CloseRfReadStatus() override;
    void SetRfReadStatusText(const std::string& text) override;
    void ShowReaderParameters(const ReaderParameters& parameters) override;

    // ---- what the app and the tests look at ----------------------------------------
    AEIData& Data() { return data_; }
    TagWorkflows& Workflows() { return *workflows_; }
    TAEIWindow* TagWindow() const { return tagWindow_; }
    SerialPorts& Ports() { return *ports_; }
    CommLog& CommunicationLog() { return *commLog_; }
    TagLogList& TagLogLines() { return tagLog_; }
    TLabelPrinter& LabelPrinter() { return *labelPrinter_; }
    QAction* Action(int commandId) const;
    QString PromptText() const;
    QString ProgrammerField() const;
    QString StatusField(int commandId) const; // by the option's menu id
    QString ProgrammedTodayField() const;
    QString ProgrammedCounterField() const;
    QString LogFileNameField() const;
    QToolBar* ToolBar() const { return toolBar_; }
    QToolBar* PromptBar() const { return promptBar_; }
    uint32_t TickCount() const { return tickCount_; }
    uint32_t BlinkPhase() const { return blinkPhase_; }
    TUMLERData* UmlerWindow() const { return umlerWindow_; }
    TTagLog* TagLogWindow() const { return tagLogWindow_; }
    TDisplayMonData* MonitorWindow() const { return monitor_; }
    bool MonitorOpen() const { return monitorOpen_; }
    TSearchMessage* SearchMessage() const { return searchMessage_; }
    TSearchMessage* ReaderMessage() const { return readerMessage_; }
    TRfReadStatus* RfReadStatus() const { return rfReadStatus_; }

    // ---- commands -------------------------------------------------------------------
    void CmExit();
    void CmRFCheck();
    void CmUMLERCheck();
    void CmLabelPrinting();
    void CmLogFileOn();
    void CmReconditionCheck();
    void CmLengthUnits();
    void CmShowTagLog();
    void CmShowUMLERRecord();
    void CmOpenLogFile();
    void CmLogFile();
    void CmImportTagList();
    void CmImportSettings();
    // Opens (or raises) the "Import List" window.
    void ShowImportWindow();
    // At start: the list whose window was open at the last exit, opened
    // again from the stored import tag file name.
    void ReopenImportList();
    void SetImportWindowShown(bool shown);
    // Whether the "Import List" window was open at exit is kept in the
    // settings block (the first of its formerly reserved bytes, so the file
    // keeps its layout; 0, closed, in a file written before).
    TImportList* ImportWindow() const { return importWindow_; }
    void CmLabelPrinterSetup();
    void CmCommMonitor();
    void CmAbout();
    void CmHelp();
    void CmOpenManual();
    void CmWebPage();
    void CmSearchProgrammer();
    void CmProgrammerParameters();
    void CmReaderPort();
    void CmReaderParameters();
    void CmSearchReader();
    // The set-up dialogs (TAEIDecSetupCommands.cpp).
    void CmLoadUMLER();
    void CmFindUMLER();
    void CmTagFormats();
    void CmProgrammedBy();
    void CmCertificationInitial();
    void CmBackgroundColor();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildBars();
    QAction* AddCommand(QMenu* menu, const char* text, int commandId, bool checkable = false);
    void SetCheck(int commandId, bool on);
    void SyncCheckMarks();
    void SetStatusField(int commandId, const std::string& text);
    void WriteStartupStatusFields();
    void PlaceBesideForm(QWidget* w, int left, int top);
    void OpenUmlerWindow(QWidget* parent);
    void OpenTagLogWindow(QWidget* parent);
    void UmlerWindowClosed();
    void TagLogWindowClosed();
    void MonitorClosed();
    void RunDialog(QDialog& dialog);
    // The search and reader messages: opened once (later texts change it),
    // closed and forgotten.
    void OpenMessage(QPointer<TSearchMessage>& message, const std::string& text);
    static void CloseMessage(QPointer<TSearchMessage>& message);
    int RunModal(QDialog& dialog); // RunDialog, then the dialog's result
    bool OpenUrl(const QUrl& url);
    void ToggleOption(uint8_t SettingsBlock::*flag, int commandId);
    void UpdateSearchCommands();

    AEIData& data_;
    FrameServices services_;
    std::unique_ptr<CommLog> commLog_;
    std::unique_ptr<SerialPorts> ports_;
    std::unique_ptr<TLabelPrinter> labelPrinter_;
    TagLogList tagLog_;
    std::unique_ptr<TagWorkflows> workflows_;

    QScrollArea* client_ = nullptr;
    QPointer<TAEIWindow> tagWindow_;
    QPointer<TAEIWindow> previousTagWindow_;

    std::map<int, QAction*> actions_;
    bool programmedByChecked_ = false;
    QToolBar* toolBar_ = nullptr;
    QToolBar* promptBar_ = nullptr;
    QLabel* programmerField_ = nullptr;
    std::map<int, QLabel*> statusFields_; // by the option's menu id
    QLabel* promptField_ = nullptr;
    QLabel* todayField_ = nullptr;
    QLabel* counterField_ = nullptr;
    QLabel* logNameField_ = nullptr;

    QTimer timer_;
    bool timerRunning_ = false;
    bool firstTickDone_ = false;
    uint32_t tickCount_ = 0;
    bool blinking_ = false;
    uint32_t blinkPhase_ = 0;
    std::string promptCopy_;

    QPointer<TUMLERData> umlerWindow_;
    QPointer<TTagLog> tagLogWindow_;
    QPointer<TImportList> importWindow_;
    QPointer<TDisplayMonData> monitor_;
    bool monitorOpen_ = false;
    QPointer<TSearchMessage> searchMessage_;
    QPointer<TSearchMessage> readerMessage_;
    QPointer<TRfReadStatus> rfReadStatus_;
};

} // namespace velmora
