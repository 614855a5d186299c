// velmora-tool reader search|params|rfcheck against the reader simulator, as
// a technician runs it: outputs, exit status and the communication log.
#include "SimProcess.h"

namespace velmora::test {
namespace {

using ReaderTool = ReaderToolRig;

TEST_F(ReaderTool, SearchAndParams) {
    CommandResult r = Tool(Args{"reader", "search"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Port=COM1\nDevice=" + sim->Link() + "\n");
    EXPECT_NE(CommLog().find("C(1) portable R-- SSPTOOL01  03/14/26"), std::string::npos) << CommLog();

    ASSERT_TRUE(sim->Control("battery 081; alarms 041 031 021; firmware 1.6.2"));
    r = Tool(Args{"reader", "params"} + Port());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Port=COM1\nUser ID=TOOL01   03/14/26\nDate/Time= 09:26:53\nBattery=081\n"
                     "Battery Alarm Level 1=041\nBattery Alarm Level 2=031\nBattery Alarm Level 3=021\n"
                     "Firmware version=1.6.2\n");
}

TEST_F(ReaderTool, RfCheckJudgesTheReading) {
    const Args decimeters = {"--decimeters", "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42",
                             "Side Indicator Code=RIGHT", "Length=153"};
    const struct {
        const char* control;
        Args args;
        int exitCode;
        const char* reading; // nullptr: the output is not compared
        const char* result;
    } cases[] = {
        {"read", kRailcarArgs, 0, "ABCD 42,19,R,152,4,1,0", "agrees"},
        {"read old", kRailcarArgs, 9, "ABCD 42", "initial and number only"},
        {"read wrong length", kRailcarArgs, 10, "ABCD 42,19,R,154,4,1,0", "disagrees"},
        {"read", decimeters, 0, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        // Read before the tool opens the port: the reading waits for it.
        ASSERT_TRUE(sim->Control(c.control));
        const CommandResult r = Tool(Args{"reader", "rfcheck", "--timeout", "20"} + Port() + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.control << "\n" << r.err;
        if (!c.reading) continue;
        EXPECT_EQ(r.out, "Frame=" + kRailcar + "\nReading=" + c.reading + "\nResult=" + c.result + "\n") << c.control;
    }
    const CommandResult r = Tool(Args{"reader", "rfcheck", "--timeout", "1"} + Port() + kRailcarArgs);
    EXPECT_EQ(r.exitCode, 11);
    EXPECT_NE(r.err.find("No reading within 1 s"), std::string::npos) << r.err;
}

TEST_F(ReaderTool, UsageErrors) {
    for (const Args& args : {Args{}, Args{"probe"}, Args{"rfcheck", "--timeout", "0"} + Port() + kRailcarArgs,
                             Args{"rfcheck"} + Port()}) // the last without --format
        EXPECT_EQ(Tool(Args{"reader"} + args).exitCode, 1) << args.size();
    const CommandResult bad =
        Tool(Args{"reader", "rfcheck"} + Port() + Args{"--format", "Railcar", "Equipment Initial=12"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("The following fields are in error: Equipment Initial"), std::string::npos) << bad.err;
}

} // namespace
} // namespace velmora::test
