// What velmora-tool reader rfcheck says when the reader's port will not
// open: that the reader is disconnected and the system's reason for the
// open, each said once while the wait goes on.
#include "TestSupport.h"

#include "serial/ReaderProtocol.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class PortWillNotOpen : public ::testing::Test {
protected:
    void SetUp() override {
        if (BuiltProgram("velmora-tool").empty()) GTEST_SKIP() << "velmora-tool not built";
    }
    CommandResult Tool(const std::vector<std::string>& args) {
        std::string line;
        for (const auto& a : args) line += " " + ShellQuote(a);
        return RunProgram(BuiltProgram("velmora-tool"), line, dir.path().string());
    }
    TempDir dir;
    const std::string missing = dir.File("no-such-port");
};

TEST_F(PortWillNotOpen, RfCheckNamesThePortProblemOnce) {
    const CommandResult r =
        Tool({"reader", "rfcheck", "--verbose", "--timeout", "2", "--port", missing, "--format", "Railcar",
              "Equipment Initial=ABCD", "Car Number=42", "Side Indicator Code=RIGHT", "Length=50-0",
              "Number of Axles=4", "Bearing Type Code=1", "Platform Identifier Code=0"});
    EXPECT_EQ(r.exitCode, 11);
    EXPECT_EQ(Count(r.err, kRfReaderDisconnectedText), 1u) << r.err;
    EXPECT_EQ(Count(r.err, "Comm Port 1 (" + missing + "): No such file or directory\n"), 1u) << r.err;
    EXPECT_LE(Count(r.err, kRfReadStatusText), 1u) << r.err;
}

} // namespace
} // namespace velmora::test
