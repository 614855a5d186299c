// The frame's wiring: each menu command reaches its dialog or window, the
// start-up fields and check marks, the option toggles, the day roll-over, the
// modeless windows, the monitor, the log file, help, the set-up commands'
// results on the form and the reader's windows. The workflows behind them are
// proven in the core tests.
#include "GuiRig.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/ReaderDialogs.h"
#include "editor/TFormatRequest.h"
#include "editor/TTagFormat.h"
#include "setup/SetupDialogs.h"
#include "setup/TTagDate.h"
#include "setup/UmlerLoad.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QTest>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

using test::FrameRig;

class FrameTest : public FrameRig {
protected:
    void Trigger(int id) {
        QAction* a = frame->Action(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
        QCoreApplication::processEvents();
    }
    bool Checked(int id) { return frame->Action(id)->isChecked(); }
    static void TypeInto(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
    }
};

// Each command reaches its dialog (cancelled here) or its window.
TEST_F(FrameTest, CommandsOpenTheirDialogs) {
    data.SetVersionText("1.4D North America");
    BuildFrame();
    ConnectProgrammer();
    const std::pair<int, const char*> commands[] = {
        {cmd::kProgrammedBy, "Programmed By Data Entry"},
        {cmd::kCertificationInitial, "Vehicle Initial"},
        {cmd::kBackgroundColor, "Set Background Color"},
        {cmd::kFindUMLER, "Find UMLER Data"},
        {cmd::kTagFormats, "Format Request"},
        {cmd::kReaderPort, "Reader Port Selection"},
        {cmd::kAbout, "About"},
        {cmd::kProgrammerParameters, "Programmer Parameters"},
    };
    QString version;
    onDialog = [&](QDialog& d) {
        if (auto* about = qobject_cast<TAbout*>(&d)) version = about->VersionField()->text();
        d.reject();
    };
    for (const auto& [id, title] : commands) {
        dialogsRun.clear();
        Trigger(id);
        EXPECT_EQ(dialogsRun, std::vector<std::string>{title}) << id;
    }
    EXPECT_TRUE(op.boxes.empty()) << op.LastBox()->text;
    EXPECT_EQ(data.GetSettings().readerPort, 255) << "Cancel changes nothing";
    EXPECT_EQ(version, "1.4D North America");
    Trigger(cmd::kSearchReader);
    ASSERT_NE(frame->ReaderMessage(), nullptr);
    EXPECT_EQ(frame->ReaderMessage()->Text(),
              "The system is searching for the portable reader.  This will take about 10 seconds.");
}

TEST_F(FrameTest, MenuBarHoldsEveryItemInOrderWithItsSeparators) {
    BuildFrame();
    std::vector<std::string> got;
    for (QAction* menu : frame->menuBar()->actions()) {
        got.push_back("[" + menu->text().toStdString() + "]");
        for (QAction* a : menu->menu()->actions()) got.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    }
    const std::vector<std::string> expected = {
        "[File]", "Load UMLER CD Data", "Import Tag List...", "-", "Label Printer Setup", "-", "E&xit",
        "[Options]", "Automatic RF Check", "Automatic UMLER Check", "-", "Label Printing On", "Log File On", "-",
        "Lengths in Feet-Inches", "-", "Recondtion Check",
        "[Programmer]", "Programmer Model and Version", "Search for a Programmer", "Communications Monitor",
        "[RF Reader]", "Reader Port Assignment", "Read Reader Parameters", "Search for Reader",
        "[Setup]", "Assign Log File Name", "Import Settings...", "-", "Certification Vehicle Initial", "Programmed By Data Entry", "-",
        "Set Background Color",
        "[Tools]", "Find UMLER Data", "-", "Tag Formats",
        "[View]", "Display Programmed Tag Log", "Open Log File", "-", "Display UMLER Record",
        "[Help]", "&About", "Help", "-", "Open Manual", "-", "Corvelle's Web Page"};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(frame->Action(11845)->text(), "Load UMLER CD Data");
    EXPECT_EQ(frame->Action(2444)->data().toInt(), 2444);
}

TEST_F(FrameTest, StartUpWritesTheStatusFieldsAndCheckMarks) {
    SettingsBlock s = data.GetSettings();
    s.autoRfCheck = 1;
    s.labelPrintingOn = 0;
    s.programmedToday = 3;
    s.programmedTotal = 812;
    s.reconditionCheck = 1;
    data.UpdateSettings(s);
    ProgrammerState p = GetProgrammerState(data);
    p.port = 1;
    data.UpdateProgrammerRecord(p);
    BuildFrame();
    EXPECT_EQ(frame->ProgrammerField(), "Programmer OFF  Comm 2");
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check ON") << "the start-up wording";
    EXPECT_EQ(frame->StatusField(cmd::kUMLERCheck), "UMLER Check ON");
    EXPECT_EQ(frame->StatusField(cmd::kLabelPrinting), "Label Printing OFF");
    EXPECT_EQ(frame->StatusField(cmd::kLogFileOn), "Log File ON");
    EXPECT_EQ(frame->StatusField(cmd::kLengthUnits), "Lengths feet-inches");
    EXPECT_EQ(frame->ProgrammedTodayField(), "Programmed Today 3");
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 812");
    EXPECT_EQ(frame->LogFileNameField().toStdString(), "Log File = \"" + dir.File("tag log.txt") + "\"");
    EXPECT_TRUE(Checked(cmd::kRFCheck));
    EXPECT_FALSE(Checked(cmd::kLabelPrinting));
    EXPECT_TRUE(Checked(cmd::kReconditionCheck));
    EXPECT_TRUE(Checked(cmd::kLengthUnits));
    EXPECT_EQ(frame->PromptText(), "");
}

// Each toggle inverts its option, its check mark and its status field (the
// wordings are proven with the frame's texts).
TEST_F(FrameTest, TogglesInvertTheFlagTheCheckMarkAndTheStatusText) {
    BuildFrame();
    const struct {
        int id;
        uint8_t SettingsBlock::*flag;
        const char* status; // after the first toggle; "" for no status field
    } toggles[] = {
        {cmd::kRFCheck, &SettingsBlock::autoRfCheck, "RF Check is ON"},
        {cmd::kUMLERCheck, &SettingsBlock::autoUmlerCheck, "UMLER Check OFF"},
        {cmd::kLabelPrinting, &SettingsBlock::labelPrintingOn, "Label Printing OFF"},
        {cmd::kLogFileOn, &SettingsBlock::logFileOn, "Log File OFF"},
        {cmd::kLengthUnits, &SettingsBlock::feetInches, "Lengths decimeters"},
        {cmd::kReconditionCheck, &SettingsBlock::reconditionCheck, ""},
    };
    for (const auto& t : toggles) {
        const uint8_t before = data.GetSettings().*t.flag;
        Trigger(t.id);
        EXPECT_EQ(data.GetSettings().*t.flag, before ? 0 : 1) << t.id;
        EXPECT_EQ(Checked(t.id), before == 0) << t.id;
        if (*t.status) EXPECT_EQ(frame->StatusField(t.id), t.status);
    }
    Trigger(cmd::kRFCheck);
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check is OFF");
    // A value other than 0 counts as on, as the workflows read it.
    SetSetting(&SettingsBlock::autoRfCheck, 7);
    Trigger(cmd::kRFCheck);
    EXPECT_EQ(data.GetSettings().autoRfCheck, 0);
}

TEST_F(FrameTest, DayRollOverAtTheSixHundredthTick) {
    SettingsBlock s = data.GetSettings();
    s.dayOfYear = 72;
    s.programmedToday = 9;
    data.UpdateSettings(s);
    clock.local.dayOfYear = 73;
    BuildFrame();
    ConnectProgrammer();
    Ticks(600 - static_cast<int>(frame->TickCount()) % 600 - 1);
    EXPECT_EQ(data.GetSettings().programmedToday, 9);
    EXPECT_EQ(frame->ProgrammedTodayField(), "Programmed Today 9");
    Tick();
    EXPECT_EQ(data.GetSettings().programmedToday, 0);
    EXPECT_EQ(data.GetSettings().dayOfYear, 73);
    EXPECT_EQ(frame->ProgrammedTodayField(), "Programmed Today 0");
}

TEST_F(FrameTest, TheCommunicationsMonitorOpensOnce) {
    BuildFrame();
    Trigger(cmd::kCommMonitor);
    TDisplayMonData* first = frame->MonitorWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(frame->MonitorOpen());
    EXPECT_EQ(first->windowTitle(), "Communication Monitoring");
    Trigger(cmd::kCommMonitor);
    EXPECT_EQ(frame->MonitorWindow(), first);
    int monitors = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TDisplayMonData*>(w) && w->isVisible()) ++monitors;
    EXPECT_EQ(monitors, 1);
    first->close();
    EXPECT_FALSE(frame->MonitorOpen());
    Trigger(cmd::kCommMonitor);
    EXPECT_EQ(frame->MonitorWindow(), first) << "the monitor object is kept and reused";
    EXPECT_TRUE(first->isVisible());
}

