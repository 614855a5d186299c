// The frame's wiring: each menu command reaches its dialog or window, each
// dialog stores on OK and nothing on Cancel, the toggles, the day roll-over,
// the modeless windows, the log file, the manual and the UMLER load. The
// workflows behind them are proven in the core tests. And the program's start
// in a scratch start directory: its caption, the file names completed with the
// start directory, and the options file written at exit (what the frame
// restores from the options is the import list tests').
#include "GuiRig.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "app/TAEIApp.h"
#include "app/MenuIds.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/ReaderDialogs.h"
#include "dialogs/TImportSettings.h"
#include "editor/TFormatRequest.h"
#include "editor/TTagFormat.h"
#include "qt/QtOperator.h"
#include "setup/SetupDialogs.h"
#include "setup/TTagDate.h"
#include "setup/UmlerLoad.h"
#include "umler/UmlerRecord.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <future>
#include <set>

namespace velmora::test {
namespace {

class FrameTest : public FrameRig {
protected:
    void Trigger(int id) {
        ASSERT_NE(frame->Action(id), nullptr) << id;
        frame->Action(id)->trigger();
        QCoreApplication::processEvents();
    }
    bool Checked(int id) { return frame->Action(id)->isChecked(); }
};

// Each command reaches its dialog, box, window or file; the programmer's
// parameters only once the programmer is on.
TEST_F(FrameTest, CommandsReachTheirDialogsWindowsAndFiles) {
    data.SetVersionText("1.4D North America");
    manualDirs = {QString::fromStdString(dir.File("bin/")), QString::fromStdString(dir.File("doc/"))};
    std::ofstream(dir.File("tag log.txt"))
        << "10/24/2018 13:05 - \"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked\r\n"
        << "10/24/2018 13:06 - \"Railcar,ABCD,43,LEFT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked\r\n";
    BuildFrame();
    onDialog = [&](QDialog& d) {
        if (auto* about = qobject_cast<TAbout*>(&d)) dialogsRun.back() += " " + ToCoreText(about->VersionField()->text());
        if (auto* p = qobject_cast<TProgrammerParameters*>(&d)) dialogsRun.back() += " " + ToCoreText(p->Field(1));
        d.reject();
    };
    // What the frame did since the last call: dialogs, boxes, files and pages opened, windows shown.
    std::set<QWidget*> seen{frame.get()};
    auto reached = [&] {
        std::string r;
        for (const auto& t : dialogsRun) r += t + "; ";
        for (const auto& b : op.boxes) r += b.text + "; ";
        for (const auto& u : openedUrls) r += u + "; ";
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && seen.insert(w).second) r += w->windowTitle().toStdString() + "; ";
        dialogsRun.clear(), op.boxes.clear(), openedUrls.clear();
        return r;
    };
    auto file = [&](const std::string& name) {
        return QUrl::fromLocalFile(QString::fromStdString(dir.File(name))).toString().toStdString() + "; ";
    };
    const std::pair<int, std::string> rows[] = {
        {cmd::kProgrammerParameters, "The programmer is not on.  Please turn on or check the cable connection.; "},
        {cmd::kOpenManual, ManualFailureText(2, maker::kWebAddress, maker::kPdfReaderAddress) + "; "},
        {0, ""}, // the programmer comes on, the manual is put in the second folder
        {cmd::kProgrammerParameters, "Programmer Parameters AP4118; "},
        {cmd::kFindUMLER, "Find UMLER Data; "},
        {cmd::kTagFormats, "Format Request; "},
        {cmd::kAbout, "About 1.4D North America; "},
        {cmd::kSearchReader, "Velmora for Windows; "},
        {cmd::kOpenManual, file(maker::kManualFileName)}, // copied from the folder that has it
        {cmd::kHelp, file(maker::kManualFileName)},       // no help file here
        {cmd::kWebPage, QUrl(QString::fromLatin1(maker::kWebAddress)).toString().toStdString() + "; "},
        {cmd::kOpenLogFile, file("tag log.txt")},
        {cmd::kCommMonitor, "Communication Monitoring; "},
        {cmd::kShowUMLERRecord, "UMLER Data; "},
        {cmd::kShowTagLog, "Tag Programming Log; "},
    };
    for (const auto& [id, what] : rows) {
        if (id == 0) {
            ConnectProgrammer();
            std::filesystem::create_directories(dir.File("doc"));
            std::ofstream(dir.File("doc/Velmora Manual.pdf")) << "%PDF-1.4\n";
            continue;
        }
        Trigger(id);
        EXPECT_EQ(reached(), what) << id;
    }
    EXPECT_EQ(ReadFileText(dir.File(maker::kManualFileName)), "%PDF-1.4\n");

