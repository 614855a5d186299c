#include "app/TAEIDec.h"

#include "app/FrameTexts.h"
#include "app/MenuIds.h"
#include "commlog/TDisplayMonData.h"
#include "commlog/TrimLog.h"
#include "data/OptionsFile.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/TTagLog.h"
#include "qt/QtOperator.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReaderApi.h"
#include "tagwindow/TAEIWindow.h"
#include "umler/TUMLERData.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace velmora {

namespace {

// A recessed text field of the bars, at least `chars` average characters wide.
QLabel* MakeField(QWidget* parent, int chars, Qt::Alignment align, int pointSize) {
    auto* label = new QLabel(parent);
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(false);
    label->setFont(f);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(QFontMetrics(f).averageCharWidth() * chars + 8);
    label->setContentsMargins(4, 1, 4, 1);
    return label;
}

QWidget* MakeSeparator(QWidget* parent, int size) {
    auto* w = new QWidget(parent);
    w->setFixedWidth(size * 2);
    return w;
}

// The picture on the tool bar's Communications Monitor button: two ports with
// traffic between them.
QIcon MonitorIcon() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 90, 160));
    p.drawRect(2, 6, 7, 12);
    p.drawRect(15, 6, 7, 12);
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawLine(9, 9, 15, 9);
    p.drawLine(9, 15, 15, 15);
    return QIcon(pm);
}

} // namespace

TAEIDec::TAEIDec(AEIData& data, FrameServices services, QWidget* parent)
    : QMainWindow(parent), data_(data), services_(std::move(services)) {
    commLog_ = std::make_unique<CommLog>(data_);
    ports_ = std::make_unique<SerialPorts>(*services_.portFactory, *commLog_, services_.portMap);
    labelPrinter_ = std::make_unique<TLabelPrinter>(data_.GetPrinterSettings(0), data_.StartDirectory());
    workflows_ = std::make_unique<TagWorkflows>(data_, tagLog_, *this);
    workflows_->Import().changed = [this] {
        if (importWindow_) importWindow_->Refresh();
    };
    workflows_->SetUmlerDataPath(data_.StartDirectory() + kUmlerDataFileName);

    // The programmer's run state starts afresh; its port, model and version
    // are kept from the last run.
    ClearProgrammerRunState(data_);
    ResetCommStatus(data_, *ports_);
    data_.serial.programmerUi = this;
    data_.serial.reader.ui = this;
    data_.serial.programmerCompletion = [this] { workflows_->ProgrammerCompletion(); };

    client_ = new QScrollArea(this);
    client_->setWidgetResizable(true); // the form fills the client area, scrolling below its own size
    client_->setFrameShape(QFrame::NoFrame);
    client_->verticalScrollBar()->setSingleStep(16);
    setCentralWidget(client_);

    BuildMenus();
    BuildBars();

    timer_.setSingleShot(true);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &TAEIDec::EvTimer);

    ReplaceTagWindow(false);
}

TAEIDec::~TAEIDec() {
    timer_.stop();
    if (data_.serial.programmerUi == this) data_.serial.programmerUi = nullptr;
    if (data_.serial.reader.ui == this) data_.serial.reader.ui = nullptr;
    if (rfReadStatus_) rfReadStatus_->Dismiss();
    data_.serial.programmerCompletion = nullptr;
    workflows_->SetForm(nullptr);
    if (monitor_) delete monitor_.data();
    commLog_->SetMonitorRefresh({});
    if (umlerWindow_) umlerWindow_->ForgetOwner();
    if (tagLogWindow_) tagLogWindow_->ForgetOwner();
    workflows_->Import().changed = nullptr;
    if (importWindow_) delete importWindow_.data(); // it shows the workflows' list
    delete tagWindow_.data();
    delete previousTagWindow_.data();
}

// ---- menus and bars ----------------------------------------------------------------

QAction* TAEIDec::AddCommand(QMenu* menu, const char* text, int commandId, bool checkable) {
    QAction* a = menu->addAction(QString::fromLatin1(text));
    a->setData(commandId);
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, commandId] {
        RunCommand(commandId);
        // A check mark shows the option, whatever the click did to it.
        SyncCheckMarks();
    });
    actions_[commandId] = a;
    return a;
}

