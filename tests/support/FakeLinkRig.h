// What the programmer and reader rigs share: the application data on fake
// ports and a fake clock, stepped tick by tick like the frame's 100 ms timer,
// with the completions of programmer operations and the operator's texts.
#pragma once

#include "FakeCommPort.h"
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

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
    int ticks = 0; // ticks run so far
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

    bool BoxShown(const std::string& text) const {
        for (const auto& b : op.boxes)
            if (b.text == text) return true;
        return false;
    }
    std::vector<std::string> LoggedLines() const {
        return {log.RecentTraffic().begin(), log.RecentTraffic().end()};
    }

protected:
    // Steps the rig's links and handles the notifications posted from
    // op.notifications[before] on.
    virtual void StepLinks(std::size_t before) = 0;
};

} // namespace velmora::test
