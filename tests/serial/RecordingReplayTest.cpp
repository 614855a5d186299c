// Replays the recorded programmer exchanges of tests/recordings/programmer
// through the fake port (the file format is in Replay.h; a programmer's
// recordings may pull the cable with "! unplug").
#include "LinkRig.h"
#include "Replay.h"

#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

class Replay : public ::testing::TestWithParam<fs::path> {};

TEST_P(Replay, LinkWritesTheRecordedBytesAndReachesTheRecordedOutcome) {
    const Recording rec = LoadRecording(GetParam(), true);
    ASSERT_FALSE(rec.actions.empty());
    LinkRig rig;
    RecordingPlayer player(rec);
    player.Attach(*rig.Device(0));

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

    player.ExpectPlayedThrough();

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

INSTANTIATE_TEST_SUITE_P(Recordings, Replay, ::testing::ValuesIn(RecordingFiles("programmer")), RecordingName);

} // namespace
} // namespace velmora::test
