// velmora-tool formats / encode / decode / options / umler: what the tool adds
// over the core (switches, exit codes, where files go, the shape of its
// output). The frames, the options file's bytes, loading and finding in the
// register are proven in tests/tagdata, tests/data and tests/umler.
#include "ToolRig.h"

#include <filesystem>

namespace velmora::test {
namespace {

using FramesTool = ToolRig;

TEST_F(FramesTool, EncodeTakesTheUnitRegionAndModeSwitches) {
    EXPECT_EQ(Tool("encode --region australia --decimeters --format 'Rail Wagon' 'Vehicle Class=ABCD' 'Vehicle Number=42' "
                   "'Side Indicator Code=RIGHT' Length=610 \"Owner's ID=Q\"").out.substr(0, 31),
              "9A0181C000AA621908000008000033\n");
    EXPECT_EQ(Tool("encode --half-frame --format 'Hex Half Frame ' 'Charcters 1 to 10=0123456789' "
                   "'Charcters 11 to 15=ABCDE'").out.substr(0, 31),
              "0123456789ABCDE000000000000000\n");
    // The second line shows the frame's bytes as text and digits.
    const CommandResult r = Tool(std::vector<std::string>{
        "encode", "--format", "ASCII", "Characters 1 to 10=HELLO WORL", "Characters 11 to 20=D 01234567"});
    EXPECT_EQ(r.out, "A25B2CBC0DEFCAC900411493515597\n"
                     "Raw Data  ASCII [HELLO WORLD 01234567]  Hex [A25B2CBC0DEFCAC900411493515597]\n");
}

TEST_F(FramesTool, ExitCodesAndMessagesOfEncodeAndDecode) {
    CommandResult r = Tool(std::vector<std::string>{"encode", "--format", "Railcar", "Equipment Initial=ABCD",
                                                    "Car Number=1000000", "Length=40-12", "Number of Axles=0"});
    EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err),
              std::tuple(2, "", "The following fields are in error: Car Number, Length, Number of Axles\n"));
    r = Tool("decode 0123456789ABCDEF0123456789ABCD");
    EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err), std::tuple(3, "", "not identified\n"));
    r = Tool("decode 9a0181c000aa621900000008000033");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Railcar\nEquipment Initial=ABCD\nCar Number=42\nSide Indicator Code=RIGHT\n"
                     "Length=200-04\nNumber of Axles=4\nBearing Type Code=1\nPlatform Identifier Code=0\n");
    EXPECT_NE(Tool("decode --decimeters 9A0181C000AA621900000008000033").out.find("Length=610\n"), std::string::npos);
}

// The mode switch is encode's (the switches are parsed once for every command).
TEST_F(FramesTool, FormatsFollowTheRegion) {
    const auto formats = Lines(Tool("formats").out);
    ASSERT_EQ(formats.size(), 6u);
    EXPECT_EQ(formats[0], "0\tRailcar\tequipment=19\tformat=51\ttag-type=2");
    EXPECT_EQ(Lines(Tool("formats --region sara").out).at(4), "4\tSARA\tequipment=0\tformat=99\ttag-type=2");
}

TEST_F(FramesTool, OptionsResetSetAndShow) {
    ASSERT_EQ(Tool("options reset --options opts.ads").exitCode, 0);
    const auto shows = [&](const char* file, std::vector<const char*> lines) {
        const CommandResult r = Tool(std::string("options show --options ") + file);
        ASSERT_EQ(r.exitCode, 0);
        for (const char* line : lines) EXPECT_NE(r.out.find(line), std::string::npos) << line;
    };
    shows("opts.ads", {"lengths_in_feet_inches=1\n", "automatic_rf_check=0\n", "current_format=0\n",
                       "programmed_by_company=Unknown\n", "reader_port=none\n"});
    ASSERT_EQ(Tool("options set --options o.ads programmer_port=COM1 reader_port=COM2 automatic_rf_check=1 "
                   "'programmed_by_company=Shop 7' 'label_printer=PDF file'").exitCode, 0);
    shows("o.ads", {"programmer_port=COM1\n", "reader_port=COM2\n", "automatic_rf_check=1\n", "programmed_by_company=Shop 7\n",
                    "automatic_umler_check=1\n", "label_printer=PDF file\n", "version_text=1.4D North America\n"});
    // Refused values leave the file as it was.
    const auto before = ReadFileBytes(dir.File("o.ads"));
    for (const char* bad : {"reader_port=COM5", "automatic_rf_check=2", "current_format=39", "day_of_year=4",
                            "no_such_setting=1", "programmed_by_company=123456789012345678901234567890123456",
                            "label_printer=a printer name of thirty-two chars", "label_printer=tab\there"})
        EXPECT_EQ(Tool(std::vector<std::string>{"options", "set", "--options", "o.ads", bad}).exitCode, 1) << bad;
    EXPECT_EQ(ReadFileBytes(dir.File("o.ads")), before);
    Write("junk.ads", std::string(100, '\7'));
    EXPECT_EQ(Tool("formats --options junk.ads").exitCode, 1);
    EXPECT_EQ(Tool("formats --options missing.ads").exitCode, 1);
}

TEST_F(FramesTool, WrongArgumentsGiveUsageAndExitOne) {
    for (const char* args :
         {"", "frobnicate", "encode", "encode --format 'No Such Format'", "encode --format Railcar 'Wheel Count=4'",
          "encode --format Railcar 'Car Number'", "encode --format Railcar --region mars", "decode", "decode --bogus 9A",
          "options reset", "umler frobnicate", "umler find NS"}) {
        const CommandResult r = Tool(std::string(args));
        EXPECT_TRUE(r.exitCode == 1 && r.err.find("usage:") != std::string::npos) << args << ": " << r.err;
    }
}

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
