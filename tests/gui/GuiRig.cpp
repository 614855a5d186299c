#include "GuiRig.h"

#include <QTest>

#include <cstdlib>

namespace velmora::test {

QApplication& GuiApp() {
    static int argc = 1;
    static char arg0[] = "test_gui";
    static char* argv[] = {arg0, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv); // destroyed after main it would crash
    return *app;
}

void Press(QDialog& d, const QString& text) {
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (b->text().remove('&') == text) return b->click();
    ADD_FAILURE() << d.windowTitle().toStdString() << " has no " << text.toStdString() << " button";
}

void FrameOperator::ShowPrompt(const std::string& text, int blink) {
    ScriptedOperator::ShowPrompt(text, blink);
    if (frame) frame->ShowPrompt(text, blink);
}

void FrameOperator::PostNotification(int code) {
    ScriptedOperator::PostNotification(code);
    QTimer::singleShot(0, QCoreApplication::instance(), [this, code] {
        if (frame) frame->HandleNotification(code);
    });
}

void FrameRig::SetUp() {
    GuiApp();
    SetOptionDefaults(data);
    data.SetStartDirectory(dir.path().string() + "/");
    data.SetTagLogFileName(dir.File("tag log.txt"));
}

void FrameRig::TearDown() {
    op.frame = nullptr;
    frame.reset();
    QCoreApplication::processEvents();
}

void FrameRig::BuildFrame() {
    op.frame = nullptr;
    frame.reset();
    FrameServices s;
    s.portFactory = &factory;
    s.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
    s.openUrl = [this](const QUrl& url) {
        openedUrls.push_back(url.toString().toStdString());
        return true;
    };
    s.chooseLogFile = [this](QWidget*, const std::string&) { return logFileAnswer; };
    s.chooseImportList = [this](QWidget*, const std::string& current) {
        importListOffered = current;
        return importListAnswer;
    };
    s.runDialog = [this](QDialog& d) {
        dialogsRun.push_back(d.windowTitle().toStdString());
        if (onDialog) onDialog(d);
    };
    s.runTimer = false;
    frame = std::make_unique<TAEIDec>(data, s);
    op.frame = frame.get();
    frame->resize(1100, 800);
    frame->show();
    frame->SetupWindow();
    QCoreApplication::processEvents();
}

void FrameRig::Tick() {
    if (++ticks % 10 == 0) clock.Advance(1);
    frame->EvTimer();
    QCoreApplication::processEvents();
}

void FrameRig::ConnectProgrammer() {
    auto dev = factory.Find("fake1");
    if (!dev) dev = factory.Add("fake1");
    dev->onWrite = [](FakeDevice& d, const std::string& cmd) {
        const std::string echo = cmd.substr(0, cmd.find('\r'));
        std::string out = echo + "\r\n";
        if (echo == "#30") out += "#Model AP4118 Ver 1.07\r\n";
        else if (echo == "#40") out += "#00\r\n";
        else if (echo.rfind("#201", 0) == 0 || echo.rfind("#204", 0) == 0) out += "#Done\r\n";
        else if (echo == "#211" || echo == "#214") out += "#0123456789ABCDEF0123456789ABCD\r\n#Done\r\n";
        else out += "#Error\r\n";
        d.Send(out);
    };
    ProgrammerState s = GetProgrammerState(data);
    s.port = 0;
    SetProgrammerState(data, s);
    EXPECT_GT(TickUntil([this] {
        const ProgrammerState st = GetProgrammerState(data);
        return st.on == 1 && st.operationState == 0;
    }, 100), 0) << "the programmer did not come on";
}

void FrameRig::SetSetting(uint8_t SettingsBlock::*field, uint8_t value) {
    SettingsBlock s = data.GetSettings();
    s.*field = value;
    data.UpdateSettings(s);
}

void FrameRig::SelectFormat(int slot) {
    QComboBox* list = Form().FormatList();
    const int index = list->findData(slot);
    ASSERT_GE(index, 0) << "format slot " << slot << " is not listed";
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCoreApplication::processEvents();
}

bool FrameRig::BoxShown(const std::string& text) const {
    for (const auto& b : op.boxes)
        if (b.text == text) return true;
    return false;
}

void FrameRig::Type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }

} // namespace velmora::test