QAction* TAEIDec::Action(int commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

void TAEIDec::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    AddCommand(file, "Load UMLER CD Data", cmd::kLoadUMLER);
    AddCommand(file, "Import Tag List...", cmd::kImportTagList);
    file->addSeparator();
    AddCommand(file, "Label Printer Setup", cmd::kLabelPrinterSetup);
    file->addSeparator();
    AddCommand(file, "E&xit", cmd::kExit);

    QMenu* options = bar->addMenu(QStringLiteral("Options"));
    AddCommand(options, "Automatic RF Check", cmd::kRFCheck, true);
    AddCommand(options, "Automatic UMLER Check", cmd::kUMLERCheck, true);
    options->addSeparator();
    AddCommand(options, "Label Printing On", cmd::kLabelPrinting, true);
    AddCommand(options, "Log File On", cmd::kLogFileOn, true);
    options->addSeparator();
    AddCommand(options, "Lengths in Feet-Inches", cmd::kLengthUnits, true);
    options->addSeparator();
    AddCommand(options, "Recondtion Check", cmd::kReconditionCheck, true);

    QMenu* programmer = bar->addMenu(QStringLiteral("Programmer"));
    AddCommand(programmer, "Programmer Model and Version", cmd::kProgrammerParameters);
    AddCommand(programmer, "Search for a Programmer", cmd::kSearchProgrammer);
    AddCommand(programmer, "Communications Monitor", cmd::kCommMonitor);

    QMenu* reader = bar->addMenu(QStringLiteral("RF Reader"));
    AddCommand(reader, "Reader Port Assignment", cmd::kReaderPort);
    AddCommand(reader, "Read Reader Parameters", cmd::kReaderParameters);
    AddCommand(reader, "Search for Reader", cmd::kSearchReader);

    QMenu* setup = bar->addMenu(QStringLiteral("Setup"));
    AddCommand(setup, "Assign Log File Name", cmd::kLogFile);
    AddCommand(setup, "Import Settings...", cmd::kImportSettings);
    setup->addSeparator();
    AddCommand(setup, "Certification Vehicle Initial", cmd::kCertificationInitial);
    AddCommand(setup, "Programmed By Data Entry", cmd::kProgrammedBy, true);
    setup->addSeparator();
    AddCommand(setup, "Set Background Color", cmd::kBackgroundColor);

    QMenu* tools = bar->addMenu(QStringLiteral("Tools"));
    AddCommand(tools, "Find UMLER Data", cmd::kFindUMLER);
    tools->addSeparator();
    AddCommand(tools, "Tag Formats", cmd::kTagFormats);

    QMenu* view = bar->addMenu(QStringLiteral("View"));
    AddCommand(view, "Display Programmed Tag Log", cmd::kShowTagLog, true);
    AddCommand(view, "Open Log File", cmd::kOpenLogFile);
    view->addSeparator();
    AddCommand(view, "Display UMLER Record", cmd::kShowUMLERRecord, true);

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    AddCommand(help, "&About", cmd::kAbout);
    AddCommand(help, "Help", cmd::kHelp);
    help->addSeparator();
    AddCommand(help, "Open Manual", cmd::kOpenManual);
    help->addSeparator();
    AddCommand(help, "Corvelle's Web Page", cmd::kWebPage);
}

