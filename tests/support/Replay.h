// Recorded device exchanges (tests/recordings/<device>), the one source of the
// link's exchange tests: the same files are replayed through the fake port
// and, against the simulators, over a pseudo-terminal. Each file lists what
// the link is asked to do ("do ..."), the bytes it must write ("> ...") and
// the device's answer chunks ("< ...", one read each; "! unplug" for a pulled
// cable where the device allows it), then the outcome ("expect key=value").
// "sim COMMANDS" are the simulator's control commands that give the same
// exchange ("sim-then" those for when the device speaks first); a file without
// them is for the fake port only. Bytes are written as in the simulators'
// logs: <CR>, <LF>, <xNN>.
#pragma once

#include "FakeCommPort.h"
#include "LinkRig.h"
#include "ReaderRig.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

struct DeviceStep {
    char kind; // '>' written by the link, '<' sent by the device, '!' unplug
    std::string bytes;
};

struct Recording {
    std::vector<std::string> actions;
    std::vector<DeviceStep> device;
    std::vector<std::string> expects;
    std::string sim, simThen; // how a simulator gives the same exchange
};

inline std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t close = text[i] == '<' ? text.find('>', i) : std::string_view::npos;
        const std::string_view name = close == std::string_view::npos ? "" : text.substr(i + 1, close - i - 1);
        if (name == "CR" || name == "LF") out += name == "CR" ? '\r' : '\n';
        else if (name.size() == 3 && name[0] == 'x')
            out += static_cast<char>(std::stoi(std::string(name.substr(1)), nullptr, 16));
        else {
            out += text[i];
            continue;
        }
        i = close;
    }
    return out;
}

// A line the harness cannot read (an unplug where none is allowed included)
// is a test failure.
inline Recording LoadRecording(const std::filesystem::path& path, bool unplugAllowed) {
    Recording r;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("do ", 0) == 0) r.actions.push_back(line.substr(3));
        else if (line.rfind("expect ", 0) == 0) r.expects.push_back(line.substr(7));
        else if (line.rfind("sim ", 0) == 0) r.sim = line.substr(4);
        else if (line.rfind("sim-then ", 0) == 0) r.simThen = line.substr(9);
        else if (line.rfind("> ", 0) == 0 || line.rfind("< ", 0) == 0)
            r.device.push_back({line[0], Unescape(line.substr(2))});
        else if (unplugAllowed && line == "! unplug") r.device.push_back({'!', ""});
        else ADD_FAILURE() << path << ": cannot read \"" << line << "\"";
    }
    return r;
}

// The recordings of one device, in name order.
inline std::vector<std::filesystem::path> RecordingFiles(const std::string& device, bool simOnly = false) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tests" / "recordings" / device)) {
        if (e.path().extension() != ".txt") continue;
        const Recording r = LoadRecording(e.path(), true);
        if (!simOnly || !r.sim.empty() || !r.simThen.empty()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The test's name: the file's stem with anything but letters and digits as _.
inline std::string RecordingName(const ::testing::TestParamInfo<std::filesystem::path>& info) {
    std::string name = info.param.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Plays the device side: every write must be the next "> " step; the chunks
// after it are sent (an unplug pulls the cable once they are read). A write
// out of turn is kept as a mismatch and answered with nothing.
class RecordingPlayer {
public:
    explicit RecordingPlayer(const Recording& rec) : rec_(rec) {}

    void Attach(FakeDevice& dev) {
        dev.onWrite = [this](FakeDevice& d, const std::string& written) {
            if (next_ >= rec_.device.size() || rec_.device[next_].kind != '>' || rec_.device[next_].bytes != written) {
                mismatches_.push_back(written);
                return;
            }
            ++next_;
            SendChunks(d);
        };
    }

    // Sends the device's chunks up to its next awaited write.
    void SendChunks(FakeDevice& d) {
        for (; next_ < rec_.device.size() && rec_.device[next_].kind != '>'; ++next_) {
            if (rec_.device[next_].kind == '<') d.Send(rec_.device[next_].bytes);
            else d.unplugWhenDrained = true;
        }
    }

    // Every write was awaited and the recording was played to its end.
    void ExpectPlayedThrough() const {
        EXPECT_TRUE(mismatches_.empty()) << "unexpected write: " << (mismatches_.empty() ? "" : mismatches_[0]);
        EXPECT_EQ(next_, rec_.device.size()) << "the recording was not played to its end";
    }

private:
    const Recording& rec_;
    std::size_t next_ = 0;
    std::vector<std::string> mismatches_;
};

// Checks "key=value" expectations (or a key alone): `got` holds values to
// match, `lists` texts of which one must match. Both devices share
// "seconds<" and "seconds>" (the last action took at most, at least that
// long), "log" (a logged line ends with the text), "log-count=TEXT=N" (N
// logged lines hold TEXT), "box" (a box showed the text), "status" (Comm
// Port 1's status text) and "port-closed".
inline void CheckExpectations(FakeLinkRig& rig, const Recording& rec, uint32_t secondsTaken,
                              std::map<std::string, std::string> got,
                              std::map<std::string, std::vector<std::string>> lists) {
    const auto lines = rig.LoggedLines();
    got.emplace("status", GetText(rig.Status(0).statusText));
    got.emplace("port-closed", rig.ports.IsOpen(0) ? "open" : "");
    for (const auto& b : rig.op.boxes) lists["box"].push_back(b.text);
    for (const std::string& e : rec.expects) {
        const std::size_t eq = e.find('=');
        const std::string key = e.substr(0, eq), value = eq == std::string::npos ? "" : e.substr(eq + 1);
        if (const auto it = got.find(key); it != got.end()) {
            EXPECT_EQ(it->second, value) << e;
        } else if (const auto list = lists.find(key); list != lists.end()) {
            EXPECT_NE(std::count(list->second.begin(), list->second.end(), value), 0) << e;
        } else if (key == "seconds<" || key == "seconds>") {
            EXPECT_EQ(key == "seconds<" ? secondsTaken <= std::stoul(value) : secondsTaken >= std::stoul(value), true)
                << e << " (took " << secondsTaken << " s)";
        } else if (key == "log") {
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](auto& l) { return l.ends_with(value); })) << e;
        } else if (key == "log-count") {
            const std::size_t last = value.rfind('=');
            const std::string part = Unescape(value.substr(0, last));
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& l) { return l.find(part) != std::string::npos; }),
                      std::stol(value.substr(last + 1)))
                << e;
        } else {
            ADD_FAILURE() << "unknown expectation " << e;
        }
    }
}

