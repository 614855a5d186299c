// The order of Minimum/Maximum limit texts.
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(LocaleCompare, OrderOfPairs) {
    // Each first text sorts before its second: blank, punctuation, digits, letters; digits as text;
    // case only breaks a tie, lower first, decided by the first difference; a prefix first.
    const std::pair<std::string, std::string> before[] = {
        {" ", "0"},     {"9", "A"},    {"9", "a"},      {"A ", "A0"},    {"A0", "AA"},  {"10", "9"},
        {"100", "2"},   {"0", "00"},   {"abcd", "ZZZZ"}, {"A   ", "abcd"}, {"a", "B"},    {"b", "C"},
        {"a", "A"},     {"abc", "Abc"}, {"Abc", "ABC"},  {"aBc", "Abc"},  {"zzzz", "ZZZZ"}, {"Ab", "ac"},
        {"", "A"},      {"A", "A   "}, {"AB", "abc"},   {"ZZZZ", "ZZZZZ"}, {" ", "-"},   {"-", "0"},
        {"_", "0"},     {"~", "0"},    {"!", "~"},      {"\t", " "},     {"\x01", "\t"}, {"\x7f", " "},
        {"z", "\x80"},  {"\x80", "\xff"}};
    for (const auto& [a, b] : before) {
        EXPECT_LT(LocaleCompare(a, b), 0) << '"' << a << "\" before \"" << b << '"';
        EXPECT_GT(LocaleCompare(b, a), 0) << '"' << b << "\" after \"" << a << '"';
    }
    EXPECT_EQ(LocaleCompare("A   ", "A   "), 0);
    EXPECT_NE(LocaleCompare(std::string("A\0", 2), "A"), 0);
}

TEST(LocaleCompare, IsAConsistentTotalOrder) {
    std::vector<std::string> texts = {"",   " ",  "A",   "a",   "AB",  "ab",   "aB", "Ab",  "10", "9",
                                      "0",  "-1", "A  ", "Z",   "zz",  "ZZZZ", "_",  "\t",  "A0", "a0",
                                      "A-", "B",  "b ",  "\x80", "~",  "AAAA", "a b", "A B"};
    for (const auto& a : texts) {
        EXPECT_EQ(LocaleCompare(a, a), 0);
        for (const auto& b : texts) {
            EXPECT_EQ(Sign(LocaleCompare(a, b)), -Sign(LocaleCompare(b, a))) << a << "|" << b;
            for (const auto& c : texts) {
                if (LocaleCompare(a, b) < 0 && LocaleCompare(b, c) < 0)
                    EXPECT_LT(LocaleCompare(a, c), 0) << a << "|" << b << "|" << c;
            }
        }
    }
}

} // namespace
} // namespace velmora
