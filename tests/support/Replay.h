// Recorded device exchanges (tests/recordings/<device>), the one source of the
// link's exchange tests: the same files are replayed through the fake port
// and, against the simulators, over a pseudo-terminal. Each file lists what
// the link is asked to do ("do ..."), the bytes it must write ("> ...") and
// the device's answer chunks ("< ...", one read each; "! unplug" for a pulled
// cable where the device allows it), then the outcome ("expect key=value").
// "sim COMMANDS" are the simulator's control commands that give the same
// exchange ("sim-then" those for when the device speaks first); a file without them is for the fake port only. Bytes are
// written as in the simulators' logs: <CR>, <LF>, <xNN>.
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
        if (text[i] == '<') {
            const std::size_t close = text.find('>', i);
            if (close != std::string_view::npos) {
                const std::string_view name = text.substr(i + 1, close - i - 1);
                if (name == "CR" || name == "LF") {
                    out += name == "CR" ? '\r' : '\n';
                    i = close;
                    continue;
                }
                if (name.size() == 3 && name[0] == 'x') {
                    out += static_cast<char>(std::stoi(std::string(name.substr(1)), nullptr, 16));
                    i = close;
                    continue;
                }
            }
        }
        out += text[i];
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
        else if (line.rfind("> ", 0) == 0) r.device.push_back({'>', Unescape(line.substr(2))});
        else if (line.rfind("< ", 0) == 0) r.device.push_back({'<', Unescape(line.substr(2))});
        else if (unplugAllowed && line == "! unplug") r.device.push_back({'!', ""});
        else ADD_FAILURE() << path << ": cannot read \"" << line << "\"";
    }
    return r;
}

// The recordings of one device, in name order.
inline std::vector<std::filesystem::path> RecordingFiles(const std::string& device, bool simOnly = false) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tests" / "recordings" / device))
        if (e.path().extension() == ".txt" &&
            (!simOnly || !LoadRecording(e.path(), true).sim.empty() || !LoadRecording(e.path(), true).simThen.empty()))
            files.push_back(e.path());
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
            if (next_ >= rec_.device.size() || rec_.device[next_].kind != '>' ||
                rec_.device[next_].bytes != written) {
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

// "key=value", or a key alone.
struct Expectation {
    std::string text;
    std::string key;
    std::string value;
    explicit Expectation(const std::string& e) : text(e) {
        const std::size_t eq = e.find('=');
        key = e.substr(0, eq == std::string::npos ? e.size() : eq);
        value = eq == std::string::npos ? "" : e.substr(eq + 1);
    }
};

// The expectations every device's recordings share: "seconds<" (the last
// action took at most that long), "log" (a logged line ends with the text)
// and "log-count=TEXT=N" (N logged lines hold TEXT). False for another key.
inline bool CheckSharedExpectation(const Expectation& x, const std::vector<std::string>& lines,
                                   uint32_t secondsTaken) {
    if (x.key == "seconds<") {
        EXPECT_LE(secondsTaken, std::stoul(x.value)) << x.text;
    } else if (x.key == "log") {
        const std::string& value = x.value;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.size() >= value.size() && l.compare(l.size() - value.size(), value.size(), value) == 0;
        })) << x.text;
    } else if (x.key == "log-count") {
        const std::size_t last = x.value.rfind('=');
        const std::string part = Unescape(x.value.substr(0, last));
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.find(part) != std::string::npos; }),
                  std::stol(x.value.substr(last + 1)))
            << x.text;
    } else {
        return false;
    }
    return true;
}