// The programmer link through a recording's actions ("search" from the
// start, "check" of the known port, "assume" it found, "status", "status-start"
// (sent, not waited for), "search-command", "program DIGITS", "read", "format
// N" to make format N the current one), then its expectations.
inline void PlayProgrammer(LinkRig& rig, const Recording& rec) {
    ASSERT_FALSE(rec.actions.empty());
    uint32_t actionStart = rig.clock.seconds;
    for (const std::string& action : rec.actions) {
        actionStart = rig.clock.seconds;
        ProgrammerState s = rig.State();
        if (action == "search") {
            rig.TickUntil([&] { return rig.State().searchStarted && rig.State().operationState == kOpIdle; }, 1000);
        } else if (action == "check") {
            s.port = 0;
            s.nextCheck = 0;
            SetProgrammerState(rig.data, s);
            rig.Tick();
            rig.TickUntil([&] { return rig.State().operationState == kOpIdle; }, 1000);
        } else if (action == "assume") {
            ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
            CommLinkData link = rig.Link(0);
            PrimeRingForNewLine(link);
            UpdateCommLinkData(rig.data, 0, link);
            s.port = 0;
            s.on = 1;
            s.nextCheck = rig.clock.seconds + kCheckInterval;
            SetProgrammerState(rig.data, s);
        } else if (action.rfind("format ", 0) == 0) {
            SettingsBlock st = rig.data.GetSettings();
            st.currentFormat = static_cast<uint8_t>(std::stoi(action.substr(7)));
            rig.data.UpdateSettings(st);
        } else if (action == "search-command") {
            SearchForProgrammer(rig.data);
            rig.TickUntil([&] { return rig.State().operationState == kOpSearch; }, 10);
            rig.TickUntil([&] { return rig.State().operationState == kOpIdle; }, 1000);
        } else if (action == "status-start") {
            s.nextCheck = 0;
            SetProgrammerState(rig.data, s);
            rig.TickUntil([&] { return rig.State().operationState == kOpStatusCheck; }, 10);
        } else if (action == "status") {
            s.nextCheck = 0;
            SetProgrammerState(rig.data, s);
            bool running = false;
            rig.TickUntil([&] {
                if (rig.State().operationState == kOpStatusCheck) running = true;
                return rig.State().on == 0 || (running && rig.State().operationState == kOpIdle);
            }, 1000);
        } else if (action.rfind("program ", 0) == 0 || action == "read") {
            const int before = rig.completions;
            ASSERT_TRUE(action == "read" ? RequestReadTag(rig.data) : RequestProgramTag(rig.data, action.substr(8)));
            ASSERT_GT(rig.TickUntil([&] { return rig.completions > before; }, 1000), 0) << action;
        } else {
            FAIL() << "unknown action " << action;
        }
    }
    const ProgrammerState s = rig.State();
    const auto text = [](const auto& field) { return std::string(GetText(field)); };
    const DecodedFrame frame = DecodeTagFrame(rig.data, GetText(s.response).substr(GetText(s.response).empty() ? 0 : 1),
                                          rig.data.HalfFrameMode(), rig.data.MarketRegion(), true);
    std::vector<std::string> prompts;
    for (const auto& p : rig.op.prompts) prompts.push_back(p.first);
    CheckExpectations(rig, rec, rig.clock.seconds - actionStart,
                      {{"on", std::to_string(s.on)},
                       {"result", std::to_string(s.operationResult)},
                       {"lastError", text(s.lastError)},
                       {"model", text(s.model)},
                       {"version", text(s.version)},
                       {"response", text(s.response)},
                       {"decoded", frame.identified ? std::string(rig.data.GetTagFormatData(frame.formatIndex).Name())
                                                    : "no frame"},
                       {"modelIndex", std::to_string(rig.data.GetSettings().programmerModel)},
                       {"tag-window-replaced", std::to_string(rig.ui.tagWindowReplaced)},
                       {"format", std::to_string(rig.data.GetSettings().currentFormat)},
                       {"status-bar", rig.ui.statusTexts.empty() ? "" : rig.ui.statusTexts.back()},
                       {"last-prompt", rig.op.LastPrompt()}},
                      {{"prompt", prompts}, {"search-message", rig.ui.searchMessages}});
}

