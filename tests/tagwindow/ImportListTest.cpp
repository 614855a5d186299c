// Fleet lists: how a list's text becomes checked lines. The railcar ABCD 42, RIGHT, 50-0 with the default axles,
// bearing and platform is the frame 9A0181C000AA981900000000000033 the programmer simulator records for that car.
#include "TestSupport.h"

#include "data/AEIData.h"
#include "tagwindow/ImportList.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

constexpr const char* kAbcd42 = "9A0181C000AA981900000000000033";
constexpr int kRailcar = 0;

struct ListCase {
    const char* name;
    std::string text;
    char delimiter;
    bool header;
    const char* listError; // "" when the list is usable
    // Per line: its frame, "refused:<part of the reason>", or "locomotive": waiting, on the locomotive format.
    std::vector<std::string> states;
};

class ImportListRead : public ::testing::Test {
protected:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};

    ImportList Read(const std::string& text, char delimiter = ',', bool header = false) {
        ImportListOptions o;
        o.delimiter = delimiter, o.header = header, o.formatIndex = kRailcar;
        return ReadImportList(data, text, o);
    }
};

TEST_F(ImportListRead, ListsAsTheyComeIn) {
    const std::string longLine(kImportLineMax + 1, 'A');
    const ListCase cases[] = {
        {"form order, missing columns take defaults", "ABCD,42,RIGHT,50-0\n", ',', false, "", {kAbcd42}},
        {"semicolons, CR LF, blank lines", "\r\nABCD;42;RIGHT;50-0;4;1;0\r\n  \r\n", ';', false, "", {kAbcd42}},
        {"tabs", "ABCD\t42\tRIGHT\t50-0", '\t', false, "", {kAbcd42}},
        {"quoted fields", "\"ABCD\", \"42\" ,RIGHT,\"50-0\"\n\"ABCD\",\"4\"\"2\",RIGHT,\"50-0\"\n\"AB,CD\",42,RIGHT,50-0\n",
         ',', false, "", {kAbcd42, "refused:Car Number", "refused:Equipment Initial"}},
        {"header in another order", "Length,Car Number,Side Indicator Code,Equipment Initial\n50-0,42,RIGHT,ABCD\n",
         ',', true, "", {kAbcd42}},
        {"header with a Format column",
         "Format,Equipment Initial,Car Number,Locomotive Number,Side Indicator Code,Length\n"
         "Railcar,ABCD,42,,RIGHT,50-0\nLocomotive,ABCD,,42,RIGHT,50-0\nRailcar,ABCD,42,7,RIGHT,50-0\nBoxcar,ABCD\n",
         ',', true, "", {kAbcd42, "locomotive", "refused:no field \"Locomotive Number\"",
                         "refused:no tag format named \"Boxcar\""}},
        {"another format's columns", "Equipment Initial,Locomotive Number\nABCD,42\n", ',', true,
         "The column \"Locomotive Number\" is not a field of the format \"Railcar\".", {}},
        {"a column named twice", "Car Number,Car Number\n1,2\n", ',', true, "named twice", {}},
        {"too many fields", "ABCD,42,RIGHT,50-0,4,1,0,9\n", ',', false, "", {"refused:8 fields"}},
        {"a field longer than the form takes", "ABCD," + std::string(29, '0') + "42,RIGHT,50-0\n", ',', false, "",
         {"refused:\"Car Number\" is longer than 30"}},
        {"an over-long line", longLine + "\nABCD,42,RIGHT,50-0\n", ',', false, "",
         {"refused:longer than 2000", kAbcd42}},
        {"values in error", "ABCD,4x,RIGHT,50-0,33\n", ',', false, "",
         {"refused:The following fields are in error: Car Number, Number of Axles"}},
        {"nothing but the header", "Car Number\n\n", ',', true, "", {}},
        {"nothing at all", "\n \n", ',', true, "The list is empty.", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportList list = Read(c.text, c.delimiter, c.header);
        if (*c.listError) EXPECT_NE(list.error.find(c.listError), std::string::npos) << list.error;
        else EXPECT_EQ(list.error, "");
        ASSERT_EQ(list.lines.size(), c.states.size());
        for (std::size_t i = 0; i < c.states.size(); ++i) {
            const ImportLine& line = list.lines[i];
            const std::string& want = c.states[i];
            if (want.rfind("refused:", 0) == 0) {
                EXPECT_EQ(line.state, ImportLineState::Refused) << i;
                EXPECT_NE(line.reason.find(want.substr(8)), std::string::npos) << i << ": " << line.reason;
            } else if (want == "locomotive") {
                EXPECT_EQ(line.state, ImportLineState::Waiting) << i << ": " << line.reason;
                EXPECT_EQ(line.formatIndex, 1);
                EXPECT_EQ(line.record.FieldText(1), "42");
                EXPECT_EQ(line.record.FieldText(3), "50-0");
            } else {
                EXPECT_EQ(line.state, ImportLineState::Waiting) << i << ": " << line.reason;
                EXPECT_EQ(line.frameText, want) << i;
            }
        }
    }
}

TEST_F(ImportListRead, LinesKeepTheirFileLineAndFieldErrors) {
    const ImportList list = Read("\nABCD,42,RIGHT,50-0\n\nABCD,x,RIGHT,50-0\n");
    ASSERT_EQ(list.lines.size(), 2u);
    EXPECT_EQ(list.lines[0].fileLine * 10 + list.lines[1].fileLine, 24);
    EXPECT_TRUE(list.lines[1].fieldErrors[1] && !list.lines[1].fieldErrors[0]);
}

TEST_F(ImportListRead, VehiclesAlreadyInTheTagLogAreMarked) {
    ImportList list = Read("TTX,42,RIGHT,50-0\nTTX,43,RIGHT,50-0\n"); // the log pads the initial with blanks
    const std::unordered_set<std::string> keys = {
        VehicleKeyOfLogLine("10/24/2018 13:05 - \"Railcar,TTX ,42,LEFT,60'6\",4,1,0\" 51,19,2 UMLER not checked")};
    MarkVehiclesInTagLog(data, list, keys, true);
    EXPECT_TRUE(list.lines[0].inTagLog && !list.lines[1].inTagLog);
}

} // namespace
} // namespace velmora::test
