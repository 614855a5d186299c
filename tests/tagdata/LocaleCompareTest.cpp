// The order of Minimum/Maximum limit texts.
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmora {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

void ExpectBefore(const std::string& a, const std::string& b) {
    EXPECT_LT(LocaleCompare(a, b), 0) << '"' << a << "\" before \"" << b << '"';
    EXPECT_GT(LocaleCompare(b, a), 0) << '"' << b << "\" after \"" << a << '"';
}

TEST(LocaleCompare, BlankBeforeDigitsBeforeLetters) {
    ExpectBefore(" ", "0");
    ExpectBefore("9", "A");
    ExpectBefore("9", "a");
    ExpectBefore("A ", "A0");
    ExpectBefore("A0", "AA");
}

TEST(LocaleCompare, DigitTextsSortAsTextNotNumbers) {
    ExpectBefore("10", "9");
    ExpectBefore("100", "2");
    ExpectBefore("0", "00");
}

TEST(LocaleCompare, CaseOnlyBreaksATieLowerFirst) {
    ExpectBefore("abcd", "ZZZZ");
    ExpectBefore("A   ", "abcd");
    ExpectBefore("a", "B");
    ExpectBefore("b", "C");
    ExpectBefore("a", "A");
    ExpectBefore("abc", "Abc");
    ExpectBefore("Abc", "ABC");
    ExpectBefore("aBc", "Abc"); // the first difference in case decides
    ExpectBefore("zzzz", "ZZZZ");
    // A difference of letters anywhere outranks a difference of case earlier.
    ExpectBefore("Ab", "ac");
}

TEST(LocaleCompare, ShorterPrefixFirst) {
    ExpectBefore("", "A");
    ExpectBefore("A", "A   ");
    ExpectBefore("AB", "abc");
    ExpectBefore("ZZZZ", "ZZZZZ");
}

TEST(LocaleCompare, PunctuationAfterBlankBeforeDigitsAndControlsFirst) {
    ExpectBefore(" ", "-");
    ExpectBefore("-", "0");
    ExpectBefore("_", "0");
    ExpectBefore("~", "0");
    ExpectBefore("!", "~");
    ExpectBefore("\t", " ");
    ExpectBefore("\x01", "\t");
    ExpectBefore("\x7f", " ");
    ExpectBefore("z", "\x80");
    ExpectBefore("\x80", "\xff");
}

TEST(LocaleCompare, EqualOnlyForIdenticalTexts) {
    EXPECT_EQ(LocaleCompare("", ""), 0);
    EXPECT_EQ(LocaleCompare("A   ", "A   "), 0);
    EXPECT_NE(LocaleCompare("a", "A"), 0);
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
