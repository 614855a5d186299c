// The links on fake ports and a fake clock, stepped tick by tick like the
// frame's 100 ms timer: FakeLinkRig holds what the programmer and reader rigs
// share (the application data, the completions of programmer operations, the
// operator's texts); LinkRig adds the programmer's UI and a scripted
// programmer that answers the way the real one does (echo, then the answer
// lines, each ending CR LF).
#pragma once

#include "FakeCommPort.h"
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerHooks.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

class FakeLinkRig {
public:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    FakePortFactory factory;
    CommLog log{data};
    SerialPorts ports;
    int completions = 0;
    std::vector<uint8_t> completionResults;
    uint32_t milliseconds = 0;
    int ticks = 0;                   // ticks run so far
    std::function<void()> afterTick; // real ports: let the device's bytes arrive

    // Fake ports, or the ports of another factory under the given names.
    explicit FakeLinkRig(CommPortFactory* other = nullptr, PortDeviceMap names = {})
        : ports(other ? *other : factory, log,
                names ? names : [](int p) { return "fake" + std::to_string(p + 1); }) {
        SettingsBlock s = data.GetSettings();
        s.logFileOn = 0;
        data.UpdateSettings(s);
        data.serial.programmerCompletion = [this] {
            ++completions;
            completionResults.push_back(GetProgrammerState(data).operationResult);
        };
        ClearProgrammerRunState(data);
        ResetCommStatus(data, ports);
    }
    virtual ~FakeLinkRig() = default;
    FakeLinkRig(const FakeLinkRig&) = delete;
    FakeLinkRig& operator=(const FakeLinkRig&) = delete;

    // The device behind Comm Port port + 1, made on first use.
    std::shared_ptr<FakeDevice> Device(int port) {
        auto d = factory.Find("fake" + std::to_string(port + 1));
        return d ? d : factory.Add("fake" + std::to_string(port + 1));
    }

    // One 100 ms tick, then the notifications it posted, as the frame would.
    void Tick() {
        ++ticks;
        milliseconds += 100;
        if (milliseconds >= 1000) {
            milliseconds -= 1000;
            clock.Advance(1);
        }
        StepLinks(op.notifications.size());
        if (afterTick) afterTick();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
    // Ticks until the condition holds or the limit runs out; the ticks used.
    template <class Pred>
    int TickUntil(Pred pred, int limit = 2000) {
        for (int i = 1; i <= limit; ++i) {
            Tick();
            if (pred()) return i;
        }
        return -1;
    }

    ProgrammerState State() { return GetProgrammerState(data); }
    CommLinkData Link(int p) { return GetCommLinkData(data, p); }
    CommStatusData Status(int p) { return GetCommStatusData(data, p); }
    int BoxCount(const std::string& text) const {
        return static_cast<int>(
            std::count_if(op.boxes.begin(), op.boxes.end(), [&](auto& b) { return b.text == text; }));
    }
    bool BoxShown(const std::string& text) const { return BoxCount(text) > 0; }
    bool Prompted(const std::string& text) const {
        return std::any_of(op.prompts.begin(), op.prompts.end(), [&](auto& p) { return p.first == text; });
    }
    std::vector<std::string> LoggedLines() const { return {log.RecentTraffic().begin(), log.RecentTraffic().end()}; }

protected:
    // Steps the rig's links and handles the notifications posted from
    // op.notifications[before] on.
    virtual void StepLinks(std::size_t before) = 0;
};

class RecordingUi : public ProgrammerLinkUi {
public:
    std::vector<std::string> statusTexts;
    std::vector<std::string> searchMessages; // opened and changed texts, in order
    bool searchOpen = false;
    int connectionStatusShown = 0;
    int tagWindowReplaced = 0;

    void SetProgrammerStatus(const std::string& t) override { statusTexts.push_back(t); }
    void OpenSearchMessage(const std::string& t) override {
        searchMessages.push_back(t);
        searchOpen = true;
    }
    bool SearchMessageOpen() const override { return searchOpen; }
    void SetSearchMessageText(const std::string& t) override { searchMessages.push_back(t); }
    void CloseSearchMessage() override { searchOpen = false; }
    void ShowConnectionStatus() override { ++connectionStatusShown; }
    void ReplaceTagWindow() override { ++tagWindowReplaced; }
};

// How the scripted programmer answers: with this model line, or not at all.
struct ProgrammerScript {
    std::string modelLine = "#Model AP4118 Ver 1.07";
    bool silent = false;
};

// Makes the device answer like a programmer: status "#00", a program
// "#Done", a read one tag and "#Done", anything else "#Error".
inline void AnswerLikeProgrammer(FakeDevice& device, const ProgrammerScript& script) {
    device.onWrite = [script](FakeDevice& dev, const std::string& cmd) {
        if (script.silent) return;
        const std::string echo = cmd.substr(0, cmd.find('\r'));
        std::string out = echo + "\r\n";
        if (echo == "#30") out += script.modelLine + "\r\n";
        else if (echo == "#40") out += "#00\r\n";
        else if (echo.rfind("#201", 0) == 0 || echo.rfind("#204", 0) == 0) out += "#Done\r\n";
        else if (echo == "#211" || echo == "#214") out += "#0123456789ABCDEF0123456789ABCD\r\n#Done\r\n";
        else out += "#Error\r\n";
        dev.Send(out);
    };
}

class LinkRig : public FakeLinkRig {
public:
    RecordingUi ui;
    int connectionStatusPosted = 0;

    explicit LinkRig(CommPortFactory* other = nullptr, PortDeviceMap names = {})
        : FakeLinkRig(other, std::move(names)) {
        data.serial.programmerUi = &ui;
    }

    std::shared_ptr<FakeDevice> Programmer(int port, const ProgrammerScript& script = {}) {
        auto d = Device(port);
        AnswerLikeProgrammer(*d, script);
        return d;
    }

    // The programmer found on `port` through the known-port check.
    void ConnectOn(int port, const ProgrammerScript& script = {}) {
        ProgrammerState s = State();
        s.port = port;
        SetProgrammerState(data, s);
        Programmer(port, script);
        TickUntil([this] { return State().on == 1 && State().operationState == 0; }, 50);
    }

protected:
    // What a search's end posts is handled in the same tick.
    void StepLinks(std::size_t before) override {
        StepProgrammerLink(data, ports);
        for (std::size_t i = before; i < op.notifications.size(); ++i) {
            if (op.notifications[i] == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
            if (op.notifications[i] == kNotifyShowConnectionStatus) ++connectionStatusPosted;
        }
    }
};

} // namespace velmora::test