TEST_F(FrameTest, UmlerRecordWindowOpensClosesAndStaysAcrossFormats) {
    BuildFrame();
    Trigger(cmd::kShowUMLERRecord);
    ASSERT_NE(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(frame->UmlerWindow()->windowTitle(), "UMLER Data");
    EXPECT_EQ(data.GetSettings().umlerWindowShown, 1);
    EXPECT_TRUE(Checked(cmd::kShowUMLERRecord));
    EXPECT_EQ(frame->UmlerWindow()->Field(0)->text(), "") << "no record yet";

    UmlerRecord r;
    r.initialCode = 1;
    r.number = 1234;
    SetText(r.typeCode, "A405");
    data.SetUMLERRecord(r);
    data.SetVehicleKey("ABCD001234");
    frame->UmlerRecordChanged();
    EXPECT_EQ(frame->UmlerWindow()->Field(0)->text(), "ABCD001234");
    EXPECT_EQ(frame->UmlerWindow()->Field(1)->text(), "A405");

    SelectFormat(1);
    EXPECT_NE(frame->UmlerWindow(), nullptr) << "a format change leaves it open";

    // The operator closes it.
    frame->UmlerWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(data.GetSettings().umlerWindowShown, 0);
    EXPECT_FALSE(Checked(cmd::kShowUMLERRecord));

    // And the menu opens and closes it.
    Trigger(cmd::kShowUMLERRecord);
    Trigger(cmd::kShowUMLERRecord);
    EXPECT_EQ(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(data.GetSettings().umlerWindowShown, 0);
}

TEST_F(FrameTest, TagLogWindowShowsTheLogAndGetsNewLinesOnTop) {
    std::ofstream(dir.File("tag log.txt"))
        << "10/24/2018 13:05 - \"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked,"
           "0123\r\n"
        << "10/24/2018 13:06 - \"Railcar,ABCD,43,LEFT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked,"
           "4567\r\n";
    SetSetting(&SettingsBlock::labelPrintingOn, 0);
    BuildFrame();
    Trigger(cmd::kShowTagLog);
    TTagLog* w = frame->TagLogWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Tag Programming Log");
    QTreeWidget* list = w->List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), "Programmed Date/Time");
    EXPECT_EQ(list->headerItem()->text(1), "Format");
    EXPECT_EQ(list->headerItem()->text(2), "Data Fields");
    EXPECT_EQ(list->topLevelItem(0)->text(0), "10/24/2018 13:06") << "newest first";
    EXPECT_EQ(list->topLevelItem(0)->text(1), "\"Railcar");
    EXPECT_TRUE(list->topLevelItem(0)->text(2).startsWith("ABCD,43,LEFT"));
    EXPECT_EQ(list->columnWidth(2), 328);

    // Column widths are stored on request.
    list->setColumnWidth(0, 140);
    w->SaveButton()->click();
    EXPECT_EQ(data.GetColumnWidth(0, 0), 140);
    EXPECT_EQ(data.GetColumnWidth(0, 3), 0);

    w->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->TagLogWindow(), nullptr);
    EXPECT_EQ(data.GetSettings().tagLogWindowShown, 0);
    EXPECT_FALSE(Checked(cmd::kShowTagLog));
}

