// The desktop frame on the offscreen platform: real widgets over a scripted
// operator, a fake clock and fake serial ports, with a temporary start
// directory. The frame's timer does not run; the tests call EvTimer tick by
// tick.
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

// A scripted operator whose prompts also reach the frame's prompt bar and
// whose notifications are delivered to the frame from the event loop, as the
// real operator does it.
class FrameOperator : public ScriptedOperator {
public:
    TAEIDec* frame = nullptr;
    void ShowPrompt(const std::string& text, int blink) override;
    void PostNotification(int code) override;
};

// A programmer on a fake device: echoes each command, answers the probe with
// its model, the status check with "#00", program with "#Done" (or "#Error"
// when failing), read with the tag data and "#Done".
void AnswerLikeProgrammer(FakeDevice& dev, const std::string& readData = "0123456789ABCDEF0123456789ABCD",
                          const bool* failing = nullptr);

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
    std::vector<std::string> dialogsRun; // window titles
    std::function<void(QDialog&)> onDialog;
    uint32_t milliseconds = 0;

    void SetUp() override;
    void TearDown() override;

    // The frame built on the data as it stands (options already set).
    void BuildFrame();
    FrameServices Services();
    TAEIWindow& Form() { return *frame->TagWindow(); }

    // One timer tick; the clock moves one second every ten ticks. Posted
    // notifications are delivered after the tick.
    void Tick();
    void Ticks(int n);
    template <class Pred>
    int TickUntil(Pred pred, int limit = 3000) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (pred()) return i;
        }
        return -1;
    }
    // The programmer answering on COM1; returns its device.
    std::shared_ptr<FakeDevice> ConnectProgrammer();
    void SetSetting(uint8_t SettingsBlock::*field, uint8_t value);
    void SelectFormat(int slot); // through the format list, as the operator does it

    bool BoxShown(const std::string& text) const;
    bool Prompted(const std::string& text) const;
    void Type(QWidget* w, const QString& text);
};

} // namespace velmora::test
