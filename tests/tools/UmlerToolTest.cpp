// velmora-tool umler load / find, run as the operator runs them: the built
// binary in a scratch working directory, exit code and both output streams.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>

namespace velmora {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class UmlerTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(ToolPath())) GTEST_SKIP() << "build velmora-tool first: " << ToolPath();
    }
    static std::string ToolPath() { return std::string(VELMORA_BINARY_DIR) + "/velmora-tool"; }

    // Runs the tool with `args` (already quoted) in the scratch directory.
    ToolRun Tool(const std::string& args) {
        const std::string cmd = "cd '" + dir.path().string() + "' && '" + ToolPath() + "' " + args + " >'" +
                                dir.File("stdout") + "' 2>'" + dir.File("stderr") + "' </dev/null";
        int status = std::system(cmd.c_str());
        ToolRun r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(dir.File("stdout"));
        r.err = Slurp(dir.File("stderr"));
        return r;
    }
    void Extract(const std::string& name, const std::string& text) {
        std::ofstream(dir.File(name), std::ios::binary) << text;
    }

    test::TempDir dir;
};

const char* kTwoVehicles = " NS  001234T106089060B06540000\n"
                           " TTX 000007D3  050004Z6  77777\n";

TEST_F(UmlerTool, NotFoundIsExit4WithTheMessageOnStandardError) {
    ToolRun r = Tool("umler find NS 1234"); // no data file at all
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "Cannot find car in UMLER.\n");
    EXPECT_EQ(r.out, "");

    Extract("Umler.txt", kTwoVehicles);
    ASSERT_EQ(Tool("umler load Umler.txt").exitCode, 0);
    r = Tool("umler find NS 1235");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "Cannot find car in UMLER.\n");
}

TEST_F(UmlerTool, LoadThenFindInTheWorkingDirectory) {
    Extract("Umler.txt", kTwoVehicles);
    ToolRun r = Tool("umler load Umler.txt");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2 records written, 0 lines out of order\n");
    EXPECT_EQ(r.err, ""); // no progress bar when standard error is not a terminal
    EXPECT_EQ(std::filesystem::file_size(dir.File("umlerdata.uml")), 42u);

    r = Tool("umler find ns 1234");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Vehicle ID=NS  001234\nType=T106\nAxles=10\nPlatform=12\nLength=89' 6\"\n"
                     "Tare Weight=65,400\nCapacity=\n");
    r = Tool("umler find TTX 000007");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Vehicle ID=TTX 000007\nType=D3  \nAxles=6\nPlatform=0\nLength=50' 0\"\n"
                     "Tare Weight=\nCapacity=\n");
}

TEST_F(UmlerTool, DataOption) {
    Extract("a.txt", kTwoVehicles);
    ASSERT_EQ(Tool("umler load a.txt --data other.uml").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("umlerdata.uml")));
    EXPECT_EQ(Tool("umler find --data=other.uml TTX 7").exitCode, 0);
    EXPECT_EQ(Tool("umler find TTX 7").exitCode, 4);
}

TEST_F(UmlerTool, OutOfOrderExtractIsReported) {
    Extract("Umler.txt", " TTX 000007D3  050004Z6  77777\n NS  001234T106089060B06540000\n");
    ToolRun r = Tool("umler load Umler.txt");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, "2 records written, 1 lines out of order\n");
    EXPECT_NE(r.err.find("out of order"), std::string::npos);
}

TEST_F(UmlerTool, BadInput) {
    ToolRun r = Tool("umler find N5 12");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Invalid vehicle number."), std::string::npos);
    EXPECT_EQ(Tool("umler find NS").exitCode, 1);
    EXPECT_EQ(Tool("umler frobnicate").exitCode, 1);

    Extract("Umler.txt", kTwoVehicles);
    ASSERT_EQ(Tool("umler load Umler.txt").exitCode, 0);
    r = Tool("umler load missing.txt");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, 32), "Could not open UMLER text file.\n");
    EXPECT_EQ(Tool("umler find NS 1234").exitCode, 0); // the register is still there
}

} // namespace
} // namespace velmora
