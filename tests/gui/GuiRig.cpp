#include "GuiRig.h"

#include <QTest>

#include <cstdlib>

namespace velmora::test {

QApplication& GuiApp() {
    static int argc = 1;
    static char arg0[] = "test_gui";
    static char* argv[] = {arg0, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Kept for the whole run: destroying it after main has returned crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
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

void AnswerLikeProgrammer(FakeDevice& dev, const std::string& readData, const bool* failing) {
    dev.onWrite = [readData, failing](FakeDevice& d, const std::string& cmd) {
        std::string echo = cmd;
        if (!echo.empty() && echo.back() == '\r') echo.pop_back();
        std::string out = echo + "\r\n";
        const bool fail = failing && *failing;
        if (echo == "#30") out += "#Model AP4118 Ver 1.07\r\n";
        else if (echo == "#40") out += "#00\r\n";
        else if (echo.rfind("#201", 0) == 0 || echo.rfind("#204", 0) == 0) out += fail ? "#Error\r\n" : "#Done\r\n";
        else if (echo == "#211" || echo == "#214") out += fail ? "#Error\r\n" : "#" + readData + "\r\n#Done\r\n";
        else out += "#Error\r\n";
        d.Send(out);
    };
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

FrameServices FrameRig::Services() {
    FrameServices s;
    s.portFactory = &factory;
    s.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
    s.openUrl = [this](const QUrl& url) {
        openedUrls.push_back(url.toString().toStdString());
        return true;
    };
    s.chooseLogFile = [this](QWidget*, const std::string&) { return logFileAnswer; };
    s.runDialog = [this](QDialog& d) {
        dialogsRun.push_back(d.windowTitle().toStdString());
        if (onDialog) onDialog(d);
    };
    s.runTimer = false;
    return s;
}

void FrameRig::BuildFrame() {
    op.frame = nullptr;
    frame.reset();
    frame = std::make_unique<TAEIDec>(data, Services());
    op.frame = frame.get();
    frame->resize(1100, 800);
    frame->show();
    frame->SetupWindow();
    QCoreApplication::processEvents();
}

void FrameRig::Tick() {
    milliseconds += 100;
    if (milliseconds >= 1000) {
        milliseconds -= 1000;
        clock.Advance(1);
    }
    frame->EvTimer();
    QCoreApplication::processEvents();
}

void FrameRig::Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
}

std::shared_ptr<FakeDevice> FrameRig::ConnectProgrammer() {
    auto dev = factory.Find("fake1");
    if (!dev) dev = factory.Add("fake1");
    AnswerLikeProgrammer(*dev);
    ProgrammerState s = GetProgrammerState(data);
    s.port = 0;
    SetProgrammerState(data, s);
    const int ticks = TickUntil([this] {
        const ProgrammerState st = GetProgrammerState(data);
        return st.on == 1 && st.operationState == 0;
    }, 100);
    EXPECT_GT(ticks, 0) << "the programmer did not come on";
    return dev;
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

bool FrameRig::Prompted(const std::string& text) const {
    for (const auto& p : op.prompts)
        if (p.first == text) return true;
    return false;
}

void FrameRig::Type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }

} // namespace velmora::test
