// Replays the recorded reader exchanges of tests/recordings/reader through the
// fake port. Each file lists what the link is asked to do ("do params",
// "do search", "do rfcheck"), the bytes it must write ("> ...") and the
// reader's chunks ("< ...", one read each; chunks before any write are the
// reader's own, sent once the port is open), then the outcome
// ("expect ..."). Bytes are written as in the simulators' logs: <CR>, <LF>,
// <xNN>.
#include "ReaderRig.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

struct DeviceStep {
    char kind; // '>' written by the link, '<' sent by the reader
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
        else ADD_FAILURE() << path << ": cannot read \"" << line << "\"";
    }
    return r;
}

std::vector<fs::path> RecordingFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tests" / "recordings" / "reader"))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The railcar the RF checks compare with: ABCD 123456 LEFT 150 dm, 4, 1, 0.
void ProgrammedRailcar(ReaderRig& rig) {
    SettingsBlock s = rig.data.GetSettings();
    s.feetInches = 0;
    rig.data.UpdateSettings(s);
    LastTagRecord t;
    const char* texts[] = {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"};
    FieldTexts ft;
    for (int row = 0; row < 8; ++row) {
        t.SetFieldText(row, texts[row]);
        ft[static_cast<std::size_t>(row)] = texts[row];
    }
    t.SetFrameText(BuildTagFrame(rig.data.GetTagFormatData(0), ft, false, false).frameText);
    rig.data.UpdateLastTagRecord(t);
}

class ReaderReplay : public ::testing::TestWithParam<fs::path> {};

TEST_P(ReaderReplay, LinkWritesTheRecordedBytesAndReachesTheRecordedOutcome) {
    const Recording rec = Load(GetParam());
    ASSERT_FALSE(rec.actions.empty());
    ReaderRig rig;
    auto dev = rig.Device(0);
    std::size_t next = 0;
    std::vector<std::string> mismatches;
    auto sendChunks = [&](FakeDevice& d) {
        for (; next < rec.device.size() && rec.device[next].kind == '<'; ++next) d.Send(rec.device[next].bytes);
    };
    dev->onWrite = [&](FakeDevice& d, const std::string& written) {
        if (next >= rec.device.size() || rec.device[next].kind != '>' || rec.device[next].bytes != written) {
            mismatches.push_back(written);
            return;
        }
        ++next;
        sendChunks(d);
    };

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
            ProgrammedRailcar(rig);
            rig.AssignReader(0);
            CommLinkData r = rig.Link(0);
            r.reader.rfReadRequested = 1;
            UpdateCommLinkData(rig.data, 0, r);
            const int before = rig.completions;
            rig.Tick();
            ASSERT_EQ(rig.Link(0).awaitedResponse, kReaderTagReading);
            sendChunks(*dev);
            ASSERT_GT(rig.TickUntil([&] { return rig.completions > before; }, 1000), 0) << action;
        } else {
            FAIL() << "unknown action " << action;
        }
    }

    EXPECT_TRUE(mismatches.empty()) << "unexpected write: " << (mismatches.empty() ? "" : mismatches[0]);
    EXPECT_EQ(next, rec.device.size()) << "the recording was not played to its end";

    const ReaderParameters shown = rig.ui.shown.empty() ? ReaderParameters{} : rig.ui.shown.back();
    const auto lines = rig.LoggedLines();
    for (const std::string& e : rec.expects) {
        const std::size_t eq = e.find('=');
        const std::string key = e.substr(0, eq == std::string::npos ? e.size() : eq);
        const std::string value = eq == std::string::npos ? "" : e.substr(eq + 1);
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
        } else if (key == "seconds<") EXPECT_LE(rig.clock.seconds - actionStart, std::stoul(value)) << e;
        else if (key == "log") {
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
                return l.size() >= value.size() && l.compare(l.size() - value.size(), value.size(), value) == 0;
            })) << e;
        } else if (key == "log-count") {
            const std::size_t last = e.rfind('=');
            const std::string part = Unescape(e.substr(eq + 1, last - eq - 1));
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& l) { return l.find(part) != std::string::npos; }),
                      std::stol(e.substr(last + 1)))
                << e;
        } else {
            ADD_FAILURE() << "unknown expectation " << e;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Recordings, ReaderReplay, ::testing::ValuesIn(RecordingFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
} // namespace velmora::test
