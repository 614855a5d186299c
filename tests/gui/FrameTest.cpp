// The frame: start-up fields and check marks, the option toggles, the
// blinking prompt and the timer's periodic work, the modeless windows, the
// monitor, the log file, help, the programmer search's end and the close.
#include "GuiRig.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "dialogs/FrameDialogs.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

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
};

TEST_F(FrameTest, MenuBarHoldsEveryItemInOrderWithItsSeparators) {
    BuildFrame();
    std::vector<std::string> got;
    for (QAction* menu : frame->menuBar()->actions()) {
        got.push_back("[" + menu->text().toStdString() + "]");
        for (QAction* a : menu->menu()->actions()) got.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    }
    const std::vector<std::string> expected = {
        "[File]", "Load UMLER CD Data", "-", "Label Printer Setup", "-", "E&xit",
        "[Options]", "Automatic RF Check", "Automatic UMLER Check", "-", "Label Printing On", "Log File On", "-",
        "Lengths in Feet-Inches", "-", "Recondtion Check",
        "[Programmer]", "Programmer Model and Version", "Search for a Programmer", "Communications Monitor",
        "[RF Reader]", "Reader Port Assignment", "Read Reader Parameters", "Search for Reader",
        "[Setup]", "Assign Log File Name", "-", "Certification Vehicle Initial", "Programmed By Data Entry", "-",
        "Set Background Color",
        "[Tools]", "Find UMLER Data", "-", "Tag Formats",
        "[View]", "Display Programmed Tag Log", "Open Log File", "-", "Display UMLER Record",
        "[Help]", "&About", "Help", "-", "Open Manual", "-", "Corvelle's Web Page"};
    EXPECT_EQ(got, expected);
    const std::pair<int, const char*> ids[] = {
        {11845, "Load UMLER CD Data"}, {11852, "Label Printer Setup"}, {125, "E&xit"},
        {11847, "Automatic RF Check"}, {11854, "Automatic UMLER Check"}, {11856, "Label Printing On"},
        {11855, "Log File On"}, {11858, "Lengths in Feet-Inches"}, {11853, "Recondtion Check"},
        {11844, "Programmer Model and Version"}, {11842, "Search for a Programmer"}, {143, "Communications Monitor"},
        {11864, "Reader Port Assignment"}, {11862, "Read Reader Parameters"}, {11863, "Search for Reader"},
        {11933, "Assign Log File Name"}, {11861, "Certification Vehicle Initial"},
        {11860, "Programmed By Data Entry"}, {11865, "Set Background Color"}, {11846, "Find UMLER Data"},
        {11843, "Tag Formats"}, {11859, "Display Programmed Tag Log"}, {11848, "Open Log File"},
        {11857, "Display UMLER Record"}, {140, "&About"}, {11849, "Help"}, {11851, "Open Manual"},
        {2444, "Corvelle's Web Page"}};
    for (const auto& [id, text] : ids) {
        ASSERT_NE(frame->Action(id), nullptr) << id;
        EXPECT_EQ(frame->Action(id)->text().toStdString(), text);
        EXPECT_EQ(frame->Action(id)->data().toInt(), id);
    }
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

TEST_F(FrameTest, TogglesInvertTheFlagTheCheckMarkAndTheStatusText) {
    BuildFrame();
    Trigger(cmd::kRFCheck);
    EXPECT_EQ(data.GetSettings().autoRfCheck, 1);
    EXPECT_TRUE(Checked(cmd::kRFCheck));
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check is ON");
    Trigger(cmd::kRFCheck);
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check is OFF");
    EXPECT_FALSE(Checked(cmd::kRFCheck));

    Trigger(cmd::kUMLERCheck);
    EXPECT_EQ(data.GetSettings().autoUmlerCheck, 0);
    EXPECT_EQ(frame->StatusField(cmd::kUMLERCheck), "UMLER Check OFF");
    Trigger(cmd::kLogFileOn);
    EXPECT_EQ(data.GetSettings().logFileOn, 0);
    EXPECT_EQ(frame->StatusField(cmd::kLogFileOn), "Log File OFF");
    Trigger(cmd::kLabelPrinting);
    EXPECT_EQ(frame->StatusField(cmd::kLabelPrinting), "Label Printing OFF");

    const QString before[5] = {frame->StatusField(cmd::kRFCheck), frame->StatusField(cmd::kUMLERCheck),
                               frame->StatusField(cmd::kLabelPrinting), frame->StatusField(cmd::kLogFileOn),
                               frame->StatusField(cmd::kLengthUnits)};
    Trigger(cmd::kReconditionCheck);
    EXPECT_EQ(data.GetSettings().reconditionCheck, 1);
    EXPECT_TRUE(Checked(cmd::kReconditionCheck));
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), before[0]) << "the recondition check has no status field";
    EXPECT_EQ(frame->StatusField(cmd::kLengthUnits), before[4]);

    // A value other than 0 counts as on, as the workflows read it.
    SettingsBlock s = data.GetSettings();
    s.autoRfCheck = 7;
    data.UpdateSettings(s);
    Trigger(cmd::kRFCheck);
    EXPECT_EQ(data.GetSettings().autoRfCheck, 0);
}

