// How the extract's lines become records: initials in any case, and the
// lines whose vehicles no lookup can find.
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerTexts.h"

#include "TestSupport.h"
#include "UmlerTestExtract.h"

#include <gtest/gtest.h>

#include <cctype>

namespace velmora {
namespace {

using namespace test;

// Every kind of line end is the loader test's; here initials in lower case.
TEST(ExtractLines, LowerCaseInitialsGiveFindableVehicles) {
    const auto vehicles = MakeVehicles(50, 11);
    TempDir dir;
    std::string text;
    for (const auto& v : vehicles) {
        std::string line = ExtractLine(v);
        for (int i = 1; i <= 4; ++i) // only the initial: the type code keeps its case
            line[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
        text += line + "\r";
    }
    WriteText(dir.File("x.txt"), text);
    const UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.recordsWritten, 50u);
    EXPECT_EQ(r.blankLinesSkipped + r.linesOutOfOrder + r.linesWithoutKey, 0u);
    for (const auto& v : vehicles) EXPECT_TRUE(LookupUMLER(v.Key(), dir.File("d.uml")).IsRecord()) << v.Key();
}

TEST(ExtractLines, LinesWithoutAUsableInitialAndNumberAreReported) {
    TempDir dir;
    std::string text = " NS  001234T106089060B06540000\n";
    for (const char* line : {
             " N5  001234T106089060B06540000", // a digit in the initial
             "     001234T106089060B06540000", // no initial
             "  NS 001234T106089060B06540000", // initial not at the left
             " NS  00A234T106089060B06540000", // a letter in the number
             " NS        T106089060B06540000", // no number
             " NS  0012",                      // the line ends inside the number
         })
        text += std::string(line) + "\n";
    WriteText(dir.File("x.txt"), text);
    const UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.recordsWritten, 7u); // one record per line, as ever
    EXPECT_EQ(r.linesWithoutKey, 6u);
    EXPECT_EQ(UmlerLoadMessage(r).rfind(std::string("6") + kUmlerNoKeySuffix, 0), 0u) << UmlerLoadMessage(r);
}

} // namespace
} // namespace velmora