TEST_F(FrameTest, AssignLogFileNameTakesTheChosenFile) {
    BuildFrame();
    logFileAnswer = std::nullopt;
    Trigger(cmd::kLogFile);
    EXPECT_EQ(data.TagLogFileName(), dir.File("tag log.txt")) << "Cancel changes nothing";
    logFileAnswer = dir.File("shop tags.txt");
    Trigger(cmd::kLogFile);
    EXPECT_EQ(data.TagLogFileName(), dir.File("shop tags.txt"));
    EXPECT_EQ(frame->LogFileNameField().toStdString(), "Log File = \"" + dir.File("shop tags.txt") + "\"");
    // A name the options file cannot hold whole is refused.
    logFileAnswer = "/" + std::string(130, 'x') + ".txt";
    Trigger(cmd::kLogFile);
    EXPECT_EQ(data.TagLogFileName(), dir.File("shop tags.txt"));
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->caption, "Velmora Error");
}

TEST_F(FrameTest, ManualHelpAndWebPage) {
    BuildFrame();
    Trigger(cmd::kOpenManual);
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text, ManualFailureText(2, maker::kWebAddress, maker::kPdfReaderAddress));
    EXPECT_EQ(op.LastBox()->icon, MsgIcon::Stop);
    std::ofstream(dir.File("Velmora Manual.pdf")) << "%PDF-1.4\n";
    op.boxes.clear();
    Trigger(cmd::kOpenManual);
    EXPECT_TRUE(op.boxes.empty());
    ASSERT_FALSE(openedUrls.empty());
    EXPECT_NE(openedUrls.back().find("Velmora Manual.pdf"), std::string::npos);

    Trigger(cmd::kWebPage);
    EXPECT_EQ(openedUrls.back(), maker::kWebAddress);
    Trigger(cmd::kOpenLogFile);
    EXPECT_NE(openedUrls.back().find("tag log.txt"), std::string::npos);

    // No help file in the start directory: Help opens the manual.
    openedUrls.clear();
    Trigger(cmd::kHelp);
    EXPECT_TRUE(op.boxes.empty());
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_NE(openedUrls.back().find("Velmora Manual.pdf"), std::string::npos);
}

