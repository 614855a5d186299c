// The value check of typed texts, the error prompt text, and the number and length conversions and the order
// of Minimum/Maximum limit texts it rests on.
#include "FrameTestHelpers.h"

#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace velmora {
namespace {

using test::HandRailcar;
using test::MakeFormat;
using test::Texts;

const std::array<bool, kFieldRows> kAllControls = [] {
    std::array<bool, kFieldRows> a;
    return a.fill(true), a;
}();

TEST(LengthConversion, BothWaysAndSaturated) {
    // Inches to decimeters truncate; decimeters to inches add two and one more when the thousandths
    // of the remainder reach 500.
    const std::pair<int, int> toDm[] = {{600, 152}, {0, 0}, {3, 0}, {4, 1}, {2147483647, 545460846}};
    for (auto [in, dm] : toDm) EXPECT_EQ(InchesToDecimeters(in), dm) << in;
    const std::pair<int, int> toIn[] = {
        {0, 0},      {152, 600}, // nothing added to zero; 598.424 -> 598 + 2
        {1, 6},      {10, 41},   // 3.937: remainder 937 -> 3 + 2 + 1; 39.370: remainder 370 -> 39 + 2
        {127, 502},  {4, 18},    // 499.999: remainder 999 -> 499 + 3; 15.748: remainder 748 -> 15 + 2 + 1
        {8, 33},     {500, 1971}, // 31.496: remainder 496, no extra; 1968.5: remainder exactly 500 -> 1968 + 2 + 1
        {2147483647, 2147483647}};
    for (auto [dm, in] : toIn) EXPECT_EQ(DecimetersToInches(dm), in) << dm;
    EXPECT_EQ(DecimetersToInches64(4095), 16124u); // 16122.015 + 2
    EXPECT_EQ(DecimetersToInches64(~uint64_t{0}), ~uint64_t{0});
    EXPECT_EQ(DecimetersToInches64(uint64_t{1} << 40), 4328777278554u + 2);
}

TEST(ParseNumbers, U32AndLimitsAcceptOnlyPlainDecimalWithin32Bits) {
    EXPECT_EQ(ParseU32("0"), 0u);
    EXPECT_EQ(ParseU32("000042"), 42u);
    EXPECT_EQ(ParseU32("4294967295"), 4294967295u);
    for (const char* bad : {"", "4294967296", "99999999999999999999", "-1", "+1", " 1", "1 ", "1a", "0x10"})
        EXPECT_FALSE(ParseU32(bad).has_value()) << bad;
    // A limit that is not a number counts as zero.
    EXPECT_EQ(LimitNumber("200"), 200u);
    for (const char* bad : {"", "-5", "A"}) EXPECT_EQ(LimitNumber(bad), 0u) << bad;
}

TEST(ParseNumbers, FeetInchesForms) {
    // Inches over 11 parse; the check flags them.
    const std::tuple<const char*, int, int> good[] = {{"50-6", 50, 6}, {"50", 50, 0}, {"50-", 50, 0}, {"7-14", 7, 14}};
    for (auto [text, feet, inches] : good) {
        const auto fi = ParseFeetInches(text);
        ASSERT_TRUE(fi) << text;
        EXPECT_EQ(fi->feet * 100 + fi->inches, feet * 100 + inches) << text;
    }
    for (const char* bad : {"", "-6", "5-6-7", "5--6", "a", "5 6", "5-x", "2147483648", "1-2147483648"})
        EXPECT_FALSE(ParseFeetInches(bad).has_value()) << bad;
    EXPECT_EQ(FeetInchesToDecimeters({50, 0}), 152);
}

// One row of a given type and limits, one typed text: in error or not.
struct Boundary {
    int type;
    const char *minimum, *maximum;
    std::string text;
    bool feetInches, error;
    int length = 12;
};

TEST(ValueCheck, BoundariesOfEachType) {
    const bool F = false, T = true;
    std::vector<Boundary> cases = {
        // Numeric: inclusive limits.
        {3, "200", "300", "199", F, T}, {3, "200", "300", "200", F, F}, {3, "200", "300", "300", F, F},
        {3, "200", "300", "301", F, T}, {3, "1", "32", "04", F, F},
        // An empty Maximum accepts only zero.
        {3, "", "", "0", F, F}, {3, "", "", "1", F, T},
        // Length in decimeters.
        {7, "0", "4095", "4095", F, F}, {7, "0", "4095", "4096", F, T}, {7, "10", "4095", "9", F, T},
        {7, "0", "4095", "50-0", F, T}, {7, "0", "4095", "", F, T},
        // Length in feet-inches: inches over 11, and the converted range. 1343-9 = 16125 in -> 4095.75 -> 4095;
        // 1343-11 = 16127 in -> 4096. 49-11 = 599 in -> 152.1 -> 152; 49-10 -> 151.
        {7, "0", "4095", "50-11", T, F}, {7, "0", "4095", "50-12", T, T}, {7, "0", "4095", "50", T, F},
        {7, "0", "4095", "1343-9", T, F}, {7, "0", "4095", "1343-11", T, T}, {7, "152", "4095", "49-11", T, F},
        {7, "152", "4095", "49-10", T, T}, {7, "0", "4095", "", T, T}, {7, "0", "4095", "-5", T, T},
        {7, "0", "4095", "99999999999", T, T}, {7, "0", "999999999", "2147483647-11", T, T},
        // Hex digits of either case only.
        {9, "", "", "0123456789abcdefABCDEF", F, F, 88}, {9, "", "", "12G4", F, T}, {9, "", "", "12 4", F, T},
        {9, "", "", "", F, T},
        // Base 27 between the limit texts; case only breaks ties; a prefix of the Minimum sorts before it.
        {1, "A   ", "ZZZZ", "ABCD", F, F}, {1, "A   ", "ZZZZ", "abcd", F, F}, {1, "A   ", "ZZZZ", "A   ", F, F},
        {1, "A   ", "ZZZZ", "ZZZZ", F, F}, {1, "A   ", "ZZZZ", "zzzz", F, F}, {1, "A   ", "ZZZZ", "AB", F, F},
        {1, "A   ", "ZZZZ", "A", F, T},    {1, "A   ", "ZZZZ", "ZZZZZ", F, T}, {1, "A   ", "ZZZZ", " BCD", F, T},
        {1, "A   ", "ZZZZ", "", F, T},     {1, "B", "Y", "Z", F, T},          {1, "B", "Y", "a", F, T},
        {1, "B", "Y", "y", F, F},
        // Base 27 refuses characters without a digit; a leading blank has no code whatever the limits.
        {1, "A   ", "ZZZZ", "A1BC", F, T}, {1, "A   ", "ZZZZ", "AB\tC", F, T}, {1, "A   ", "ZZZZ", "AB-C", F, T},
        {1, "A   ", "ZZZZ", "AB C", F, F}, {1, "", "ZZZZ", " BCD", F, T},      {1, "    ", "ZZZZ", "    ", F, T},
        // Base 37 has no settled alphabet: only its limits are checked.
        {2, "A   ", "ZZZZ", "A1BC", F, F}, {2, "A   ", "ZZZZ", "AB\tC", F, F}, {2, "A   ", "ZZZZ", "1ABC", F, T},
        // ASCII: only emptiness and uncodable characters.
        {0, "", "", "hello world_ [?]", F, F}, {0, "", "", " ", F, F}, {0, "", "", "", F, T},
    };
    for (const char* bad : {"a{", "~", "`", "\x7f", "tab\there", "\xc3\xa9"}) cases.push_back({0, "", "", bad, F, T});
    // Every numeric type: empty, negative, non-numeric and 2^32 + 5 (must not wrap to 5) are out of range.
    for (int type : {3, 4, 5, 6}) {
        for (const char* bad : {"", "-1", "12a", "4294967301"}) cases.push_back({type, "0", "999999999", bad, F, T});
        cases.push_back({type, "0", "999999999", "999999999", F, F});
        cases.push_back({type, "", "999999999", "0", F, F});
    }
    for (const Boundary& c : cases) {
        const TagFormatData f = MakeFormat("T", 0, 0, 2, {{"Field", 0, c.length, c.type, c.minimum, c.maximum}});
        const ValueCheckResult r = CheckFieldValues(f, Texts({c.text}), kAllControls, c.feetInches);
        EXPECT_EQ(r.error[0], c.error) << "type " << c.type << " [" << c.minimum << "," << c.maximum << "] \""
                                       << c.text << "\"" << (c.feetInches ? " feet-inches" : "");
        EXPECT_EQ(r.anyError, r.error[0]);
    }
}

TEST(ValueCheckRows, SideBlankUncontrolledAndUnusedRowsAreNotChecked) {
    TagFormatData f = MakeFormat("T", 0, 0, 2,
                                 {{"Side", 0, 1, 8}, {"Blank", 1, 6, 10}, {"Numeric", 10, 4, 3, "0", "9"},
                                  {"Hidden", 20, 4, 3, "0", "9"}, {"", 30, 4, 3, "0", "9"},
                                  {"After", 40, 4, 3, "0", "9"}});
    auto controls = kAllControls;
    controls[3] = false;
    ValueCheckResult r = CheckFieldValues(f, Texts({"", "", "5", "", "", ""}), controls, false);
    EXPECT_TRUE(!r.anyError && r.error == (std::array<bool, kFieldRows>{}));
    r = CheckFieldValues(f, Texts({"", "", "10", "", "", ""}), controls, false);
    EXPECT_TRUE(r.anyError && r.error[2] && !r.error[3]);
}

TEST(ValueCheckRows, EveryShownRowInErrorIsFlaggedNotJustTheFirst) {
    const TagFormatData rc = HandRailcar();
    // The second row of the split length gets no control on the form.
    const std::array<bool, kFieldRows> shown = ShownRows(rc);
    EXPECT_EQ(shown, (std::array<bool, kFieldRows>{true, true, true, true, false, true, true, true}));
    const ValueCheckResult r =
        CheckFieldValues(rc, Texts({"", "1000000", "RIGHT", "4096", "", "0", "8", "16"}), shown, false);
    EXPECT_EQ(r.error, (std::array<bool, kFieldRows>{true, true, false, true, false, true, true, true}));
}

TEST(FieldErrorText, ListsNamesInRowOrderFirstWithoutComma) {
    const TagFormatData rc = HandRailcar();
    ValueCheckResult r = CheckFieldValues(rc, Texts({"ABCD", "1000000", "RIGHT", "610", "", "0", "1", "0"}),
                                          ShownRows(rc), false);
    EXPECT_EQ(FieldErrorText(rc, r), "The following fields are in error: Car Number, Number of Axles");
    r = CheckFieldValues(rc, Texts({"ABCD", "42", "LEFT", "610", "", "4", "1", "15"}), ShownRows(rc), false);
    EXPECT_EQ(FieldErrorText(rc, r), "");
    ValueCheckResult one;
    one.anyError = true;
    one.error[7] = true;
    EXPECT_EQ(FieldErrorText(rc, one), "The following fields are in error: Platform Identifier Code");
}

TEST(FieldErrorText, CutTo249Characters) {
    TagFormatData f;
    ValueCheckResult r;
    std::string full = "The following fields are in error: ";
    for (int row = 0; row < kFieldRows; ++row) {
        const std::string name = "Field number " + std::to_string(row) + std::string(14, 'x');
        SetText(f.fieldName[row], name);
        r.error[row] = true;
        full += (row ? ", " : "") + name;
    }
    r.anyError = true;
    ASSERT_GT(full.size(), 249u);
    EXPECT_EQ(FieldErrorText(f, r), full.substr(0, 249));
}

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

} // namespace
} // namespace velmora