void TAEIDec::BuildBars() {
    toolBar_ = new QToolBar(QStringLiteral("Status"), this);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    const int small = 8;
    programmerField_ = MakeField(toolBar_, 12, Qt::AlignHCenter, small);
    toolBar_->addWidget(programmerField_);
    struct StatusFieldLayout {
        int id;
        int chars;
    };
    const StatusFieldLayout fields[5] = {{cmd::kLabelPrinting, 9},
                                 {cmd::kUMLERCheck, 9},
                                 {cmd::kRFCheck, 8},
                                 {cmd::kLogFileOn, 6},
                                 {cmd::kLengthUnits, 10}};
    for (const StatusFieldLayout& f : fields) {
        toolBar_->addWidget(MakeSeparator(toolBar_, 2));
        QLabel* label = MakeField(toolBar_, f.chars, Qt::AlignHCenter, small);
        statusFields_[f.id] = label;
        toolBar_->addWidget(label);
    }
    toolBar_->addWidget(MakeSeparator(toolBar_, 4));
    auto* monitorButton = new QToolButton(toolBar_);
    monitorButton->setIcon(MonitorIcon());
    monitorButton->setToolTip(QStringLiteral("Communications Monitor"));
    monitorButton->setObjectName(QStringLiteral("monitorButton"));
    connect(monitorButton, &QToolButton::clicked, this, [this] { RunCommand(cmd::kCommMonitor); });
    toolBar_->addWidget(monitorButton);
    toolBar_->addWidget(MakeSeparator(toolBar_, 4));
    toolBar_->addWidget(MakeSeparator(toolBar_, 4));
    addToolBar(Qt::TopToolBarArea, toolBar_);
    addToolBarBreak(Qt::TopToolBarArea);

    promptBar_ = new QToolBar(QStringLiteral("Prompt"), this);
    promptBar_->setMovable(false);
    promptBar_->setFloatable(false);
    promptBar_->setObjectName(QStringLiteral("promptBar"));
    promptField_ = MakeField(promptBar_, 0, Qt::AlignLeft, 16);
    promptField_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    promptField_->setMinimumHeight(QFontMetrics(promptField_->font()).height() + 6);
    promptBar_->addWidget(promptField_);
    addToolBar(Qt::TopToolBarArea, promptBar_);

    QStatusBar* status = statusBar();
    todayField_ = MakeField(status, 11, Qt::AlignHCenter, small);
    counterField_ = MakeField(status, 11, Qt::AlignHCenter, small);
    logNameField_ = MakeField(status, 40, Qt::AlignLeft, small);
    status->addWidget(todayField_);
    status->addWidget(counterField_);
    status->addWidget(logNameField_, 1);
}

void TAEIDec::SyncCheckMarks() {
    const SettingsBlock s = data_.GetSettings();
    SetCheck(cmd::kLabelPrinting, s.labelPrintingOn != 0);
    SetCheck(cmd::kRFCheck, s.autoRfCheck != 0);
    SetCheck(cmd::kUMLERCheck, s.autoUmlerCheck != 0);
    SetCheck(cmd::kLogFileOn, s.logFileOn != 0);
    SetCheck(cmd::kReconditionCheck, s.reconditionCheck != 0);
    SetCheck(cmd::kLengthUnits, s.feetInches != 0);
    SetCheck(cmd::kShowUMLERRecord, !umlerWindow_.isNull());
    SetCheck(cmd::kShowTagLog, !tagLogWindow_.isNull());
    // "Programmed By Data Entry" is checked at start-up only: its mark stays
    // as it was set then.
    if (QAction* a = Action(cmd::kProgrammedBy)) a->setChecked(programmedByChecked_);
}

void TAEIDec::SetCheck(int commandId, bool on) {
    if (QAction* a = Action(commandId)) a->setChecked(on);
}

void TAEIDec::SetStatusField(int commandId, const std::string& text) {
    auto it = statusFields_.find(commandId);
    if (it != statusFields_.end()) it->second->setText(FromCoreText(text));
}

QString TAEIDec::PromptText() const { return promptField_->text(); }
QString TAEIDec::ProgrammerField() const { return programmerField_->text(); }
QString TAEIDec::StatusField(int commandId) const {
    auto it = statusFields_.find(commandId);
    return it == statusFields_.end() ? QString() : it->second->text();
}
QString TAEIDec::ProgrammedTodayField() const { return todayField_->text(); }
QString TAEIDec::ProgrammedCounterField() const { return counterField_->text(); }
QString TAEIDec::LogFileNameField() const { return logNameField_->text(); }

// ---- set-up ------------------------------------------------------------------------------

void TAEIDec::SetupWindow() {
    AEIData::OperationScope scope(data_, "TAEIDec::SetupWindow");
    const SettingsBlock s = data_.GetSettings();
    programmedByChecked_ = s.programmedByEntry != 0;
    SyncCheckMarks();

    if (s.umlerWindowShown != 0) {
        SetCheck(cmd::kShowUMLERRecord, true);
        OpenUmlerWindow(this);
    }
    LoadTagLogTail(TagLogFilePath(data_), tagLog_);
    if (s.tagLogWindowShown != 0) {
        SetCheck(cmd::kShowTagLog, true);
        OpenTagLogWindow(this);
    }
    if (s.importWindowShown != 0) ReopenImportList();
    if (tagWindow_) tagWindow_->FocusField(tagWindow_->CurrentField());

    WriteStartupStatusFields();
    promptField_->clear();
    promptCopy_.clear();
    blinking_ = false;

    if (services_.runTimer) {
        timerRunning_ = true;
        timer_.start();
    }
}

