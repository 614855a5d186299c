// The reader link (and the programmer link before it, as the frame's timer
// runs them) on fake ports and a fake clock, stepped tick by tick, with a
// scripted portable reader that answers FSP the way the real one does.
#pragma once

#include "LinkRig.h"

#include "serial/ReaderApi.h"
#include "serial/ReaderMessages.h"
#include "serial/ReaderProtocol.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "serial/TagReadingCheck.h"

#include <string>
#include <vector>

namespace velmora::test {

inline std::string Frame(const std::string& body) { return std::string(1, kSTX) + body + std::string(1, kETX); }

// The railcar the RF checks compare with, ABCD 123456 LEFT 150 dm, 4 axles,
// bearing 1, platform 0; its frame worked out from the bit layout.
inline constexpr const char* kRfRailcarFrame = "9A0181C78900961900000000000033";

// That railcar as the tag just programmed, lengths in decimeters.
inline void ProgramRfRailcar(AEIData& data) {
    SettingsBlock st = data.GetSettings();
    st.feetInches = 0;
    data.UpdateSettings(st);
    LastTagRecord t;
    t.formatIndex = 0;
    const char* texts[] = {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"};
    for (int row = 0; row < 8; ++row) t.SetFieldText(row, texts[row]);
    t.SetFrameText(kRfRailcarFrame);
    data.UpdateLastTagRecord(t);
}

class RecordingReaderUi : public ReaderLinkUi {
public:
    std::vector<std::string> messages; // reader message texts, opened and changed, in order
    bool messageOpen = false;
    std::vector<std::string> rfTexts;
    bool rfOpen = false;
    std::vector<ReaderParameters> shown;

    void OpenReaderMessage(const std::string& t) override {
        messages.push_back(t);
        messageOpen = true;
    }
    bool ReaderMessageOpen() const override { return messageOpen; }
    void SetReaderMessageText(const std::string& t) override { messages.push_back(t); }
    void CloseReaderMessage() override { messageOpen = false; }
    void OpenRfReadStatus(const std::string& t) override {
        rfTexts.push_back(t);
        rfOpen = true;
    }
    bool RfReadStatusOpen() const override { return rfOpen; }
    void CloseRfReadStatus() override { rfOpen = false; }
    void ShowReaderParameters(const ReaderParameters& p) override { shown.push_back(p); }
};

class ReaderRig : public FakeLinkRig {
public:
    RecordingReaderUi ui;
    RecordingUi programmerUi;
    std::vector<int> handled; // reader notifications handled, in order

    explicit ReaderRig(CommPortFactory* other = nullptr, PortDeviceMap names = {})
        : FakeLinkRig(other, std::move(names)) {
        data.serial.reader.ui = &ui;
        data.serial.programmerUi = &programmerUi;
        // The programmer link stays idle: it has searched already and found none.
        ProgrammerState st = GetProgrammerState(data);
        st.searchStarted = 1;
        st.nextCheck = 0xFFFFFFF0u;
        SetProgrammerState(data, st);
    }

    // The device on `port`, answering an FSP (from the answerFrom-th on) with
    // ACK and its parameters.
    std::shared_ptr<FakeDevice> Reader(int port, int answerFrom = 1) {
        auto d = Device(port);
        auto fsps = std::make_shared<int>(0);
        d->onWrite = [=](FakeDevice& dev, const std::string& bytes) {
            if (bytes == Frame("FSP") && ++*fsps >= answerFrom)
                dev.Send(Frame("ACK") + Frame("SSPSHOP000103/14/26 09:26:530950700600501.6"));
        };
        return d;
    }

    void AssignReader(int port) {
        SettingsBlock s = data.GetSettings();
        s.readerPort = static_cast<uint8_t>(port);
        data.UpdateSettings(s);
    }

protected:
    // Both links, in the frame's order. Handlers may post again; those wait
    // for the next tick, as posted messages wait for the message loop.
    void StepLinks(std::size_t before) override {
        StepProgrammerLink(data, ports);
        StepReaderLink(data, ports);
        const std::vector<int> posted(op.notifications.begin() + static_cast<long>(before), op.notifications.end());
        for (int code : posted) {
            if (code == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
            if (HandleReaderNotification(data, code)) handled.push_back(code);
        }
    }
};

} // namespace velmora::test
