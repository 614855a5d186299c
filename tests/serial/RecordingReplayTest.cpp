// Replays the recorded programmer exchanges of tests/recordings/programmer
// through the fake port. Each file lists what the link is asked to do ("do ..."), the
// bytes it must write ("> ...") and the device's answer chunks ("< ...", one
// read each, "! unplug" for a pulled cable), then the outcome ("expect ...").
// Bytes are written as in the simulator's log: <CR>, <LF>, <xNN>.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

struct DeviceStep {
    char kind; // '>' written by the link, '<' sent by the device, '!' unplug
    std::string bytes;
};

struct Recording {
    std::vector<std::string> actions;
    std::vector<DeviceStep> device;
    std::vector<std::string> expects;
};

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            const std::size_t close = text.find('>', i);
            if (close != std::string_view::npos) {
                const std::string_view name = text.substr(i + 1, close - i - 1);
                if (name == "CR") { out += '\r'; i = close; continue; }
                if (name == "LF") { out += '\n'; i = close; continue; }
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

Recording Load(const fs::path& path) {
    Recording r;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("do ", 0) == 0) r.actions.push_back(line.substr(3));
        else if (line.rfind("expect ", 0) == 0) r.expects.push_back(line.substr(7));
        else if (line.rfind("> ", 0) == 0) r.device.push_back({'>', Unescape(line.substr(2))});
        else if (line.rfind("< ", 0) == 0) r.device.push_back({'<', Unescape(line.substr(2))});
        else if (line == "! unplug") r.device.push_back({'!', ""});
        else ADD_FAILURE() << path << ": cannot read \"" << line << "\"";
    }
    return r;
}

std::vector<fs::path> RecordingFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tests" / "recordings" / "programmer"))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class Replay : public ::testing::TestWithParam<fs::path> {};

TEST_P(Replay, LinkWritesTheRecordedBytesAndReachesTheRecordedOutcome) {
    const Recording rec = Load(GetParam());
    ASSERT_FALSE(rec.actions.empty());
    LinkRig rig;
    auto dev = rig.Device(0);
    std::size_t next = 0;
    std::vector<std::string> mismatches;
    dev->onWrite = [&](FakeDevice& d, const std::string& written) {
        if (next >= rec.device.size() || rec.device[next].kind != '>' ||
            rec.device[next].bytes != written) {
            mismatches.push_back(written);
            return;
        }
        for (++next; next < rec.device.size() && rec.device[next].kind != '>'; ++next) {
            if (rec.device[next].kind == '<') d.Send(rec.device[next].bytes);
            else d.unplugWhenDrained = true;
        }
    };

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
            ASSERT_TRUE(action == "read" ? RequestReadTag(rig.data)
                                         : RequestProgramTag(rig.data, action.substr(8)));
            ASSERT_GT(rig.TickUntil([&] { return rig.completions > before; }, 1000), 0) << action;
        } else {
            FAIL() << "unknown action " << action;
        }
    }

    EXPECT_TRUE(mismatches.empty()) << "unexpected write: " << (mismatches.empty() ? "" : mismatches[0]);
    EXPECT_EQ(next, rec.device.size()) << "the recording was not played to its end";

    const ProgrammerState s = rig.State();
    for (const std::string& e : rec.expects) {
        const std::size_t eq = e.find('=');
        const std::string key = e.substr(0, eq == std::string::npos ? e.size() : eq);
        const std::string value = eq == std::string::npos ? "" : e.substr(eq + 1);
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
        else if (key == "seconds<") EXPECT_LE(rig.clock.seconds - actionStart, std::stoul(value)) << e;
        else if (key == "log") {
            const auto lines = rig.LoggedLines();
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
                return l.size() >= value.size() && l.compare(l.size() - value.size(), value.size(), value) == 0;
            })) << e;
        } else if (key == "log-count") {
            const std::size_t last = e.rfind('=');
            const std::string part = e.substr(eq + 1, last - eq - 1);
            const auto lines = rig.LoggedLines();
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& l) { return l.find(part) != std::string::npos; }),
                      std::stol(e.substr(last + 1)))
                << e;
        } else if (key == "decoded") {
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

INSTANTIATE_TEST_SUITE_P(Recordings, Replay, ::testing::ValuesIn(RecordingFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
} // namespace velmora::test