void TAEIDec::WriteStartupStatusFields() {
    const SettingsBlock s = data_.GetSettings();
    programmerField_->setText(FromCoreText(ProgrammerStartupText(GetProgrammerState(data_))));
    todayField_->setText(FromCoreText(ProgrammedTodayText(s.programmedToday)));
    counterField_->setText(FromCoreText(ProgrammedCounterText(s.programmedTotal)));
    logNameField_->setText(FromCoreText(LogFileNameText(TagLogFilePath(data_))));
    SetStatusField(cmd::kRFCheck, OptionStatusText(StatusOption::RFCheck, s.autoRfCheck != 0, false));
    SetStatusField(cmd::kUMLERCheck, OptionStatusText(StatusOption::UMLERCheck, s.autoUmlerCheck != 0, false));
    SetStatusField(cmd::kLabelPrinting,
                   OptionStatusText(StatusOption::LabelPrinting, s.labelPrintingOn != 0, false));
    SetStatusField(cmd::kLogFileOn, OptionStatusText(StatusOption::LogFile, s.logFileOn != 0, false));
    SetStatusField(cmd::kLengthUnits, OptionStatusText(StatusOption::Lengths, s.feetInches != 0, false));
}

// ---- prompt and timer ----------------------------------------------------------------------

void TAEIDec::ShowPrompt(const std::string& text, int blink) {
    promptField_->setText(FromCoreText(text));
    promptCopy_ = text;
    if (blink == 1) {
        blinking_ = true;
        blinkPhase_ = 0;
        tickCount_ = 0;
    } else {
        blinking_ = false;
    }
}

void TAEIDec::EvTimer() {
    timer_.stop();
    if (!firstTickDone_) {
        firstTickDone_ = true;
        ResetCommStatus(data_, *ports_);
    }
    StepProgrammerLink(data_, *ports_);
    StepReaderLink(data_, *ports_);
    if (timerRunning_) timer_.start();
    ++tickCount_;
    if (tickCount_ % 5 == 0) {
        if (blinking_) promptField_->setText(blinkPhase_ % 2 == 0 ? FromCoreText(promptCopy_) : QString());
        ++blinkPhase_;
    }
    if (tickCount_ % 600 == 0) CheckDayRollover(data_, this);
    if (tickCount_ % 18000 == 0) TrimLogFiles(data_);
    UpdateSearchCommands();
}

void TAEIDec::UpdateSearchCommands() {
    const ProgrammerState s = GetProgrammerState(data_);
    const bool searching = s.operationState == kOpSearch || data_.serial.readerBusy != 0;
    if (QAction* a = Action(cmd::kSearchProgrammer)) a->setEnabled(!searching);
    if (QAction* a = Action(cmd::kTagFormats)) a->setEnabled(!searching);
}

void TAEIDec::HandleNotification(int code) {
    switch (code) {
    case kNotifyProgrammerSearchEnd: FinishProgrammerSearch(data_); break;
    case kNotifyShowConnectionStatus: ShowConnectionStatus(); break;
    default:
        // The reader search's end (7) and the ends of reader exchanges (8, 9).
        HandleReaderNotification(data_, code);
        break;
    }
}

// ---- the tag window ---------------------------------------------------------------------------

void TAEIDec::ReplaceTagWindow(bool certifyPending) {
    if (previousTagWindow_) previousTagWindow_->deleteLater();
    previousTagWindow_ = tagWindow_;
    if (previousTagWindow_) {
        client_->takeWidget();
        previousTagWindow_->setParent(this); // kept, hidden, until the next replacement
        previousTagWindow_->hide();
    }
    auto* window = new TAEIWindow(data_, *workflows_, *this, certifyPending);
    tagWindow_ = window;
    client_->setWidget(window);
    workflows_->SetForm(window);
    window->show();
    window->SetupWindow();
}

// ---- hooks of the workflows and the tag log -----------------------------------------------------

void TAEIDec::PrintLabel(const LastTagRecord& record) {
    (void)record; // the label is built from the stored last tag record
    velmora::PrintLabel(data_, *labelPrinter_);
}

