// velmora-tool programmer search|status|program|read against the simulator,
// as a technician runs it: outputs, exit status, the bytes the simulator
// received, and the communication log left in the working directory.
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

} // namespace
} // namespace velmora::test
