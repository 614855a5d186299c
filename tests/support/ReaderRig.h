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

// "SSP", an 8-character user ID, the date "MM/DD/YY", a blank, the time
// "hh:mm:ss", battery and three alarm levels (3 characters each) and the
// firmware version: the user ID at 3-10, the date at 11-18, " hh:mm:ss" at
// 19-27, the battery at 28-30, the levels at 31-39, the version from 40.
inline std::string SspText(const std::string& date = "03/14/26", const std::string& fw = "1.6") {
    return "SSP" + std::string("SHOP0001") + date + " 09:26:53" + "095" + "070" + "060" + "050" + fw;
}

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
    int messageCloses = 0;
    std::vector<std::string> rfTexts;
    bool rfOpen = false;
    int rfCloses = 0;
    std::vector<ReaderParameters> shown;

    void OpenReaderMessage(const std::string& t) override {
        messageOpen = true;
        messages.push_back(t);
    }
    bool ReaderMessageOpen() const override { return messageOpen; }
    void SetReaderMessageText(const std::string& t) override { messages.push_back(t); }
    void CloseReaderMessage() override {
        messageOpen = false;
        ++messageCloses;
    }
    void OpenRfReadStatus(const std::string& t) override {
        rfOpen = true;
        rfTexts.push_back(t);
    }
    bool RfReadStatusOpen() const override { return rfOpen; }
    void CloseRfReadStatus() override {
        rfOpen = false;
        ++rfCloses;
    }
    void ShowReaderParameters(const ReaderParameters& p) override { shown.push_back(p); }
};

// How the scripted reader answers an FSP.
struct ReaderScript {
    bool silent = false;
    bool ack = true;               // ACK before the SSP
    int answerFrom = 1;            // answers from this FSP on (2 = ignores the first)
    std::string ssp = SspText();
    std::string brokenFirst;       // an SSP sent first; after a NAK the good one follows
    std::size_t piece = 0;         // answers in pieces of this size (0 = whole)
};

inline void AnswerLikeReader(FakeDevice& dev, const ReaderScript& script) {
    auto fsps = std::make_shared<int>(0);
    dev.onWrite = [script, fsps](FakeDevice& d, const std::string& bytes) {
        if (script.silent) return;
        std::string out;
        if (bytes == Frame("FSP")) {
            if (++*fsps < script.answerFrom) return;
            if (script.ack) out += Frame("ACK");
            out += Frame(script.brokenFirst.empty() ? script.ssp : script.brokenFirst);
        } else if (bytes.rfind(Frame("NAK"), 0) == 0 && !script.brokenFirst.empty()) {
            out += Frame(script.ssp);
        }
        if (out.empty()) return;
        if (script.piece) d.SendInPieces(out, script.piece);
        else d.Send(out);
    };
}

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

    std::shared_ptr<FakeDevice> Reader(int port, const ReaderScript& script = {}) {
        auto d = Device(port);
        AnswerLikeReader(*d, script);
        return d;
    }

    void AssignReader(int port) {
        SettingsBlock s = data.GetSettings();
        s.readerPort = static_cast<uint8_t>(port);
        data.UpdateSettings(s);
    }

    int BoxCount(const std::string& text) const {
        int n = 0;
        for (const auto& b : op.boxes) n += b.text == text;
        return n;
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