TEST_F(FrameTest, ProgrammerParametersNeedTheProgrammerOn) {
    BuildFrame();
    Trigger(cmd::kProgrammerParameters);
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text, "The programmer is not on.  Please turn on or check the cable connection.");
    EXPECT_TRUE(dialogsRun.empty());
    ConnectProgrammer();
    QString fields[4];
    onDialog = [&](QDialog& d) {
        if (auto* p = qobject_cast<TProgrammerParameters*>(&d))
            for (int i = 0; i < 4; ++i) fields[i] = p->Field(i);
    };
    Trigger(cmd::kProgrammerParameters);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Programmer Parameters"});
    EXPECT_EQ(fields[0], "COM1");
    EXPECT_EQ(fields[1], "AP4118");
    EXPECT_EQ(fields[2], "1.07");
}


// ---- set-up commands ----------------------------------------------------------------------

TEST_F(FrameTest, NewBackgroundColourRepaintsTheForm) {
    BuildFrame();
    const QColor before = Form().palette().color(QPalette::Window);
    onDialog = [](QDialog& d) {
        if (auto* c = qobject_cast<TBackgroundColor*>(&d)) {
            c->Combo()->setCurrentIndex(c->Combo()->findText("Dark Green"));
            c->accept();
        }
    };
    Trigger(cmd::kBackgroundColor);
    const BackgroundColor dark = data.GetBackgroundColor(6);
    EXPECT_EQ(data.GetSettings().backgroundColor, 6);
    EXPECT_EQ(Form().palette().color(QPalette::Window), BackgroundColorValue(dark));
    EXPECT_NE(Form().palette().color(QPalette::Window), before);
    EXPECT_EQ(Form().Background(), BackgroundColorValue(dark));
    // A rebuilt form keeps the colour.
    SelectFormat(1);
    EXPECT_EQ(Form().palette().color(QPalette::Window), BackgroundColorValue(dark));
}

