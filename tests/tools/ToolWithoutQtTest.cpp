// velmora-tool starts without Qt: the dynamic loader lists no Qt library for
// it, so every subcommand starts without loading one (label hands its work to
// the label program beside it, which LabelToolTest runs).
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(ToolWithoutQt, TheLoaderListsNoQtLibrary) {
    test::TempDir dir;
    const test::CommandResult r =
        test::RunProgram("ldd", test::ShellQuote(test::BuiltProgram("velmora-tool")), dir.path().string());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("libc.so"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Qt"), std::string::npos) << r.out;
}

} // namespace
} // namespace velmora
