// The real frame on the simulated bench: the real application object and
// frame with their 100 ms timer, real serial ports on the pseudo-terminals of
// velmora-programmer-sim (Comm Port 1) and velmora-reader-sim (Comm Port 2).
// A railcar typed into the form is programmed, RF-checked by the reader,
// logged and labelled; F2 reads it back into the form; the programmer's cable
// is pulled and the programmer found again once it is back. Every wait has a
// generous upper bound; none is a measurement.
#include "../integration/ReaderSimProcess.cpp" // both simulators started as the integration tests start them
#include "GuiRig.h"

#include "app/TAEIApp.h"
#include "util/FixedText.h"

#include <QLabel>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

namespace velmora {
namespace {

using namespace test;
namespace fs = std::filesystem;

constexpr const char* kProgrammerOn = "Programmer is ON Comm 1";
constexpr const char* kProgrammerOff = "Programmer is OFF Comm 1";
constexpr const char* kSuccess = "Tag was successfully programmed, UMLER not checked, RF Ok";

template <class Cond>
bool WaitFor(Cond cond, int timeoutMs) {
    return QTest::qWaitFor([&] { return cond(); }, timeoutMs);
}

class EndToEnd : public ::testing::Test {
protected:
    TempDir bench;    // the links of the ports without a device
    TempDir startDir; // the program's start directory
    fs::path oldCwd;
    std::unique_ptr<ControlledSim> programmer;
    std::unique_ptr<ReaderSimProcess> reader;
    FrameOperator op; // records every box and prompt; questions are answered No
    std::unique_ptr<TAEIApp> app;

    std::string ProgrammerLink() const { return programmer->Link(); }
    TAEIDec& Frame() { return *app->Frame(); }
    TAEIWindow& Form() { return *Frame().TagWindow(); }

    // Both simulators, the reader reading by itself once its port has been
    // open and quiet for 0.5 s; options naming both ports, with the RF check
    // and label printing on (into PDF files); then the program.
    void SetUp() override {
        GuiApp();
        if (!fs::exists(ProgrammerSimBinary()) || !ReaderSimProcess::Available())
            GTEST_SKIP() << "the simulators are not built";
        programmer = std::make_unique<ControlledSim>(ProgrammerSimBinary(), "com1", std::vector<std::string>{}, "");
        ASSERT_TRUE(programmer->Running()) << programmer->ErrorOutput();
        reader = std::make_unique<ReaderSimProcess>(std::vector<std::string>{"--auto-read=0.5"}, programmer->TagFile());
        ASSERT_TRUE(reader->Running()) << reader->ErrorOutput();
        for (const auto& [name, value] : std::map<std::string, std::string>{
                 {"VELMORA_COM1", ProgrammerLink()}, {"VELMORA_COM2", reader->Link()},
                 {"VELMORA_COM3", bench.File("com3")}, {"VELMORA_COM4", bench.File("com4")}}) // 3, 4: no device
            qputenv(name.c_str(), QByteArray::fromStdString(value));

        ScriptedOperator quiet;
        FakeClock clock;
        AEIData d(quiet, clock);
        SetOptionDefaults(d);
        ProgrammerState p = d.GetProgrammerRecord();
        p.port = 0;
        d.UpdateProgrammerRecord(p);
        SettingsBlock s = d.GetSettings();
        s.readerPort = 1;
        s.autoRfCheck = s.labelPrintingOn = 1;
        d.UpdateSettings(s);
        PrinterSettings printer = d.GetPrinterSettings(0);
        SetText(printer.device, TLabelPrinter::kPdfFileDevice);
        d.UpdatePrinterSettings(0, printer);
        ASSERT_EQ(SaveOptions(d, startDir.File(kOptionsFileName)), 0);

        oldCwd = fs::current_path();
        fs::current_path(startDir.path());
        AppServices services;
        services.op = &op;
        services.frame.openUrl = [](const QUrl&) { return true; };
        services.frame.runDialog = [](QDialog&) {};
        services.frame.chooseLogFile = [](QWidget*, const std::string&) { return std::optional<std::string>(); };
        app = std::make_unique<TAEIApp>(std::move(services)); // real clock, real serial ports, timer running
        app->InitMainWindow();
        op.frame = app->Frame();
    }

