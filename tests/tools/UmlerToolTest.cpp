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
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "Cannot find car in UMLER.\n");
    EXPECT_EQ(r.out, "");
    Write("Umler.txt", kTwoVehicles);
    r = Tool("umler load Umler.txt");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2 records written, 0 lines out of order\n");
    EXPECT_EQ(r.err, ""); // no progress bar when standard error is not a terminal
    EXPECT_EQ(std::filesystem::file_size(dir.File("umlerdata.uml")), 42u);
    r = Tool("umler find ns 1234");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Vehicle ID=NS  001234\nType=T106\nAxles=10\nPlatform=12\nLength=89' 6\"\n"
                     "Tare Weight=65,400\nCapacity=\n");
    EXPECT_EQ(Tool("umler find NS 1235").exitCode, 4);
    r = Tool("umler find N5 12");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Invalid vehicle number."), std::string::npos);
    r = Tool("umler load missing.txt");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, 32), "Could not open UMLER text file.\n");
    EXPECT_EQ(Tool("umler find NS 1234").exitCode, 0); // the register is still there
}

TEST_F(UmlerTool, DataOptionAndOutOfOrderExtract) {
    Write("a.txt", " TTX 000007D3  050004Z6  77777\n NS  001234T106089060B06540000\n");
    CommandResult r = Tool("umler load a.txt --data other.uml");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "2 records written, 1 lines out of order\n");
    EXPECT_NE(r.err.find("out of order"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("umlerdata.uml")));
    EXPECT_EQ(Tool("umler find --data=other.uml NS 1234").exitCode, 0);
    EXPECT_EQ(Tool("umler find NS 1234").exitCode, 4);
}

} // namespace
} // namespace velmora::test