// The reader link through a recording's actions ("params" from Comm Port 1,
// "params-search" with no port assigned, "search", "rfcheck", "tag-waits" for
// a programmed tag waiting for its RF check), then its expectations.
// speakFirst makes the device send what it sends unasked (the reading an RF
// check waits for).
inline void PlayReader(ReaderRig& rig, const Recording& rec, const std::function<void()>& speakFirst) {
    ASSERT_FALSE(rec.actions.empty());
    uint32_t actionStart = rig.clock.seconds;
    for (const std::string& action : rec.actions) {
        actionStart = rig.clock.seconds;
        const std::size_t handled = rig.handled.size();
        if (action == "params") {
            rig.AssignReader(0);
            ReadReaderParameters(rig.data);
            ASSERT_GT(rig.TickUntil([&] { return rig.handled.size() > handled; }, 1000), 0) << action;
        } else if (action == "params-search") {
            ReadReaderParameters(rig.data);
            ASSERT_GT(rig.TickUntil([&] { return rig.handled.size() > handled + 1; }, 1000), 0) << action;
        } else if (action == "tag-waits") {
            ProgrammerState s = rig.State();
            s.operationResult = 2;
            SetProgrammerState(rig.data, s);
        } else if (action == "search") {
            SearchForReader(rig.data);
            ASSERT_GT(rig.TickUntil([&] { return rig.handled.size() > handled; }, 1000), 0) << action;
        } else if (action == "rfcheck") {
            ProgramRfRailcar(rig.data);
            rig.AssignReader(0);
            CommLinkData r = rig.Link(0);
            r.reader.rfReadRequested = 1;
            UpdateCommLinkData(rig.data, 0, r);
            const int before = rig.completions;
            rig.Tick();
            ASSERT_EQ(rig.Link(0).awaitedResponse, kReaderTagReading);
            speakFirst();
            ASSERT_GT(rig.TickUntil([&] { return rig.completions > before; }, 1000), 0) << action;
        } else {
            FAIL() << "unknown action " << action;
        }
    }
    const ReaderParameters p = rig.ui.shown.empty() ? ReaderParameters{} : rig.ui.shown.back();
    const auto text = [](const auto& field) { return std::string(GetText(field)); };
    // A closed port is also let go by the link.
    const bool closed = !rig.ports.IsOpen(0) && rig.Link(0).deviceKind == kDeviceNone;
    CheckExpectations(rig, rec, rig.clock.seconds - actionStart,
                      {{"result", rig.completionResults.empty() ? "" : std::to_string(rig.completionResults.back())},
                       {"shown", std::to_string(rig.ui.shown.size())},
                       {"param.userIdFirst", text(p.userIdFirst)},
                       {"param.userIdSecond", text(p.userIdSecond)},
                       {"param.dateTime", text(p.dateTime)},
                       {"param.battery", text(p.battery)},
                       {"param.firmware", text(p.firmwareVersion)},
                       {"param.alarms", text(p.alarmLevel1) + " " + text(p.alarmLevel2) + " " + text(p.alarmLevel3)},
                       {"readerPort", std::to_string(AssignedReaderPort(rig.data))},
                       {"busy", std::to_string(rig.data.serial.readerBusy)},
                       {"boxes", std::to_string(rig.op.boxes.size())},
                       {"connection-status", std::to_string(rig.programmerUi.connectionStatusShown)},
                       {"port-closed", closed ? "" : "open"}},
                      {{"message", rig.ui.messages}});
}

} // namespace velmora::test
