// The plumbing shared by the subcommands that talk to a device on a real port
// (programmer, reader): the --port argument, an application data object wired
// to the port, and the frame's 100 ms tick loop with the traffic shown under
// --verbose. The tool is the only place that sleeps between ticks.
#pragma once

#include "FrameArgs.h"
#include "ToolCommon.h"

#include "data/AEIData.h"
#include "platform/Operator.h"
#include "serial/SerialPorts.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commlog/CommLog.h"
#include "posix/PosixCommPort.h"

namespace velmora::tool {

// Exit code shared by the device subcommands.
inline constexpr int kExitNotFound = 4;

struct PortChoice {
    bool given = false;
    int port = 0;
    PortDeviceMap map = DefaultPortDevice;
};

// Takes "--port COMn|DEVICE": COMn is that port with its usual device, any
// other device is used as Comm Port 1.
PortChoice TakePort(std::vector<std::string>& args);

// Prints what the link shows the operator when asked to; answers No to the
// retry question so a failed search ends; keeps posted notifications and the
// texts of the boxes.
class ToolOperator : public Operator {
public:
    bool verbose = false;
    std::vector<int> posted;
    std::vector<std::string> boxes;

    MsgAnswer MessageBox(const std::string& caption, const std::string& text, MsgIcon,
                         MsgButtons buttons) override;
    void ShowPrompt(const std::string& text, int) override;
    void PostNotification(int code) override { posted.push_back(code); }
};

// One device link on real ports. A subclass steps its link and handles the
// notifications the link posted.
class LinkRunner {
public:
    static constexpr int kTickMs = 100;
    static constexpr int kMaxTicks = 3000; // 5 minutes: no exchange of a link lasts that long

    using SettingsAdjust = std::function<void(SettingsBlock&, const PortChoice&)>;

    // Loads the options file, applies --half-frame and then adjustSettings to
    // the settings, builds the formats and clears the link state.
    LinkRunner(const DataArgs& da, PortChoice choice, bool verbose, const SettingsAdjust& adjustSettings);
    virtual ~LinkRunner() = default;
    LinkRunner(const LinkRunner&) = delete;
    LinkRunner& operator=(const LinkRunner&) = delete;

    AEIData& Data() { return data_; }
    ToolOperator& Op() { return op_; }
    const PortChoice& Choice() const { return choice_; }
    bool Verbose() const { return verbose_; }
    std::string Device(int port) const { return ports_.PortDevice(port); }
    // How many programmer operations have completed.
    int Completions() const { return completions_; }

    // One tick, then the posted notifications as the frame handles them, then
    // the new traffic lines under --verbose.
    void Tick();
    // Ticks until done() holds (true) or limit ticks have passed (false); a
    // limit of 0 or less has no end.
    bool TickUntil(const std::function<bool()>& done, int limit = kMaxTicks);
    // Runs a stored programmer request to its completion.
    bool RunRequest();

    // Why the device on the port did not answer, in words: "no answer",
    // "device disconnected", or the system's text when the port would not
    // open.
    std::string Cause(int port) { return FailureCause(ports_, port); }

protected:
    SerialPorts& Ports() { return ports_; }
    const CommLog& Log() const { return log_; }

    virtual void Step() = 0;
    virtual void HandlePosted(const std::vector<int>& posted) = 0;
    // A traffic line as --verbose shows it.
    virtual std::string Shown(const std::string& line) const { return line; }

private:
    ToolOperator op_;
    SystemClock clock_;
    AEIData data_;
    PosixCommPortFactory factory_;
    CommLog log_;
    SerialPorts ports_;
    PortChoice choice_;
    bool verbose_ = false;
    int completions_ = 0;
    std::size_t shownLines_ = 0;
};

} // namespace velmora::tool
