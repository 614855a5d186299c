// Replays the recorded reader exchanges of tests/recordings/reader through the
// fake port (the file format is in Replay.h). The actions are "do params",
// "do search" and "do rfcheck"; chunks before any write are the reader's own,
// sent once the port is open.
#include "ReaderRig.h"
#include "Replay.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

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
    const Recording rec = LoadRecording(GetParam(), false);
    ASSERT_FALSE(rec.actions.empty());
    ReaderRig rig;
    auto dev = rig.Device(0);
    RecordingPlayer player(rec);
    player.Attach(*dev);

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
            player.SendChunks(*dev);
            ASSERT_GT(rig.TickUntil([&] { return rig.completions > before; }, 1000), 0) << action;
        } else {
            FAIL() << "unknown action " << action;
        }
    }

    player.ExpectPlayedThrough();

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

INSTANTIATE_TEST_SUITE_P(Recordings, ReaderReplay, ::testing::ValuesIn(RecordingFiles("reader")), RecordingName);

} // namespace
} // namespace velmora::test