TEST_F(FrameTest, CheckMarksFollowTheOptionsNotTheClicks) {
    SetSetting(&SettingsBlock::programmedByEntry, 1);
    BuildFrame();
    EXPECT_TRUE(Checked(cmd::kProgrammedBy));
    Trigger(cmd::kProgrammedBy);
    EXPECT_TRUE(Checked(cmd::kProgrammedBy)) << "its mark is set at start-up only";
    Trigger(cmd::kShowTagLog);
    EXPECT_TRUE(Checked(cmd::kShowTagLog));
    frame->TagLogWindow()->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Checked(cmd::kShowTagLog));
}

TEST_F(FrameTest, LengthUnitsConvertWhatWasTyped) {
    BuildFrame();
    Form().EditAt(0)->setText("ABCD");
    Form().EditAt(3)->setText("40-6");
    Trigger(cmd::kLengthUnits);
    EXPECT_EQ(data.GetSettings().feetInches, 0);
    EXPECT_FALSE(Checked(cmd::kLengthUnits));
    EXPECT_EQ(frame->StatusField(cmd::kLengthUnits), "Lengths decimeters");
    EXPECT_EQ(Form().EditAt(3)->text(), "123");
    EXPECT_EQ(Form().EditAt(0)->text(), "ABCD") << "typed values are carried over";
    EXPECT_FALSE(Form().FeetInches());
    Trigger(cmd::kLengthUnits);
    EXPECT_EQ(Form().EditAt(3)->text(), "40-6");
    EXPECT_EQ(frame->StatusField(cmd::kLengthUnits), "Lengths feet-inches");
}

