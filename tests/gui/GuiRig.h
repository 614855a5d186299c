// The desktop frame on the offscreen platform: real widgets over a scripted
// operator, a fake clock and fake serial ports, in a temporary start
// directory. The frame's timer does not run; the tests tick it.
#pragma once

#include "FakeCommPort.h"
#include "LinkRig.h"
#include "TestSupport.h"

#include "app/TAEIDec.h"
#include "data/AEIData.h"
#include "data/OptionsFile.h"
#include "serial/ProgrammerApi.h"
#include "tagwindow/TAEIWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace velmora::test {

// One QApplication for the whole test program, on the offscreen platform.
inline QApplication& GuiApp() {
    static int argc = 1;
    static char arg0[] = "test_gui";
    static char* argv[] = {arg0, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv); // destroyed after main it would crash
    return *app;
}

// Clicks the dialog's button of that text ("OK", "Cancel").
inline void Press(QDialog& d, const QString& text) {
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (b->text().remove('&') == text) return b->click();
    ADD_FAILURE() << d.windowTitle().toStdString() << " has no " << text.toStdString() << " button";
}

// A scripted operator whose prompts also reach the frame's prompt bar and
// whose notifications reach the frame from the event loop, as the real one's.
class FrameOperator : public ScriptedOperator {
public:
    TAEIDec* frame = nullptr;
    void ShowPrompt(const std::string& text, int blink) override {
        ScriptedOperator::ShowPrompt(text, blink);
        if (frame) frame->ShowPrompt(text, blink);
    }
    void PostNotification(int code) override {
        ScriptedOperator::PostNotification(code);
        QTimer::singleShot(0, QCoreApplication::instance(), [this, code] {
            if (frame) frame->HandleNotification(code);
        });
    }
};

class FrameRig : public ::testing::Test {
protected:
    FrameOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;
    FakePortFactory factory;
    std::unique_ptr<TAEIDec> frame;

    QStringList manualDirs;
    std::vector<std::string> openedUrls;
    std::optional<std::string> logFileAnswer;
    std::optional<std::string> importListAnswer;
    std::string importListOffered;
    std::vector<std::string> dialogsRun; // window titles
    std::function<void(QDialog&)> onDialog;
    int ticks = 0;

    void SetUp() override {
        GuiApp();
        SetOptionDefaults(data);
        data.SetStartDirectory(dir.path().string() + "/");
        data.SetTagLogFileName(dir.File("tag log.txt"));
    }
    void TearDown() override { Close(); }
    void Close() {
        op.frame = nullptr;
        frame.reset();
        QCoreApplication::processEvents();
    }
    // Builds the frame on the data as it stands.
    void BuildFrame() {
        Close();
        FrameServices s;
        s.portFactory = &factory;
        s.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
        s.manualDirs = manualDirs;
        s.openUrl = [this](const QUrl& url) { return openedUrls.push_back(url.toString().toStdString()), true; };
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
    TAEIWindow& Form() { return *frame->TagWindow(); }

    // One timer tick; the clock moves one second every ten ticks.
    void Tick() {
        if (++ticks % 10 == 0) clock.Advance(1);
        frame->EvTimer();
        QCoreApplication::processEvents();
    }
    void Ticks(int n) { while (n-- > 0) Tick(); }
    template <class Pred>
    int TickUntil(Pred pred, int limit) {
        for (int i = 1; i <= limit; ++i)
            if (Tick(), pred()) return i;
        return -1;
    }
    // A programmer answering on COM1 as the real one does.
    void ConnectProgrammer() {
        AnswerLikeProgrammer(factory.Find("fake1") ? *factory.Find("fake1") : *factory.Add("fake1"), {});
        ProgrammerState s = GetProgrammerState(data);
        s.port = 0;
        SetProgrammerState(data, s);
        EXPECT_GT(TickUntil([this] {
            const ProgrammerState st = GetProgrammerState(data);
            return st.on == 1 && st.operationState == 0;
        }, 100), 0) << "the programmer did not come on";
    }
    template <class T, class V>
    void SetSetting(T SettingsBlock::*field, V value) {
        SettingsBlock s = data.GetSettings();
        s.*field = static_cast<T>(value);
        data.UpdateSettings(s);
    }
    // Through the format list, as the operator does it.
    void SelectFormat(int slot) {
        QComboBox* list = Form().FormatList();
        const int index = list->findData(slot);
        ASSERT_GE(index, 0) << "format slot " << slot << " is not listed";
        list->setCurrentIndex(index);
        emit list->activated(index);
        QCoreApplication::processEvents();
    }
    bool BoxShown(const std::string& text) const {
        return std::any_of(op.boxes.begin(), op.boxes.end(), [&](const auto& b) { return b.text == text; });
    }
};

} // namespace velmora::test