    // The modeless windows: one monitor; the UMLER window follows the register and a format change;
    // the tag log newest first; closed, they take their check marks with them.
    TDisplayMonData* monitor = frame->MonitorWindow();
    Trigger(cmd::kCommMonitor);
    EXPECT_EQ(frame->MonitorWindow(), monitor);
    UmlerRecord r;
    r.initialCode = 1;
    SetText(r.typeCode, "A405");
    data.SetUMLERRecord(r);
    frame->UmlerRecordChanged();
    EXPECT_EQ(frame->UmlerWindow()->Field(1)->text(), "A405");
    SelectFormat(1);
    ASSERT_NE(frame->UmlerWindow(), nullptr);
    QTreeWidget* log = frame->TagLogWindow()->List();
    ASSERT_EQ(log->topLevelItemCount(), 2);
    EXPECT_EQ(log->topLevelItem(0)->text(0), "10/24/2018 13:06");
    EXPECT_EQ(log->topLevelItem(0)->text(1), "\"Railcar");
    frame->UmlerWindow()->close();
    frame->TagLogWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(frame->TagLogWindow(), nullptr);
    EXPECT_EQ(data.GetSettings().umlerWindowShown, 0);
    EXPECT_FALSE(Checked(cmd::kShowUMLERRecord) || Checked(cmd::kShowTagLog));
}

// Each set-up dialog filled in, then closed with Cancel (nothing stored) and
// with OK (its choice stored and shown, nothing else); a refused choice keeps it open.
TEST_F(FrameTest, DialogsStoreOnOkOnly) {
    clock.local.year = 2026;
    clock.local.dayOfYear = 100;
    BuildFrame();
    auto type = [](QLineEdit* e, const char* text) { e->clear(); QTest::keyClicks(e, text); };
    auto fixed = [](const auto& field) { return std::string(FixedView(field, sizeof field)); };
    // A refused choice first: OK keeps the dialog open.
    auto refusedThen = [](QDialog& d, QLineEdit* e, const char* refused, const char* text) {
        for (const char* t : {refused, text}) {
            e->clear();
            QTest::keyClicks(e, t);
            if (t == refused) Press(d, "OK");
        }
    };
    // What the dialogs store: programmed by, certification initial, background (painted in Dark Green), reader
    // port, import delimiter with header and fill-next flags and list, lot number.
    auto stored = [&] {
        const SettingsBlock s = data.GetSettings();
        const ImportSettings i = data.GetImportSettings();
        const QColor green = BackgroundColorValue(data.GetBackgroundColor(6));
        const bool painted = Form().palette().color(QPalette::Window) == green;
        return std::vector<std::string>{
            fixed(s.programmedByCompany), fixed(s.certificationInitial),
            std::to_string(s.backgroundColor) + (painted ? " painted" : ""), std::to_string(s.readerPort),
            i.delimiter + std::to_string(i.flag1) + std::to_string(i.flag2) + " " + data.ImportTagFileName(),
            std::to_string(data.GetLastTagRecord().lotYear * 1000 + data.GetLastTagRecord().lotDay)};
    };
    EXPECT_EQ(stored(), (std::vector<std::string>{"Unknown", "XXXX", "0", "255", ",01 import tag.txt", "0"}));
    const struct {
        int id;
        const char* title;
        std::function<void(QDialog&)> fill;
        std::size_t field;
        const char* after;
    } rows[] = {
        {cmd::kProgrammedBy, "Programmed By Data Entry",
         [&](QDialog& d) { type(qobject_cast<TProgrammedBy*>(&d)->Edit(), "Harlan Car Shops"); }, 0,
         "Harlan Car Shops"},
        {cmd::kCertificationInitial, "Vehicle Initial",
         [&](QDialog& d) { type(qobject_cast<TCertificationData*>(&d)->Edit(), "a1b2"); }, 1, "AB  "},
        {cmd::kBackgroundColor, "Set Background Color",
         [&](QDialog& d) {
             refusedThen(d, qobject_cast<TBackgroundColor*>(&d)->Combo()->lineEdit(), "Purple", "Dark Green");
         },
         2, "6 painted"},
        {cmd::kReaderPort, "Reader Port Selection",
         [&](QDialog& d) { qobject_cast<TReaderPortSelection*>(&d)->List()->setCurrentIndex(3); }, 3, "2"},
        {cmd::kImportSettings, "Import Settings",
         [&](QDialog& d) {
             auto* dialog = qobject_cast<TImportSettings*>(&d);
             type(dialog->FileName(), "cars.csv");
             dialog->Header()->setChecked(true);
             dialog->FillNext()->setChecked(false);
             refusedThen(d, dialog->Delimiter(), "\"", ";");
         },
         4, ";10 cars.csv"},
        {0, "Tag Manufactring Lot Number", // before a certified tag's label
         [&](QDialog& d) { refusedThen(d, qobject_cast<TTagDate*>(&d)->Edit(), "2a1x2", "22150"); }, // four digits
         5, "22150"},
    };
    for (const auto& row : rows)
        for (const bool ok : {false, true}) {
            SCOPED_TRACE(std::string(row.title) + (ok ? " OK" : " Cancel"));
            onDialog = [&](QDialog& d) {
                row.fill(d);
                Press(d, ok ? "OK" : "Cancel");
            };
            dialogsRun.clear();
            std::vector<std::string> expected = stored();
            if (ok) expected[row.field] = row.after;
            if (row.id) Trigger(row.id);
            else EXPECT_EQ(frame->ShowLotNumberDialog(), ok ? LotDialogResult::Ok : LotDialogResult::Cancel);
            EXPECT_EQ(dialogsRun, std::vector<std::string>{row.title});
            EXPECT_EQ(stored(), expected);
        }
    EXPECT_TRUE(BoxShown("Lot date must be five digits long."));
    EXPECT_TRUE(BoxShown("Please give the list file's name and one delimiter character other than a double quote."));
    EXPECT_TRUE(BoxShown("There is no color called \"Purple\".  Please select one of the colors in the list; the "
                         "background color was not changed."));
    SelectFormat(1);
    EXPECT_EQ(Form().Background(), BackgroundColorValue(data.GetBackgroundColor(6))) << "a rebuilt form keeps it";
}

TEST_F(FrameTest, TogglesInvertTheFlagTheCheckMarkAndTheStatusText) {
    BuildFrame();
    const struct {
        int id;
        uint8_t SettingsBlock::*flag;
        const char* status; // "" for no status field
        int preset = -1;    // the flag's value before, when set
    } toggles[] = {
        {cmd::kRFCheck, &SettingsBlock::autoRfCheck, "RF Check is ON"},
        {cmd::kUMLERCheck, &SettingsBlock::autoUmlerCheck, "UMLER Check OFF"},
        {cmd::kLabelPrinting, &SettingsBlock::labelPrintingOn, "Label Printing OFF"},
        {cmd::kLogFileOn, &SettingsBlock::logFileOn, "Log File OFF"},
        {cmd::kLengthUnits, &SettingsBlock::feetInches, "Lengths decimeters"},
        {cmd::kReconditionCheck, &SettingsBlock::reconditionCheck, ""},
        {cmd::kRFCheck, &SettingsBlock::autoRfCheck, "RF Check is OFF", 7}, // any value but 0 counts as on
    };
    for (const auto& t : toggles) {
        if (t.preset >= 0) SetSetting(t.flag, t.preset);
        const uint8_t before = data.GetSettings().*t.flag;
        Trigger(t.id);
        EXPECT_EQ(data.GetSettings().*t.flag, before ? 0 : 1) << t.id;
        EXPECT_EQ(Checked(t.id), before == 0) << t.id;
        if (*t.status) EXPECT_EQ(frame->StatusField(t.id), t.status);
    }
}

TEST_F(FrameTest, DayRollOverAtTheSixHundredthTick) {
    SetSetting(&SettingsBlock::dayOfYear, 72);
    SetSetting(&SettingsBlock::programmedToday, 9);
    clock.local.dayOfYear = 73;
    BuildFrame();
    ConnectProgrammer();
    Ticks(600 - static_cast<int>(frame->TickCount()) % 600 - 1);
    EXPECT_EQ(data.GetSettings().programmedToday, 9);
    Tick();
    EXPECT_EQ(data.GetSettings().programmedToday, 0);
    EXPECT_EQ(frame->ProgrammedTodayField(), "Programmed Today 0");
}

TEST_F(FrameTest, AssignLogFileNameTakesTheChosenFileIfItFits) {
    BuildFrame();
    const std::string shop = dir.File("shop tags.txt"), tooLong = "/" + std::string(130, 'x') + ".txt";
    const std::pair<std::optional<std::string>, std::string> answers[] = {
        {std::nullopt, dir.File("tag log.txt")}, {shop, shop}, {tooLong, shop}};
    for (const auto& [answer, stored] : answers) {
        logFileAnswer = answer;
        Trigger(cmd::kLogFile);
        EXPECT_EQ(data.TagLogFileName(), stored);
    }
    EXPECT_EQ(frame->LogFileNameField().toStdString(), "Log File = \"" + shop + "\"");
    ASSERT_EQ(op.boxes.size(), 1u) << "the name too long";
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
}

// Tag Formats: the editor on the format chosen in Format Request. Help,
// Copy making the built-in Railcar editable, a refused OK keeping it open on
// the faulty field, OK making the copy, Delete; the form's list follows.
TEST_F(FrameTest, TagFormatEditorFromTheMenu) {
    BuildFrame();
    QString chosen = "Railcar";
    std::function<void(TTagFormat&)> edit = [&](TTagFormat& editor) {
        QTest::mouseClick(editor.HelpButton(), Qt::LeftButton);
        EXPECT_TRUE(BoxShown(ManualFailureText(2, maker::kWebAddress, maker::kPdfReaderAddress))) << "Help: no manual";
        EXPECT_FALSE(editor.OkButton()->isEnabled()) << "a built-in format is not changed";
        QTest::mouseClick(editor.CopyButton(), Qt::LeftButton);
        editor.NameEdit()->clear();
        QTest::mouseClick(editor.OkButton(), Qt::LeftButton);
        EXPECT_EQ(op.LastBox()->text, "You must have a format name.");
        EXPECT_TRUE(editor.isVisible() && editor.focusWidget() == editor.NameEdit());
        QTest::keyClicks(editor.NameEdit(), "Spare");
        QTest::mouseClick(editor.OkButton(), Qt::LeftButton);
    };
    onDialog = [&](QDialog& d) {
        if (auto* request = qobject_cast<TFormatRequest*>(&d)) {
            request->List()->setCurrentItem(request->List()->findItems(chosen, Qt::MatchExactly).value(0));
            request->done(QDialog::Accepted);
        } else if (auto* editor = qobject_cast<TTagFormat*>(&d)) {
            editor->show();
            edit(*editor);
        }
    };
    Trigger(cmd::kTagFormats);
    EXPECT_EQ(dialogsRun, (std::vector<std::string>{"Format Request", "AEI Tag Formats"}));
    EXPECT_EQ(data.FindTagFormatByName("Spare"), kSystemSlots);
    EXPECT_GE(Form().FormatList()->findText("Spare"), 0);
    EXPECT_EQ(Form().FormatList()->currentText(), "Railcar") << "the form keeps its format";

    chosen = "Spare";
    edit = [](TTagFormat& editor) { QTest::mouseClick(editor.DeleteButton(), Qt::LeftButton); };
    Trigger(cmd::kTagFormats);
    EXPECT_EQ(op.LastBox()->text, "The Spare format has been deleted.");
    EXPECT_EQ(Form().FormatList()->findText("Spare"), -1);
}

// From the menu: the extract chosen, the gauge shown; Cancel pressed while
// the load runs beside the event loop interrupts it (the register kept: the loader's tests).
TEST_F(FrameTest, UmlerLoadFromTheFileMenuCancelledWhileRunning) {
    std::ofstream extract(dir.File("Umler.txt"));
    for (int i = 1; i <= 50000; ++i) extract << " ABCD" << 100000 + i << "T123050064105001000\n";
    extract.close();
    BuildFrame();
    bool cancelledWhileRunning = false;
    onDialog = [&](QDialog& d) {
        if (auto* files = qobject_cast<QFileDialog*>(&d)) {
            EXPECT_EQ(files->windowTitle(), "Load UMLER CD Data");
            files->selectFile(QString::fromStdString(dir.File("Umler.txt")));
            return static_cast<QDialog*>(files)->done(QDialog::Accepted);
        }
        auto* gauge = qobject_cast<TUmlerLoadGauge*>(&d);
        ASSERT_NE(gauge, nullptr);
        std::promise<void> pressed; // the worker holds at 10% until Cancel has been pressed
        std::future<void> waitPress = pressed.get_future();
        QObject::connect(gauge, &TUmlerLoadGauge::progressed, gauge,
                         [&](int pct) { if (pct == 10) waitPress.wait_for(std::chrono::seconds(20)); },
                         Qt::DirectConnection);
        QTimer::singleShot(0, gauge, [&] {
            cancelledWhileRunning = gauge->Running();
            QTest::mouseClick(gauge->CancelButton(), Qt::LeftButton);
            pressed.set_value();
        });
        gauge->exec();
    };
    Trigger(cmd::kLoadUMLER);
    EXPECT_EQ(dialogsRun, (std::vector<std::string>{"Load UMLER CD Data", "Load UMLER CD Data"}));
    EXPECT_TRUE(cancelledWhileRunning);
    EXPECT_TRUE(BoxShown("UMLER load interrupted. The previous UMLER data file is unchanged."));
}

TEST_F(FrameTest, AnRfCheckShowsTheReadStatusWindowAndCancelEndsIt) {
    SetSetting(&SettingsBlock::labelPrintingOn, 0);
    BuildFrame();
    ConnectProgrammer();
    factory.Add("fake2"); // the reader's port: present, never sends a reading
    SetSetting(&SettingsBlock::readerPort, 1);
    frame->RunCommand(cmd::kRFCheck);
    for (const auto& [row, text] : {std::pair{0, "ABCD"}, {1, "42"}, {3, "50-6"}}) Form().EditAt(row)->setText(text);
    Form().Command(TAEIWindow::kCmProgramTag);
    ASSERT_GT(TickUntil([&] { return frame->RfReadStatus() != nullptr; }, 200), 0);
    EXPECT_EQ(frame->RfReadStatus()->windowTitle(), "Tag RF Read Status");
    frame->RfReadStatus()->CancelButton()->click();
    ASSERT_GT(TickUntil([&] { return GetProgrammerState(data).operationState == 0; }, 100), 0);
    Ticks(2);
    EXPECT_EQ(frame->RfReadStatus(), nullptr);
}

TEST_F(FrameRig, AppStartUpSetsTheCaptionAndCompletesTheFileNames) {
    const std::filesystem::path oldCwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    AppServices s;
    s.op = &op;
    s.clock = &clock;
    s.frame.portFactory = &factory;
    s.frame.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
    s.frame.runTimer = false;
    s.frame.runDialog = [](QDialog&) {};
    s.showWindow = false;
    {
        TAEIApp app(std::move(s));
        app.InitMainWindow();
        EXPECT_EQ(app.Frame()->windowTitle().toStdString(),
                  std::string("Velmora for Windows Version 1.4D North America - Corvelle Tel. 555 014-2290 ") +
                      maker::kWebAddress);
        EXPECT_EQ(app.Data().TagLogFileName(), dir.File("tag log.txt"));
        EXPECT_EQ(app.Data().ImportTagFileName(), dir.File("import tag.txt"));
        app.Frame()->close(); // the close query writes the options file
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("programmer option.ads")));
    std::filesystem::current_path(oldCwd);
}

} // namespace
} // namespace velmora::test
