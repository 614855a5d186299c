// velmora-tool umler load / find: exit codes, where the data file goes, and
// the shape of what is printed. Loading and finding are proven in tests/umler.
#include "ToolRig.h"

#include <filesystem>

namespace velmora::test {
namespace {

using UmlerTool = ToolRig;

const char* kTwoVehicles = " NS  001234T106089060B06540000\n"
                           " TTX 000007D3  050004Z6  77777\n";

TEST_F(UmlerTool, LoadThenFindInTheWorkingDirectory) {
    CommandResult r = Tool("umler find NS 1234"); // no data file at all
    EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err), std::tuple(4, "", "Cannot find car in UMLER.\n"));
    Write("Umler.txt", kTwoVehicles);
    r = Tool("umler load Umler.txt"); // no progress bar when standard error is not a terminal
    EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err), std::tuple(0, "2 records written, 0 lines out of order\n", ""));
    EXPECT_EQ(std::filesystem::file_size(dir.File("umlerdata.uml")), 42u);
    r = Tool("umler find ns 1234");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Vehicle ID=NS  001234\nType=T106\nAxles=10\nPlatform=12\nLength=89' 6\"\n"
                     "Tare Weight=65,400\nCapacity=\n");
    r = Tool("umler find N5 12");
    EXPECT_EQ(std::tuple(r.exitCode, r.err.find("Invalid vehicle number.") != std::string::npos), std::tuple(1, true));
    r = Tool("umler load missing.txt");
    EXPECT_EQ(std::tuple(r.exitCode, r.err.substr(0, 32)), std::tuple(2, "Could not open UMLER text file.\n"));
}

TEST_F(UmlerTool, DataOptionAndOutOfOrderExtract) {
    Write("a.txt", " TTX 000007D3  050004Z6  77777\n NS  001234T106089060B06540000\n");
    const CommandResult r = Tool("umler load a.txt --data other.uml");
    EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(3, "2 records written, 1 lines out of order\n"));
    EXPECT_NE(r.err.find("out of order"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("umlerdata.uml")));
    EXPECT_EQ(Tool("umler find --data=other.uml NS 1234").exitCode, 0);
}

} // namespace
} // namespace velmora::test