    void TearDown() override {
        if (app) {
            app->Frame()->close();
            op.frame = nullptr;
            app.reset();
            QCoreApplication::processEvents();
        }
        if (!oldCwd.empty()) fs::current_path(oldCwd);
        for (const char* name : {"VELMORA_COM1", "VELMORA_COM2", "VELMORA_COM3", "VELMORA_COM4"}) qunsetenv(name);
        reader.reset();
        if (programmer) {
            const int status = programmer->Stop(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }

    QWidget* Focused() { return Frame().focusWidget(); }
    // Keys go where the focus is, as on the keyboard.
    void Keys(const QString& text) {
        for (QChar c : text) QTest::keyClicks(Focused(), QString(c));
    }
    void Key(Qt::Key key) { QTest::keyClick(Focused(), key); }
    bool Prompted(const std::string& text) const {
        return std::any_of(op.prompts.begin(), op.prompts.end(), [&](const auto& p) { return p.first == text; });
    }
    std::string Boxes() const { return Join(op.boxes, &ShownBox::text); }
    std::string Prompts() const { return Join(op.prompts, &std::pair<std::string, int>::first); }
    template <class List, class Member>
    static std::string Join(const List& list, Member member) {
        std::string all;
        for (const auto& item : list) all += "[" + item.*member + "] ";
        return all;
    }
    void ControlProgrammer(const std::string& command) { ASSERT_TRUE(programmer->Control(command)) << programmer->ErrorOutput(); }
    std::string Tag() const { return programmer->Tag(); }
};

TEST_F(EndToEnd, ARailcarIsProgrammedRfCheckedLoggedReadBackAndTheProgrammerFoundAgainAfterAPulledCable) {
    // Start-up: the stored port is checked, not every port searched.
    ASSERT_TRUE(WaitFor([&] { return Frame().ProgrammerField() == kProgrammerOn; }, 15000))
        << Frame().ProgrammerField().toStdString() << " " << Prompts() << Boxes();
    EXPECT_TRUE(Prompted("Checking Comm Port 1 for a programmer")) << Prompts();
    EXPECT_TRUE(Prompted("AP4118 programmer was found on Comm Port 1")) << Prompts();
    EXPECT_FALSE(Prompted("Searching all ports for a programmer")) << Prompts();
    EXPECT_EQ(Form().Format().Name(), "Railcar");

    // The operator types a railcar: the full initial moves on by itself, Tab
    // moves on and selects the next text, Right turns the side list to RIGHT.
    Form().FocusField(0);
    Keys("ABCD123456");
    Key(Qt::Key_Tab);
    Key(Qt::Key_Right);
    Key(Qt::Key_Tab);
    Keys("50-0");
    Key(Qt::Key_Tab);
    Keys("4");
    Key(Qt::Key_Tab);
    Keys("1");
    Key(Qt::Key_Tab);
    Keys("0");
    ASSERT_NE(Form().EditAt(0), nullptr);
    EXPECT_EQ(Form().EditAt(0)->text(), "ABCD");
    EXPECT_EQ(Form().EditAt(1)->text(), "123456");
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "RIGHT");
    EXPECT_EQ(Form().EditAt(3)->text(), "50-0");
    EXPECT_EQ(Form().EditAt(5)->text(), "4");
    EXPECT_EQ(Form().EditAt(6)->text(), "1");
    EXPECT_EQ(Form().EditAt(7)->text(), "0");

    // F1: programmed, then the RF check waits for the reader, which reads by
    // itself; the tag is logged and labelled.
    Key(Qt::Key_F1);
    EXPECT_TRUE(WaitFor([&] { return Prompted("Please read the tag with the portable reader"); }, 15000))
        << Prompts() << Boxes();
    EXPECT_TRUE(WaitFor([&] { return Frame().PromptText() == kSuccess; }, 20000))
        << Frame().PromptText().toStdString() << " " << Prompts() << Boxes();
    EXPECT_TRUE(op.boxes.empty()) << Boxes();
    EXPECT_EQ(Frame().RfReadStatus(), nullptr) << "the RF read status window closes with the reading";

    // What the reader simulator decoded from the programmer simulator's tag
    // is what was typed.
    EXPECT_TRUE(reader->WaitForLog("sending the automatic reading \"ABCD 123456,19,R,152,4,1,0\""))
        << reader->ErrorOutput();
    const std::string tag = Tag();
    ASSERT_EQ(tag.size(), 30u);
    const std::string commLog = ReadTextFile(startDir.File("communication log.txt"));
    EXPECT_NE(commLog.find("programmer T-- #201" + tag), std::string::npos) << commLog;

    const std::string log = ReadTextFile(startDir.File("tag log.txt"));
    const std::regex line(R"(^\d\d/\d\d/\d{4} \d\d:\d\d - "Railcar,ABCD,123456,RIGHT,50'0",4,1,0" 51,19,2 )"
                          R"(UMLER not checked RF Ok,([0-9A-F]{30})\r?\n$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(log, m, line)) << log;
    EXPECT_EQ(m[1].str(), tag);
    EXPECT_EQ(Frame().ProgrammedTodayField(), "Programmed Today 1");
    std::vector<fs::path> labels;
    if (fs::is_directory(startDir.path() / "labels"))
        for (const auto& e : fs::directory_iterator(startDir.path() / "labels")) labels.push_back(e.path());
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_NE(labels[0].filename().string().find("ABCD-123456.pdf"), std::string::npos) << labels[0];

    // F8 steps to the next car; F2 reads the tag back into the form.
    Form().FocusField(0);
    Key(Qt::Key_F8);
    EXPECT_EQ(Form().EditAt(1)->text(), "123457");
    Key(Qt::Key_F2);
    EXPECT_TRUE(WaitFor([&] { return Frame().PromptText() == "Tag was successfully read"; }, 15000))
        << Frame().PromptText().toStdString() << " " << Boxes();
    EXPECT_EQ(Form().EditAt(0)->text(), "ABCD");
    EXPECT_EQ(Form().EditAt(1)->text(), "123456");
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "RIGHT");
    EXPECT_EQ(Form().EditAt(3)->text(), "50-00");
    EXPECT_EQ(Form().EditAt(5)->text(), "4");
    EXPECT_NE(Form().RawDataLine()->text().toStdString().find(tag), std::string::npos);

    // The cable is pulled: the next read fails and the programmer goes off.
    ControlProgrammer("unplug");
    ASSERT_TRUE(WaitUntil([&] { return !PathExists(ProgrammerLink()); }));
    Form().FocusField(0);
    Key(Qt::Key_F2);
    EXPECT_TRUE(WaitFor([&] { return Frame().ProgrammerField() == kProgrammerOff; }, 20000))
        << Frame().ProgrammerField().toStdString() << " " << Prompts();
    EXPECT_TRUE(Prompted("Error - could not read tag")) << Prompts();
    EXPECT_EQ(GetProgrammerState(app->Data()).port, 0) << "the stored port is kept";

    // Plugged back in: the stored port is checked again and the programmer
    // found; it reads again.
    ControlProgrammer("plug");
    EXPECT_TRUE(WaitFor([&] { return Frame().ProgrammerField() == kProgrammerOn; }, 40000))
        << Frame().ProgrammerField().toStdString() << " " << Prompts() << Boxes();
    Form().FocusField(0);
    Key(Qt::Key_F8);
    Key(Qt::Key_F2);
    EXPECT_TRUE(WaitFor([&] { return Frame().PromptText() == "Tag was successfully read" &&
                                     Form().EditAt(1)->text() == "123456"; },
                        15000))
        << Frame().PromptText().toStdString() << " " << Boxes();
}

} // namespace
} // namespace velmora
