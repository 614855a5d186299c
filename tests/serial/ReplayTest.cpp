// Every recorded exchange of tests/recordings replayed through the fake port
// and the fake clock: the link must write the recorded bytes and reach the
// recorded outcome.
#include "Replay.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

class ProgrammerReplay : public ::testing::TestWithParam<fs::path> {};
class ReaderReplay : public ::testing::TestWithParam<fs::path> {};

TEST_P(ProgrammerReplay, LinkWritesTheRecordedBytesAndReachesTheRecordedOutcome) {
    const Recording rec = LoadRecording(GetParam(), true);
    LinkRig rig;
    RecordingPlayer player(rec);
    player.Attach(*rig.Device(0));
    PlayProgrammer(rig, rec);
    player.ExpectPlayedThrough();
}

// Chunks before any write are the reader's own, sent once the port is open.
TEST_P(ReaderReplay, LinkWritesTheRecordedBytesAndReachesTheRecordedOutcome) {
    const Recording rec = LoadRecording(GetParam(), false);
    ReaderRig rig;
    auto dev = rig.Device(0);
    RecordingPlayer player(rec);
    player.Attach(*dev);
    PlayReader(rig, rec, [&] { player.SendChunks(*dev); });
    player.ExpectPlayedThrough();
}

INSTANTIATE_TEST_SUITE_P(Recordings, ProgrammerReplay, ::testing::ValuesIn(RecordingFiles("programmer")),
                         RecordingName);
INSTANTIATE_TEST_SUITE_P(Recordings, ReaderReplay, ::testing::ValuesIn(RecordingFiles("reader")), RecordingName);

} // namespace
} // namespace velmora::test
