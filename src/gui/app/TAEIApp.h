// The application object: builds the application data object, loads the
// options, completes the file names, builds the frame and shows it
// maximized; at exit the frame has saved the options and this object deletes
// the data.
#pragma once

#include "app/TAEIDec.h"
#include "data/AEIData.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "posix/PosixCommPort.h"
#include "qt/QtOperator.h"

#include <memory>
#include <string>

namespace velmora {

// What start-up takes from outside. Null members are made here: the real
// message boxes, the system clock, the serial ports of the machine.
struct AppServices {
    Operator* op = nullptr;
    Clock* clock = nullptr;
    FrameServices frame; // frame.portFactory null: the machine's serial ports
    bool showWindow = true;
};

class TAEIApp {
public:
    explicit TAEIApp(AppServices services = {});
    ~TAEIApp();
    TAEIApp(const TAEIApp&) = delete;
    TAEIApp& operator=(const TAEIApp&) = delete;

    // Start-up in order: data and options, start directory, version and
    // captions, file names, the frame and its set-up.
    void InitMainWindow();

    AEIData& Data() { return *data_; }
    TAEIDec* Frame() const { return frame_.get(); }
    bool HelpAvailable() const { return helpAvailable_; }
    // The title the frame shows.
    std::string Title() const { return title_; }

private:
    AppServices services_;
    std::unique_ptr<QtOperator> ownOperator_;
    std::unique_ptr<SystemClock> ownClock_;
    std::unique_ptr<PosixCommPortFactory> ownPorts_;
    std::unique_ptr<AEIData> data_;
    std::unique_ptr<TAEIDec> frame_;
    bool helpAvailable_ = true;
    std::string title_;
};

} // namespace velmora
