// The desktop frame on the offscreen platform: real widgets over a scripted
// operator, a fake clock and fake serial ports, in a temporary start
// directory. The frame's timer does not run; the tests tick it.
#pragma once

#include "FakeCommPort.h"
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

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

// One QApplication for the whole test program, on the offscreen platform.
QApplication& GuiApp();

// Clicks the dialog's button of that text ("OK", "Cancel").
void Press(QDialog& d, const QString& text);

// A scripted operator whose prompts also reach the frame's prompt bar and
// whose notifications reach the frame from the event loop, as the real one's.
class FrameOperator : public ScriptedOperator {
public:
    TAEIDec* frame = nullptr;
    void ShowPrompt(const std::string& text, int blink) override;
    void PostNotification(int code) override;
};

class FrameRig : public ::testing::Test {
protected:
    FrameOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;
    FakePortFactory factory;
    std::unique_ptr<TAEIDec> frame;

    std::vector<std::string> openedUrls;
    std::optional<std::string> logFileAnswer;
    std::optional<std::string> importListAnswer;
    std::string importListOffered;
    std::vector<std::string> dialogsRun; // window titles
    std::function<void(QDialog&)> onDialog;
    int ticks = 0;

    void SetUp() override;
    void TearDown() override;
    void BuildFrame(); // on the data as it stands
    TAEIWindow& Form() { return *frame->TagWindow(); }

    // One timer tick; the clock moves one second every ten ticks.
    void Tick();
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
    template <class Pred>
    int TickUntil(Pred pred, int limit) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (pred()) return i;
        }
        return -1;
    }
    // A programmer answering on COM1: echoes each command, answers the probe
    // with its model, the status check with "#00", program with "#Done".
    void ConnectProgrammer();
    void SetSetting(uint8_t SettingsBlock::*field, uint8_t value);
    void SelectFormat(int slot); // through the format list, as the operator does it
    bool BoxShown(const std::string& text) const;
    void Type(QWidget* w, const QString& text);
};

} // namespace velmora::test
