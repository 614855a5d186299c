// A programmer link on fake ports and a fake clock, stepped tick by tick like
// the frame's 100 ms timer, plus a scripted programmer that answers the way
// the real one does (echo, then the answer lines, each ending CR LF).
#pragma once

#include "FakeLinkRig.h"

#include "serial/ProgrammerHooks.h"

#include <string>
#include <vector>

namespace velmora::test {

class RecordingUi : public ProgrammerLinkUi {
public:
    std::vector<std::string> statusTexts;
    std::vector<std::string> searchMessages; // opened and changed texts, in order
    bool searchOpen = false;
    int searchCloses = 0;
    int connectionStatusShown = 0;
    int tagWindowReplaced = 0;

    void SetProgrammerStatus(const std::string& t) override { statusTexts.push_back(t); }
    void OpenSearchMessage(const std::string& t) override {
        searchOpen = true;
        searchMessages.push_back(t);
    }
    bool SearchMessageOpen() const override { return searchOpen; }
    void SetSearchMessageText(const std::string& t) override { searchMessages.push_back(t); }
    void CloseSearchMessage() override {
        searchOpen = false;
        ++searchCloses;
    }
    void ShowConnectionStatus() override { ++connectionStatusShown; }
    void ReplaceTagWindow() override { ++tagWindowReplaced; }
};

// How the scripted programmer answers.
struct ProgrammerScript {
    std::string modelLine = "#Model AP4118 Ver 1.07";
    std::string statusCode = "00";
    bool silent = false;          // answers nothing
    bool noTag = false;           // program and read answer #Error
    bool programData = false;     // a data line before #Done
    std::string tag = "0123456789ABCDEF0123456789ABCD";
    std::size_t piece = 0;        // answers in pieces of this size (0 = whole)
};

// Installs a responder on the device that answers like a programmer.
inline void AnswerLikeProgrammer(FakeDevice& dev, const ProgrammerScript& script) {
    dev.onWrite = [script](FakeDevice& d, const std::string& cmd) {
        if (script.silent) return;
        std::string echo = cmd;
        if (!echo.empty() && echo.back() == '\r') echo.pop_back();
        std::string out = echo + "\r\n";
        if (echo == "#30") out += script.modelLine + "\r\n";
        else if (echo == "#40") out += "#" + script.statusCode + "\r\n";
        else if (echo.rfind("#201", 0) == 0 || echo.rfind("#204", 0) == 0) {
            if (script.noTag) out += "#Error\r\n";
            else {
                if (script.programData) out += "#" + echo.substr(4) + "\r\n";
                out += "#Done\r\n";
            }
        } else if (echo == "#211" || echo == "#214") {
            if (script.noTag) out += "#Error\r\n";
            else out += "#" + script.tag + "\r\n#Done\r\n";
        } else out += "#Error\r\n";
        if (script.piece) d.SendInPieces(out, script.piece);
        else d.Send(out);
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

    bool Prompted(const std::string& text) const {
        for (const auto& p : op.prompts)
            if (p.first == text) return true;
        return false;
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
