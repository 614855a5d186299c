// velmora-tool formats / encode / decode / options, run as a shop's scripts
// run them. The expected frames are golden frames worked out by hand.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::CommandResult;
using test::ShellQuote;

class FramesTool : public ::testing::Test {
protected:
    CommandResult Tool(const std::vector<std::string>& args) {
        std::string line;
        for (const auto& a : args) line += ShellQuote(a) + " ";
        return test::RunProgram(test::BuiltProgram("velmora-tool"), line, dir.path().string());
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }
    test::TempDir dir;
};

struct EncodeCase {
    const char* name;
    std::vector<std::string> args;
    const char* frame;
};

// The switches reach the encoder; the golden frame of every built-in is
// proven in tests/tagdata.
TEST_F(FramesTool, EncodeTakesTheUnitRegionAndModeSwitches) {
    const std::vector<EncodeCase> cases = {
        {"railcar decimeters",
         {"--decimeters", "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42",
          "Side Indicator Code=RIGHT", "Length=610", "Number of Axles=4", "Bearing Type Code=1",
          "Platform Identifier Code=0"},
         "9A0181C000AA621900000008000033"},
        {"rail wagon of the Australian set",
         {"--region", "australia", "--decimeters", "--format", "Rail Wagon", "Vehicle Class=ABCD",
          "Vehicle Number=42", "Side Indicator Code=RIGHT", "Length=610", "Owner's ID=Q"},
         "9A0181C000AA621908000008000033"},
        {"hex half frame",
         {"--half-frame", "--format", "Hex Half Frame ", "Charcters 1 to 10=0123456789",
          "Charcters 11 to 15=ABCDE"},
         "0123456789ABCDE000000000000000"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"encode"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CommandResult r = Tool(args);
        SCOPED_TRACE(c.name);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_EQ(lines[0], c.frame);
        EXPECT_EQ(lines[1].rfind("Raw Data  ASCII [", 0), 0u) << lines[1];
        EXPECT_NE(lines[1].find(std::string("]  Hex [") + c.frame + "]"), std::string::npos) << lines[1];
    }
}

TEST_F(FramesTool, RawDataLineShowsSixBitCharacters) {
    CommandResult r = Tool({"encode", "--format", "ASCII", "Characters 1 to 10=HELLO WORL",
                            "Characters 11 to 20=D 01234567"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(Lines(r.out).at(1),
              "Raw Data  ASCII [HELLO WORLD 01234567]  Hex [A25B2CBC0DEFCAC900411493515597]");
}

TEST_F(FramesTool, ValueCheckFailureNamesTheFieldsInRowOrder) {
    CommandResult r = Tool({"encode", "--format", "Railcar", "Equipment Initial=ABCD", "Car Number=1000000",
                            "Length=40-12", "Number of Axles=0"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "The following fields are in error: Car Number, Length, Number of Axles\n");
}

TEST_F(FramesTool, DecodeShowsTheFieldsTheFormShows) {
    CommandResult r = Tool({"decode", "9a0181c000aa621900000008000033"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Railcar\n"
              "Equipment Initial=ABCD\n"
              "Car Number=42\n"
              "Side Indicator Code=RIGHT\n"
              "Length=200-04\n" // 610 dm = 2404 inches
              "Number of Axles=4\n"
              "Bearing Type Code=1\n"
              "Platform Identifier Code=0\n");
    r = Tool({"decode", "--decimeters", "9A0181C000AA621900000008000033"});
    EXPECT_NE(r.out.find("Length=610\n"), std::string::npos) << r.out;
}

TEST_F(FramesTool, DecodeTellsWhenAFrameIsNotIdentified) {
    for (const char* frame : {"0123456789ABCDEF0123456789ABCD"}) {
        CommandResult r = Tool({"decode", frame});
        SCOPED_TRACE(frame);
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "not identified\n");
    }
}

TEST_F(FramesTool, FormatsFollowModeAndRegion) {
    CommandResult r = Tool({"formats"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(Lines(r.out).size(), 6u);
    EXPECT_EQ(Lines(r.out).at(0), "0\tRailcar\tequipment=19\tformat=51\ttag-type=2");
    r = Tool({"formats", "--half-frame"});
    EXPECT_EQ(r.out, "0\tASCII Half Frame\tequipment=0\tformat=0\ttag-type=2\n"
                     "1\tHex Half Frame \tequipment=0\tformat=99\ttag-type=2\n");
    r = Tool({"formats", "--region", "sara"});
    EXPECT_EQ(Lines(r.out).at(4), "4\tSARA\tequipment=0\tformat=99\ttag-type=2");
}

TEST_F(FramesTool, OptionsResetWritesAWholeDefaultFile) {
    CommandResult r = Tool({"options", "reset", "--options", "opts.ads"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFileBytes(dir.File("opts.ads")).size(), 51652u); // its bytes: tests/data
    r = Tool({"options", "show", "--options", "opts.ads"});
    ASSERT_EQ(r.exitCode, 0);
    for (const char* line : {"lengths_in_feet_inches=1\n", "label_printing_on=1\n", "log_file_on=1\n",
                             "automatic_umler_check=1\n", "automatic_rf_check=0\n", "current_format=0\n",
                             "programmed_by_company=Unknown\n", "certification_initial=XXXX\n",
                             "reader_port=none\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST_F(FramesTool, OptionsSetChangesOnlyTheNamedSettings) {
    CommandResult r = Tool({"options", "set", "--options", "o.ads", "programmer_port=COM1", "reader_port=COM2",
                            "automatic_rf_check=1", "programmed_by_company=Shop 7", "label_printer=PDF file"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFileBytes(dir.File("o.ads")).size(), 51652u);
    r = Tool({"options", "show", "--options", "o.ads"});
    for (const char* line : {"programmer_port=COM1\n", "reader_port=COM2\n", "automatic_rf_check=1\n",
                             "programmed_by_company=Shop 7\n", "automatic_umler_check=1\n", "label_printer=PDF file\n",
                             "version_text=1.4D North America\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    // Refused values leave the file as it was.
    const auto before = test::ReadFileBytes(dir.File("o.ads"));
    for (const char* bad : {"reader_port=COM5", "automatic_rf_check=2", "current_format=39", "day_of_year=4",
                            "no_such_setting=1", "programmed_by_company=123456789012345678901234567890123456",
                            "label_printer=a printer name of thirty-two chars", "label_printer=tab\there"})
        EXPECT_EQ(Tool({"options", "set", "--options", "o.ads", bad}).exitCode, 1) << bad;
    EXPECT_EQ(test::ReadFileBytes(dir.File("o.ads")), before);
}

TEST_F(FramesTool, AnOptionsFileThatCannotBeUsedIsRefused) {
    test::WriteFileBytes(dir.File("junk.ads"), std::vector<uint8_t>(100, 7));
    EXPECT_EQ(Tool({"formats", "--options", "junk.ads"}).exitCode, 1);
    EXPECT_EQ(Tool({"formats", "--options", "missing.ads"}).exitCode, 1);
}

TEST_F(FramesTool, WrongArgumentsGiveUsageAndExitOne) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"encode"},
             {"encode", "--format", "No Such Format"},
             {"encode", "--format", "Railcar", "Wheel Count=4"},
             {"encode", "--format", "Railcar", "Car Number"},
             {"encode", "--format", "Railcar", "--region", "mars"},
             {"decode"},
             {"decode", "--bogus", "9A"},
             {"options", "reset"},
         }) {
        CommandResult r = Tool(args);
        EXPECT_EQ(r.exitCode, 1) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace velmora