// The programmer link through a recording's actions ("check", "assume",
// "status", "program DIGITS", "read"), then its expectations.
inline void PlayProgrammer(LinkRig& rig, const Recording& rec) {
    ASSERT_FALSE(rec.actions.empty());
    uint32_t actionStart = rig.clock.seconds;
    for (const std::string& action : rec.actions) {
        actionStart = rig.clock.seconds;
        ProgrammerState s = rig.State();
        if (action == "check") {
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
    const auto lines = rig.LoggedLines();
    for (const std::string& e : rec.expects) {
        const Expectation x(e);
        const std::string& key = x.key;
        const std::string& value = x.value;
        if (CheckSharedExpectation(x, lines, rig.clock.seconds - actionStart)) continue;
        if (key == "on") EXPECT_EQ(s.on, std::stoi(value)) << e;
        else if (key == "result") EXPECT_EQ(s.operationResult, std::stoi(value)) << e;
        else if (key == "lastError") EXPECT_EQ(GetText(s.lastError), value) << e;
        else if (key == "model") EXPECT_EQ(GetText(s.model), value) << e;
        else if (key == "version") EXPECT_EQ(GetText(s.version), value) << e;
        else if (key == "response") EXPECT_EQ(GetText(s.response), value) << e;
        else if (key == "modelIndex") EXPECT_EQ(rig.data.GetSettings().programmerModel, std::stoi(value)) << e;
        else if (key == "prompt") EXPECT_TRUE(rig.Prompted(value)) << e;
        else if (key == "tag-window-replaced") EXPECT_EQ(rig.ui.tagWindowReplaced, std::stoi(value)) << e;
        else if (key == "port-closed") EXPECT_FALSE(rig.ports.IsOpen(0)) << e;
        else if (key == "decoded") {
            const std::string_view response = GetText(s.response);
            const DecodedFrame d = DecodeTagFrame(rig.data, response.substr(1), rig.data.HalfFrameMode(),
                                                  rig.data.MarketRegion(), true);
            ASSERT_TRUE(d.identified) << e;
            EXPECT_EQ(rig.data.GetTagFormatData(d.formatIndex).Name(), value) << e;
        } else {
            ADD_FAILURE() << "unknown expectation " << e;
        }
    }
}

// The reader link through a recording's actions ("params", "search",
// "rfcheck"), then its expectations. speakFirst makes the device send what it
// sends unasked (the reading an RF check waits for).
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
    const ReaderParameters shown = rig.ui.shown.empty() ? ReaderParameters{} : rig.ui.shown.back();
    const auto lines = rig.LoggedLines();
    for (const std::string& e : rec.expects) {
        const Expectation x(e);
        const std::string& key = x.key;
        const std::string& value = x.value;
        if (CheckSharedExpectation(x, lines, rig.clock.seconds - actionStart)) continue;
        if (key == "result") {
            ASSERT_FALSE(rig.completionResults.empty()) << e;
            EXPECT_EQ(rig.completionResults.back(), std::stoi(value)) << e;
        } else if (key == "shown") EXPECT_EQ(rig.ui.shown.size(), std::stoul(value)) << e;
        else if (key == "param.userIdFirst") EXPECT_EQ(GetText(shown.userIdFirst), value) << e;
        else if (key == "param.userIdSecond") EXPECT_EQ(GetText(shown.userIdSecond), value) << e;
        else if (key == "param.dateTime") EXPECT_EQ(GetText(shown.dateTime), value) << e;
        else if (key == "param.battery") EXPECT_EQ(GetText(shown.battery), value) << e;
        else if (key == "param.firmware") EXPECT_EQ(GetText(shown.firmwareVersion), value) << e;
        else if (key == "param.alarms")
            EXPECT_EQ(std::string(GetText(shown.alarmLevel1)) + " " + std::string(GetText(shown.alarmLevel2)) + " " +
                          std::string(GetText(shown.alarmLevel3)),
                      value)
                << e;
        else if (key == "box") EXPECT_TRUE(rig.BoxShown(value)) << e;
        else if (key == "status") EXPECT_EQ(GetText(rig.Status(0).statusText), value) << e;
        else if (key == "readerPort") EXPECT_EQ(AssignedReaderPort(rig.data), std::stoi(value)) << e;
        else if (key == "busy") EXPECT_EQ(rig.data.serial.readerBusy, std::stoi(value)) << e;
        else if (key == "port-closed") {
            EXPECT_FALSE(rig.ports.IsOpen(0)) << e;
            EXPECT_EQ(rig.Link(0).deviceKind, kDeviceNone) << e;
        } else {
            ADD_FAILURE() << "unknown expectation " << e;
        }
    }
}

} // namespace velmora::test
