// The real frame on the simulated bench: a railcar typed into the form is
// programmed, RF-checked by the reader, logged and labelled; F2 reads it back
// into the form; the programmer's cable is pulled and the programmer found
// again once it is back.
#include "SimBench.h"

#include <QLabel>

#include <algorithm>
#include <regex>

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgrammerOn = "Programmer is ON Comm 1";
constexpr const char* kProgrammerOff = "Programmer is OFF Comm 1";
constexpr const char* kSuccess = "Tag was successfully programmed, UMLER not checked, RF Ok";

template <class Cond>
bool WaitFor(Cond cond, int timeoutMs) {
    return QTest::qWaitFor([&] { return cond(); }, timeoutMs);
}

class EndToEnd : public test::SimBench {
protected:
    std::vector<std::string> dialogsRun;

    // The options the demo writes: the RF check and label printing on. The
    // reader reads what the programmer wrote, by itself once the port has
    // been open and quiet for 1.5 s.
    void SetUp() override {
        AppServices s;
        s.frame.runDialog = [this](QDialog& d) { dialogsRun.push_back(d.windowTitle().toStdString()); };
        s.frame.chooseLogFile = [](QWidget*, const std::string&) { return std::optional<std::string>(); };
        Start({"--auto-read=0.5"}, [](SettingsBlock& b) { b.autoRfCheck = b.labelPrintingOn = 1; }, std::move(s));
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
    std::string Boxes() const {
        std::string all;
        for (const auto& b : op.boxes) all += "[" + b.text + "] ";
        return all;
    }
    std::string Prompts() const {
        std::string all;
        for (const auto& p : op.prompts) all += "[" + p.first + "] ";
        return all;
    }
    void ControlProgrammer(const std::string& command) {
        ASSERT_TRUE(test::WriteControl(ProgrammerControl(), command));
        ASSERT_TRUE(test::WaitUntil(
            [&] { return test::ReadTextFile(ProgrammerLog()).find("control: " + command) != std::string::npos; }))
            << test::ReadTextFile(ProgrammerLog());
    }
    std::string Tag() const {
        const std::string text = test::ReadTextFile(TagFile());
        return text.substr(0, text.find('\n'));
    }
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
    const std::string commLog = test::ReadTextFile(startDir.File("communication log.txt"));
    EXPECT_NE(commLog.find("programmer T-- #201" + tag), std::string::npos) << commLog;

    const std::string log = test::ReadTextFile(startDir.File("tag log.txt"));
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
    ASSERT_TRUE(test::WaitUntil([&] { return !test::PathExists(ProgrammerLink()); }));
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
