// How the extract's lines become records: every kind of line end, initials
// in any case, and the lines whose vehicles no lookup can find.
#include "umler/UmlerKey.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerTexts.h"

#include "TestSupport.h"
#include "UmlerTestExtract.h"

#include <gtest/gtest.h>

#include <cctype>

namespace velmora {
namespace {

using test::ExtractLine;
using test::MakeVehicles;
using test::TempDir;
using test::WriteText;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(ExtractLines, EveryLineEndAndEveryCaseOfInitialGivesFindableVehicles) {
    const auto vehicles = MakeVehicles(50, 11);
    const struct {
        const char* what;
        const char* eol;
        bool lowerCase;
    } cases[] = {
        {"CR only", "\r", false},
        {"LF", "\n", false},
        {"CR LF", "\r\n", false},
        {"lower-case initials", "\n", true},
        {"lower-case initials, CR only", "\r", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::string text;
        for (const auto& v : vehicles) {
            std::string line = ExtractLine(v);
            // Only the initial columns: the type code keeps its case.
            if (c.lowerCase) line.replace(1, 4, Lower(line.substr(1, 4)));
            text += line + c.eol;
        }
        WriteText(dir.File("x.txt"), text);
        const UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.recordsWritten, 50u);
        EXPECT_EQ(r.blankLinesSkipped, 0u);
        EXPECT_EQ(r.linesOutOfOrder, 0u);
        EXPECT_EQ(r.linesWithoutKey, 0u);
        for (const auto& v : vehicles) EXPECT_TRUE(LookupUMLER(v.Key(), dir.File("d.uml")).IsRecord()) << v.Key();
    }
}

TEST(ExtractLines, LinesWithoutAUsableInitialAndNumberAreReported) {
    TempDir dir;
    const std::string good = " NS  001234T106089060B06540000";
    const char* unusable[] = {
        " N5  001234T106089060B06540000", // a digit in the initial
        "     001234T106089060B06540000", // no initial
        "  NS 001234T106089060B06540000", // initial not at the left
        " NS  00A234T106089060B06540000", // a letter in the number
        " NS        T106089060B06540000", // no number
        " NS  0012",                      // the line ends inside the number
    };
    std::string text = good + "\n";
    for (const char* line : unusable) text += std::string(line) + "\n";
    WriteText(dir.File("x.txt"), text);
    const UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.recordsWritten, 7u); // one record per line, as ever
    EXPECT_EQ(r.linesWithoutKey, 6u);
    EXPECT_EQ(UmlerLoadMessage(r).rfind(std::string("6") + kUmlerNoKeySuffix, 0), 0u) << UmlerLoadMessage(r);
}

} // namespace
} // namespace velmora
