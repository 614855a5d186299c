// velmora-tool reader search|params|rfcheck against the reader simulator, as
// a technician runs it: outputs, exit status and the communication log.
#include "SimProcess.h"

namespace velmora::test {
namespace {

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
    } cases[] = {
        {"read", 0, "ABCD 42,19,R,152,4,1,0", "agrees"},
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
    // A refused value: the message is the frame arguments' (FramesToolTest).
    EXPECT_EQ(Tool(Args{"reader", "rfcheck"} + Port() + Args{"--format", "Railcar", "Equipment Initial=12"}).exitCode, 2);
}

} // namespace
} // namespace velmora::test
