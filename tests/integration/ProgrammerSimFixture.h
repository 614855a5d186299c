// A GoogleTest fixture with one programmer simulator in a temporary folder:
// its tag file, control FIFO, device link and log are all in that folder.
#pragma once

#include "ProgrammerSimHarness.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

class ProgrammerSimTest : public ::testing::Test {
protected:
    // A full 30-digit frame and its first 15 digits (what a half frame keeps).
    static constexpr const char* kFrame = "0123456789ABCDEF0123456789ABCD";
    static constexpr const char* kHalf = "0123456789ABCDE";

    std::string TagFile() const { return dir.File("tag.txt"); }
    std::string ControlPath() const { return dir.File("sim.ctl"); }
    std::string LinkPath() const { return dir.File("com1"); }
    std::string LogPath() const { return dir.File("sim.log"); }
    std::string Log() const { return ReadTextFile(LogPath()); }

    // Starts the simulator with the folder's tag file, FIFO and link plus
    // extra arguments, and opens its port unless told not to.
    void Start(const std::vector<std::string>& extra = {}, bool openPort = true) {
        std::vector<std::string> args{"--tag-file", TagFile(), "--control", ControlPath(), "--link", LinkPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<ProgrammerSimProcess>(args, LogPath());
        ASSERT_TRUE(sim->Running()) << "cannot start " << ProgrammerSimBinary();
        if (!openPort) return;
        device = sim->NextDevicePath();
        ASSERT_FALSE(device.empty()) << "the simulator printed no device path; its log:\n" << Log();
        ASSERT_TRUE(port.Open(LinkPath())) << "cannot open " << LinkPath();
    }

    // Sends a command and expects exactly this answer, byte for byte, and
    // nothing after it.
    void ExpectAnswer(const std::string& command, const std::string& expected) {
        std::string got = port.Transact(command, expected.size());
        EXPECT_EQ(Visible(got), Visible(expected)) << "command " << Visible(command) << "\nsimulator log:\n" << Log();
        std::string extra = port.ReadFor(30);
        EXPECT_EQ(Visible(extra), "") << "bytes after the answer to " << Visible(command);
    }

    void Control(const std::string& command) {
        ASSERT_TRUE(WriteControl(ControlPath(), command)) << "cannot write to " << ControlPath();
    }

    void TearDown() override {
        port.Close();
        if (sim && sim->Running()) {
            int status = sim->Stop(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "simulator ended with status " << status;
        }
    }

    TempDir dir;
    std::unique_ptr<ProgrammerSimProcess> sim;
    SimSerialPort port;
    std::string device;
};

} // namespace velmora::test