TEST_F(FrameTest, NewFormatAppearsInTheFormsList) {
    BuildFrame();
    onDialog = [](QDialog& d) {
        if (auto* request = qobject_cast<TFormatRequest*>(&d)) {
            request->List()->setCurrentRow(0); // <<New>>
            request->done(QDialog::Accepted);
        } else if (auto* editor = qobject_cast<TTagFormat*>(&d)) {
            TypeInto(editor->NameEdit(), "Pallet");
            TypeInto(editor->FieldNameEdit(0), "Pallet Number");
            TypeInto(editor->StartEdit(0), "0");
            TypeInto(editor->LengthEdit(0), "20");
            TypeInto(editor->MinimumEdit(0), "0");
            TypeInto(editor->MaximumEdit(0), "999999");
            QTest::mouseClick(editor->OkButton(), Qt::LeftButton);
        }
    };
    Trigger(cmd::kTagFormats);
    const std::vector<std::string> expected = {"Format Request", "AEI Tag Formats"};
    EXPECT_EQ(dialogsRun, expected);
    EXPECT_TRUE(BoxShown("A new format called \"Pallet\" has been created."));
    QComboBox* list = Form().FormatList();
    EXPECT_GE(list->findText("Pallet"), 0);
    EXPECT_EQ(list->currentText(), "Railcar"); // the form keeps its format
    SelectFormat(data.FindTagFormatByName("Pallet"));
    EXPECT_EQ(Form().Format().Name(), "Pallet");
}

TEST_F(FrameTest, UmlerRegisterLoadsFromTheFileMenu) {
    const std::string extract = dir.File("Umler.txt");
    {
        std::FILE* f = std::fopen(extract.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 1; i <= 3000; ++i) std::fprintf(f, " ABCD%06dT123050064105001000\n", i);
        std::fclose(f);
    }
    BuildFrame();
    std::vector<int> shown;
    onDialog = [&](QDialog& d) {
        if (auto* files = qobject_cast<QFileDialog*>(&d)) {
            EXPECT_EQ(files->windowTitle(), "Load UMLER CD Data");
            files->selectFile(QString::fromStdString(extract));
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        } else if (auto* gauge = qobject_cast<TUmlerLoadGauge*>(&d)) {
            gauge->exec();
            shown = gauge->Shown();
        }
    };
    Trigger(cmd::kLoadUMLER);
    EXPECT_TRUE(op.boxes.empty()) << op.LastBox()->text;
    EXPECT_EQ(test::ReadFileBytes(dir.File("umlerdata.uml")).size(), 3000u * 21u);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 100);
}

TEST_F(FrameTest, LotNumberStepRunsTheDialog) {
    clock.local.year = 2026;
    clock.local.dayOfYear = 100;
    BuildFrame();
    onDialog = [](QDialog& d) {
        if (auto* lot = qobject_cast<TTagDate*>(&d)) {
            TypeInto(lot->Edit(), "22150");
            lot->accept();
        }
    };
    EXPECT_EQ(frame->ShowLotNumberDialog(), LotDialogResult::Ok);
    EXPECT_EQ(dialogsRun.back(), "Tag Manufactring Lot Number");
    EXPECT_EQ(data.GetLastTagRecord().lotDay, 150u);
    EXPECT_EQ(data.GetLastTagRecord().reconditioned, 1);
    onDialog = [](QDialog& d) { d.reject(); };
    EXPECT_EQ(frame->ShowLotNumberDialog(), LotDialogResult::Cancel);
}

// ---- the reader's windows -------------------------------------------------------------------