TEST_F(FrameTest, BlinkingPromptAlternatesEveryFiveTicks) {
    BuildFrame();
    ConnectProgrammer();
    frame->ShowPrompt("Error - could not program tag", 1);
    EXPECT_EQ(frame->TickCount(), 0u) << "a blinking prompt restarts the tick count";
    std::vector<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        Tick();
        if (frame->TickCount() % 5 == 0) seen.push_back(frame->PromptText().toStdString());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Error - could not program tag", "", "Error - could not program tag", ""}));
    frame->ShowPrompt("Tag was successfully read", 0);
    Ticks(10);
    EXPECT_EQ(frame->PromptText(), "Tag was successfully read");
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
    // The monitor follows the traffic, newest first.
    frame->CommunicationLog().LogCommMessage(0, "T-- #40", "programmer");
    frame->CommunicationLog().LogCommMessage(0, "R-- #00", "programmer");
    const QString text = first->DataBox()->toPlainText();
    EXPECT_LT(text.indexOf("R-- #00"), text.indexOf("T-- #40"));
    EXPECT_NE(text.indexOf("C(1) programmer R-- #00"), -1);
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

    // A record shown after a lookup.
    UmlerRecord r;
    r.initialCode = 1;
    r.number = 1234;
    SetText(r.typeCode, "A405");
    r.lengthInches = 474;
    r.axles = 4;
    r.tare = 654;
    data.SetUMLERRecord(r);
    data.SetVehicleKey("ABCD001234");
    frame->UmlerRecordChanged();
    EXPECT_EQ(frame->UmlerWindow()->Field(0)->text(), "ABCD001234");
    EXPECT_EQ(frame->UmlerWindow()->Field(1)->text(), "A405");
    EXPECT_EQ(frame->UmlerWindow()->Field(4)->text(), "39' 6\"");
    EXPECT_EQ(frame->UmlerWindow()->Field(5)->text(), "65,400");

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

    // A tag programmed now becomes the top row.
    ConnectProgrammer();
    Form().EditAt(0)->setText("WXYZ");
    Form().EditAt(1)->setText("77");
    Form().EditAt(3)->setText("50-6");
    Form().Command(TAEIWindow::kCmProgramTag);
    ASSERT_GT(TickUntil([&] { return list->topLevelItemCount() == 3; }, 200), 0);
    EXPECT_TRUE(list->topLevelItem(0)->text(2).startsWith("WXYZ,77,"));

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

TEST_F(FrameTest, ModelessWindowsReopenAtStartWhenTheirFlagIsSet) {
    SetSetting(&SettingsBlock::umlerWindowShown, 1);
    SetSetting(&SettingsBlock::tagLogWindowShown, 1);
    BuildFrame();
    EXPECT_NE(frame->UmlerWindow(), nullptr);
    EXPECT_NE(frame->TagLogWindow(), nullptr);
    EXPECT_TRUE(Checked(cmd::kShowUMLERRecord));
    EXPECT_TRUE(Checked(cmd::kShowTagLog));
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

TEST_F(FrameTest, AboutBoxShowsTheVersion) {
    data.SetVersionText("1.4D North America");
    BuildFrame();
    QString version;
    onDialog = [&](QDialog& d) {
        if (auto* about = qobject_cast<TAbout*>(&d)) version = about->VersionField()->text();
    };
    Trigger(cmd::kAbout);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"About"});
    EXPECT_EQ(version, "1.4D North America");
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

TEST_F(FrameTest, ASearchThatFindsNothingReportsAndShowsTheConnectionStatus) {
    factory.Add("fake1"); // a port with something on it that never answers
    BuildFrame();         // no programmer port stored: the first tick starts the search
    Tick();
    ASSERT_NE(frame->SearchMessage(), nullptr);
    EXPECT_EQ(frame->SearchMessage()->Text(),
              "The system is searching for the programmer.  This will take about 60 seconds.");
    EXPECT_EQ(frame->PromptText(), "Searching all ports for a programmer");
    ASSERT_GT(TickUntil([&] { return BoxShown("A programmer could not be found.  Please check that it is turned on "
                                              "and connected to the computer."); },
                        3000),
              0);
    EXPECT_EQ(frame->SearchMessage(), nullptr);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"AEI Tag Programmer & Reader Connection Status"});
    EXPECT_EQ(frame->PromptText(),
              "A programmer was not found.  Turn on the programmer and check the cable connection");
    EXPECT_TRUE(frame->PromptBlinking());
}

TEST_F(FrameTest, ProgrammerFoundBySearchShowsItsStatus) {
    auto dev = factory.Add("fake2");
    test::AnswerLikeProgrammer(*dev);
    BuildFrame();
    TConnectionStatus* status = nullptr;
    QString port2;
    onDialog = [&](QDialog& d) {
        if ((status = qobject_cast<TConnectionStatus*>(&d))) port2 = status->Cell(1, 2);
    };
    ASSERT_GT(TickUntil([&] { return GetProgrammerState(data).on == 1; }, 400), 0);
    Ticks(2);
    EXPECT_TRUE(BoxShown("A programmer was found on the COM2 port."));
    EXPECT_EQ(frame->ProgrammerField(), "Programmer is ON Comm 2");
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"AEI Tag Programmer & Reader Connection Status"});
    EXPECT_EQ(port2, "1");
}

TEST_F(FrameTest, ClosingSavesTheOptions) {
    BuildFrame();
    Trigger(cmd::kRFCheck);
    Trigger(cmd::kShowUMLERRecord);
    frame->close();
    const std::string path = dir.File("programmer option.ads");
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), kOptionsFileSize);
    test::ScriptedOperator op2;
    test::FakeClock clock2;
    AEIData again(op2, clock2);
    ASSERT_EQ(LoadOptions(again, path), 0);
    EXPECT_EQ(again.GetSettings().autoRfCheck, 1);
    EXPECT_EQ(again.GetSettings().umlerWindowShown, 1) << "an open window stays open for the next start";
}

TEST_F(FrameTest, ToolBarFieldsComeInTheirOrder) {
    BuildFrame();
    std::vector<std::string> texts;
    for (QObject* child : frame->ToolBar()->children()) {
        auto* label = qobject_cast<QLabel*>(child);
        if (label) texts.push_back(label->text().toStdString());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Programmer OFF  No Comm", "Label Printing ON", "UMLER Check ON",
                                               "RF Check OFF", "Log File ON", "Lengths feet-inches"}));
}

} // namespace
} // namespace velmora