void TAEIDec::StartReaderSearch() { SearchForReader(data_); }

void TAEIDec::OpenReaderPortDialog() {
    // Posted: the dialog runs after the completion handler that asked for
    // it has returned, and its OK calls that handler afresh.
    QTimer::singleShot(0, this, [this] { CmReaderPort(); });
}

void TAEIDec::UmlerRecordChanged() {
    if (umlerWindow_) umlerWindow_->ShowRecord();
}

void TAEIDec::LengthUnitsChanged(bool feetInches) {
    SetCheck(cmd::kLengthUnits, feetInches);
    SetStatusField(cmd::kLengthUnits, OptionStatusText(StatusOption::Lengths, feetInches, true));
}

void TAEIDec::ShowProgrammedToday(const std::string& text) { todayField_->setText(FromCoreText(text)); }

void TAEIDec::ShowProgrammedCounter(const std::string& text) { counterField_->setText(FromCoreText(text)); }

void TAEIDec::RecentTagLinesChanged() {
    if (tagWindow_) tagWindow_->FillRecentTags();
}

void TAEIDec::TagLogLineAdded() {
    if (tagLogWindow_) tagLogWindow_->AddTagLogRows(1);
}

// ---- hooks of the programmer link ------------------------------------------------------------------

void TAEIDec::SetProgrammerStatus(const std::string& text) { programmerField_->setText(FromCoreText(text)); }

void TAEIDec::OpenMessage(QPointer<TSearchMessage>& message, const std::string& text) {
    if (message) {
        message->SetText(text);
        return;
    }
    auto* box = new TSearchMessage(data_.ProductCaption(), text, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    message = box;
    box->show();
}

void TAEIDec::CloseMessage(QPointer<TSearchMessage>& message) {
    if (message) message->close();
    message = nullptr;
}

void TAEIDec::OpenSearchMessage(const std::string& text) { OpenMessage(searchMessage_, text); }

bool TAEIDec::SearchMessageOpen() const { return searchMessage_ && searchMessage_->isVisible(); }

void TAEIDec::SetSearchMessageText(const std::string& text) {
    if (searchMessage_) searchMessage_->SetText(text);
}

void TAEIDec::CloseSearchMessage() { CloseMessage(searchMessage_); }

void TAEIDec::ShowConnectionStatus() {
    TConnectionStatus dialog(data_, this);
    RunDialog(dialog);
}

// ---- hooks of the reader link ------------------------------------------------------------------------

void TAEIDec::OpenReaderMessage(const std::string& text) { OpenMessage(readerMessage_, text); }

bool TAEIDec::ReaderMessageOpen() const { return readerMessage_ && readerMessage_->isVisible(); }

void TAEIDec::SetReaderMessageText(const std::string& text) {
    if (readerMessage_) readerMessage_->SetText(text);
}

void TAEIDec::CloseReaderMessage() { CloseMessage(readerMessage_); }

void TAEIDec::OpenRfReadStatus(const std::string& text) {
    CloseRfReadStatus();
    auto* w = new TRfReadStatus("Tag RF Read Status", text, [this] { CancelRfReading(data_); }, this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    rfReadStatus_ = w;
    PlaceBesideForm(w, 820, 110);
    w->show();
}

void TAEIDec::SetRfReadStatusText(const std::string& text) {
    if (rfReadStatus_) rfReadStatus_->SetText(text);
}

bool TAEIDec::RfReadStatusOpen() const { return rfReadStatus_ && rfReadStatus_->isVisible(); }

void TAEIDec::CloseRfReadStatus() {
    if (rfReadStatus_) rfReadStatus_->Dismiss();
    rfReadStatus_ = nullptr;
}

void TAEIDec::ShowReaderParameters(const ReaderParameters& parameters) {
    TPortableParameters dialog(parameters, this);
    RunDialog(dialog);
}

void TAEIDec::RunDialog(QDialog& dialog) {
    if (services_.runDialog) services_.runDialog(dialog);
    else dialog.exec();
}

// ---- close -------------------------------------------------------------------------------------------

void TAEIDec::closeEvent(QCloseEvent* event) {
    SaveOptions(data_, OptionsFilePath(data_));
    timer_.stop();
    timerRunning_ = false;
    event->accept();
}

} // namespace velmora
