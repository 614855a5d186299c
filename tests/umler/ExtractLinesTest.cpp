// How the extract's lines become records: every kind of line end, initials
// in any case, and the lines whose vehicles no lookup can find.
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

TEST(ExtractLines, EveryLineEndAndEveryCaseOfInitialGivesFindableVehicles) {
    const auto vehicles = MakeVehicles(50, 11);
    const struct {
        const char* eol;
        bool lowerCase;
    } cases[] = {{"\r", false}, {"\n", false}, {"\r\n", false}, {"\n", true}, {"\r", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.eol) + (c.lowerCase ? " lower-case initials" : ""));
        TempDir dir;
        std::string text;
        for (const auto& v : vehicles) {
            std::string line = ExtractLine(v);
            for (int i = 1; c.lowerCase && i <= 4; ++i) // only the initial: the type code keeps its case
                line[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
            text += line + c.eol;
        }
        WriteText(dir.File("x.txt"), text);
        const UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.recordsWritten, 50u);
        EXPECT_EQ(r.blankLinesSkipped + r.linesOutOfOrder + r.linesWithoutKey, 0u);
        for (const auto& v : vehicles) EXPECT_TRUE(LookupUMLER(v.Key(), dir.File("d.uml")).IsRecord()) << v.Key();
    }
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