TEST_F(FrameTest, PortSelectionStoresTheChosenPort) {
    SetSetting(&SettingsBlock::labelPrintingOn, 0);
    BuildFrame();
    QStringList items;
    int preselected = -2;
    onDialog = [&](QDialog& d) {
        auto* sel = qobject_cast<TReaderPortSelection*>(&d);
        ASSERT_NE(sel, nullptr);
        for (int i = 0; i < sel->List()->count(); ++i) items << sel->List()->itemText(i);
        preselected = sel->List()->currentIndex();
        sel->List()->setCurrentIndex(3);
        sel->accept();
    };
    frame->Action(cmd::kReaderPort)->trigger();
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Reader Port Selection"});
    EXPECT_EQ(items, (QStringList{"-none-", "Comm Port 1", "Comm Port 2", "Comm Port 3", "Comm Port 4"}));
    EXPECT_EQ(preselected, 0) << "no reader port yet";
    EXPECT_EQ(data.GetSettings().readerPort, 2);
    // Cancel changes nothing.
    onDialog = [&](QDialog& d) {
        auto* sel = qobject_cast<TReaderPortSelection*>(&d);
        EXPECT_EQ(sel->List()->currentIndex(), 3);
        sel->List()->setCurrentIndex(0);
        sel->reject();
    };
    frame->Action(cmd::kReaderPort)->trigger();
    EXPECT_EQ(data.GetSettings().readerPort, 2);
}

TEST_F(FrameTest, AnRfCheckShowsTheReadStatusWindowAndCancelEndsIt) {
    SetSetting(&SettingsBlock::labelPrintingOn, 0);
    BuildFrame();
    ConnectProgrammer();
    factory.Add("fake2"); // the reader's port: present, never sends a reading
    SetSetting(&SettingsBlock::readerPort, 1);
    frame->RunCommand(cmd::kRFCheck);
    Form().EditAt(0)->setText("ABCD");
    Form().EditAt(1)->setText("42");
    Form().EditAt(3)->setText("50-6");
    Form().Command(TAEIWindow::kCmProgramTag);
    ASSERT_GT(TickUntil([&] { return frame->RfReadStatus() != nullptr; }, 200), 0);
    EXPECT_EQ(frame->RfReadStatus()->windowTitle(), "Tag RF Read Status");
    EXPECT_EQ(frame->RfReadStatus()->Text(),
              "You should now verify the information programmed into the tag with the portable AEI reader.");
    EXPECT_EQ(frame->PromptText(), "Please read the tag with the portable reader");
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 0") << "not logged before the check";
    frame->RfReadStatus()->CancelButton()->click();
    ASSERT_GT(TickUntil([&] { return GetProgrammerState(data).operationState == 0; }, 100), 0);
    Ticks(2);
    EXPECT_EQ(frame->RfReadStatus(), nullptr);
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 1") << "a cancelled check finishes an ordinary tag";
    EXPECT_EQ(frame->PromptText(), "Tag not certified, not RF checked");
}

TEST_F(FrameTest, ParametersDialogShowsTheReadersValues) {
    SetSetting(&SettingsBlock::labelPrintingOn, 0);
    BuildFrame();
    ReaderParameters p;
    p.port = 1;
    SetText(p.userIdFirst, "SHOP");
    SetText(p.userIdSecond, "TWO");
    SetText(p.dateTime, "031426093");
    SetText(p.battery, "087");
    SetText(p.alarmLevel1, "020");
    SetText(p.firmwareVersion, "1.6");
    QString fields[8];
    onDialog = [&](QDialog& d) {
        if (auto* pd = qobject_cast<TPortableParameters*>(&d))
            for (int i = 0; i < 8; ++i) fields[i] = pd->Field(i);
    };
    frame->ShowReaderParameters(p);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Portable Reader Parameters"});
    EXPECT_EQ(fields[0], "COM2");
    EXPECT_EQ(fields[1], "SHOP TWO");
    EXPECT_EQ(fields[3], "087");
    EXPECT_EQ(fields[4], "020");
    EXPECT_EQ(fields[7], "1.6");
}

} // namespace
} // namespace velmora
