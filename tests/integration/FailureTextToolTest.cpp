// What velmora-tool reader rfcheck says when the reader's port will not
// open: that the reader is disconnected and the system's reason for the
// open, each said once while the wait goes on.
#include "SimProcess.h"

#include "serial/ReaderProtocol.h"

namespace velmora::test {
namespace {

using PortWillNotOpen = ToolRig;

TEST_F(PortWillNotOpen, RfCheckNamesThePortProblemOnce) {
    const std::string missing = dir.File("no-such-port");
    const CommandResult r =
        Tool(Args{"reader", "rfcheck", "--verbose", "--timeout", "2", "--port", missing} + kRailcarArgs);
    EXPECT_EQ(r.exitCode, 11);
    EXPECT_EQ(Count(r.err, kRfReaderDisconnectedText), 1u) << r.err;
    EXPECT_EQ(Count(r.err, "Comm Port 1 (" + missing + "): No such file or directory\n"), 1u) << r.err;
    EXPECT_LE(Count(r.err, kRfReadStatusText), 1u) << r.err;
}

} // namespace
} // namespace velmora::test
