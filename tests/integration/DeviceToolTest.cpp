// velmora-tool programmer search|status|program|read and reader
// search|params|rfcheck against the simulators, as a technician runs them:
// outputs, exit status, the bytes the simulator received, and the
// communication log left in the working directory.
#include "SimProcess.h"

namespace velmora::test {
namespace {

class ProgrammerTool : public ToolOnSim<SimProcess> {
protected:
    Args SimArgs() const override { return {"--version", "3.14"}; }
};

TEST_F(ProgrammerTool, SearchStatusProgramAndRead) {
    CommandResult r = Tool(Args{"programmer", "search"} + Port());
    EXPECT_EQ(std::tuple(r.exitCode, r.out),
              std::tuple(0, "Port=COM1\nDevice=" + sim->Link() + "\nModel=AP4118\nVersion=3.14\n"));

    ASSERT_TRUE(sim->Control("status 0B"));
    r = Tool(Args{"programmer", "status"} + Port());
    EXPECT_TRUE(r.exitCode == 0 && r.out.find("Last Error=0B Bad Tag Parity\n") != std::string::npos) << r.out << r.err;

    ASSERT_TRUE(sim->Control("normal"));
    r = Tool(Args{"programmer", "program"} + Port() + kRailcarArgs);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Frame=" + kRailcar + "\nTag was successfully programmed\n");
    EXPECT_EQ(sim->Tag(), kRailcar);

    r = Tool(Args{"programmer", "read"} + Port());
    EXPECT_TRUE(r.exitCode == 0 && r.out.rfind("Railcar\nEquipment Initial=ABCD\nCar Number=42\n", 0) == 0) << r.out << r.err;
    // --search first follows the model it finds.
    ASSERT_TRUE(sim->Control("model AP4112"));
    r = Tool(Args{"programmer", "read", "--search"} + Port());
    EXPECT_TRUE(r.exitCode == 0 && r.out.rfind("ASCII Half Frame\n", 0) == 0) << r.out << r.err;
    EXPECT_NE(CommLog().find("T-- #214"), std::string::npos);
}

TEST_F(ProgrammerTool, FailuresGiveTheirExitCodeAndText) {
    Args badValue = Args{"programmer", "program"} + Port() + kRailcarArgs;
    badValue.back() = "Platform Identifier Code=99";
    const CommandResult bad = Tool(badValue);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("The following fields are in error: Platform Identifier Code"), std::string::npos);
    EXPECT_EQ(CommLog().find("T-- #201"), std::string::npos) << "a refused value sends nothing";

    const struct {
        const char* control;
        Args args;
        int exitCode;
        const char* err;
    } cases[] = {
        {"notag on", Args{"program"} + Port() + kRailcarArgs, 5, "Error - could not program tag"},
        // How long the wait lasts is the program-silent recording's (fake clock).
        {"silent on", Args{"program"} + Port() + kRailcarArgs, 6, "Error - could not program tag\nWatchDog Timer Expired\n"},
        {"tag clear", Args{"read"} + Port(), 5, "Error - could not read tag"},
        {"normal", {"search", "--port", dir.File("no-such-device")}, 4, "No such file or directory"},
        {"normal", Args{"program", "--port", dir.File("nothing")} + kRailcarArgs, 7, ""},
        {"normal", {"sing"}, 1, "velmora-tool programmer search"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sim->Control(std::string("normal; ") + c.control));
        const CommandResult r = Tool(Args{"programmer"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.control << " " << c.args[0];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

using ReaderTool = ReaderToolRig;

TEST_F(ReaderTool, SearchAndParams) {
    CommandResult r = Tool(Args{"reader", "search"} + Port());
    EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(0, "Port=COM1\nDevice=" + sim->Link() + "\n")) << r.err;
    EXPECT_NE(CommLog().find("C(1) portable R-- SSPTOOL01  03/14/26"), std::string::npos) << CommLog();

    ASSERT_TRUE(sim->Control("battery 081; alarms 041 031 021; firmware 1.6.2"));
    r = Tool(Args{"reader", "params"} + Port());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Port=COM1\nUser ID=TOOL01   03/14/26\nDate/Time= 09:26:53\nBattery=081\n"
                     "Battery Alarm Level 1=041\nBattery Alarm Level 2=031\nBattery Alarm Level 3=021\n"
                     "Firmware version=1.6.2\n");
}

TEST_F(ReaderTool, RfCheckJudgesTheReading) {
    const struct {
        const char* control;
        int exitCode;
        const char* reading;
        const char* result;
    } cases[] = { // agreeing: the replug test's
        {"read old", 9, "ABCD 42", "initial and number only"},
        {"read wrong length", 10, "ABCD 42,19,R,154,4,1,0", "disagrees"},
    };
    for (const auto& c : cases) {
        // Read before the tool opens the port: the reading waits for it.
        ASSERT_TRUE(sim->Control(c.control));
        const CommandResult r = Tool(Args{"reader", "rfcheck", "--timeout", "20"} + Port() + kRailcarArgs);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.control << "\n" << r.err;
        EXPECT_EQ(r.out, "Frame=" + kRailcar + "\nReading=" + c.reading + "\nResult=" + c.result + "\n") << c.control;
    }
    const CommandResult r = Tool(Args{"reader", "rfcheck", "--timeout", "1"} + Port() + kRailcarArgs);
    EXPECT_EQ(std::tuple(r.exitCode, r.err.find("No reading within 1 s") != std::string::npos), std::tuple(11, true)) << r.err;
}

TEST_F(ReaderTool, UsageErrors) {
    for (const Args& args : {Args{}, Args{"probe"}, Args{"rfcheck", "--timeout", "0"} + Port() + kRailcarArgs,
                             Args{"rfcheck"} + Port()}) // the last without --format
        EXPECT_EQ(Tool(Args{"reader"} + args).exitCode, 1) << args.size();
    // A refused value: the message is the frame arguments' (ToolCommandsTest).
    EXPECT_EQ(Tool(Args{"reader", "rfcheck"} + Port() + Args{"--format", "Railcar", "Equipment Initial=12"}).exitCode, 2);
}

} // namespace
} // namespace velmora::test
