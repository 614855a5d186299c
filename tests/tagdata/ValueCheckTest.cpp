// The value check of typed texts, the error prompt text, and the number and
// length conversions it rests on.
#include "FrameTestHelpers.h"

#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::HandRailcar;
using test::MakeFormat;
using test::Texts;

std::array<bool, kFieldRows> AllControls() {
    std::array<bool, kFieldRows> a;
    a.fill(true);
    return a;
}

// One-row check of a text against a row of the given type and limits.
bool InError(int type, const char* minimum, const char* maximum, const std::string& text,
             bool feetInches = false, int length = 12) {
    const TagFormatData f = MakeFormat("T", 0, 0, 2, {{"Field", 0, length, type, minimum, maximum}});
    ValueCheckResult r = CheckFieldValues(f, Texts({text}), AllControls(), feetInches);
    EXPECT_EQ(r.anyError, r.error[0]);
    return r.error[0];
}

TEST(LengthConversion, DecimetersFromInchesTruncates) {
    EXPECT_EQ(InchesToDecimeters(600), 152); // 152.4
    EXPECT_EQ(InchesToDecimeters(0), 0);
    EXPECT_EQ(InchesToDecimeters(3), 0);    // 0.762
    EXPECT_EQ(InchesToDecimeters(4), 1);    // 1.016
    EXPECT_EQ(InchesToDecimeters(2147483647), 545460846);
}

TEST(LengthConversion, InchesFromDecimetersAddsTwoAndRoundsOnTheRemainder) {
    EXPECT_EQ(DecimetersToInches(0), 0);
    EXPECT_EQ(DecimetersToInches(152), 600); // 598.424 -> 598 + 2
    EXPECT_EQ(DecimetersToInches(1), 6);     // 3.937: remainder 937 -> 3 + 2 + 1
    EXPECT_EQ(DecimetersToInches(10), 41);   // 39.370: remainder 370 -> 39 + 2
    EXPECT_EQ(DecimetersToInches(127), 502); // 499.999: remainder 999 -> 499 + 3
    EXPECT_EQ(DecimetersToInches(4), 18);    // 15.748: remainder 748 -> 15 + 2 + 1
    EXPECT_EQ(DecimetersToInches(8), 33);    // 31.496: remainder 496 -> no extra
    EXPECT_EQ(DecimetersToInches(500), 1971); // 1968.5: remainder exactly 500 -> 1968 + 2 + 1
}

TEST(LengthConversion, WideValuesSaturateInsteadOfOverflowing) {
    EXPECT_EQ(DecimetersToInches(2147483647), 2147483647);
    EXPECT_EQ(DecimetersToInches64(4095), 16124u); // 16122.015 + 2
    EXPECT_EQ(DecimetersToInches64(~uint64_t{0}), ~uint64_t{0});
    EXPECT_EQ(DecimetersToInches64(uint64_t{1} << 40), 4328777278554u + 2);
}

TEST(ParseNumbers, U32AcceptsOnlyPlainDecimalWithin32Bits) {
    EXPECT_EQ(ParseU32("0"), 0u);
    EXPECT_EQ(ParseU32("000042"), 42u);
    EXPECT_EQ(ParseU32("4294967295"), 4294967295u);
    for (const char* bad : {"", "4294967296", "99999999999999999999", "-1", "+1", " 1", "1 ", "1a", "0x10"})
        EXPECT_FALSE(ParseU32(bad).has_value()) << bad;
}

TEST(ParseNumbers, FeetInchesForms) {
    auto fi = ParseFeetInches("50-6");
    ASSERT_TRUE(fi);
    EXPECT_EQ(fi->feet, 50);
    EXPECT_EQ(fi->inches, 6);
    fi = ParseFeetInches("50");
    ASSERT_TRUE(fi);
    EXPECT_EQ(fi->inches, 0);
    fi = ParseFeetInches("50-");
    ASSERT_TRUE(fi);
    EXPECT_EQ(fi->inches, 0);
    fi = ParseFeetInches("7-14"); // inches over 11 parse; the check flags them
    ASSERT_TRUE(fi);
    EXPECT_EQ(fi->inches, 14);
    for (const char* bad : {"", "-6", "5-6-7", "5--6", "a", "5 6", "5-x", "2147483648", "1-2147483648"})
        EXPECT_FALSE(ParseFeetInches(bad).has_value()) << bad;
    EXPECT_EQ(FeetInchesToDecimeters({50, 0}), 152);
}

TEST(LimitNumber, NonNumericLimitCountsAsZero) {
    EXPECT_EQ(LimitNumber("200"), 200u);
    EXPECT_EQ(LimitNumber(""), 0u);
    EXPECT_EQ(LimitNumber("-5"), 0u);
    EXPECT_EQ(LimitNumber("A"), 0u);
}

TEST(ValueCheckNumeric, LimitsAreInclusive) {
    EXPECT_TRUE(InError(3, "200", "300", "199"));
    EXPECT_FALSE(InError(3, "200", "300", "200"));
    EXPECT_FALSE(InError(3, "200", "300", "300"));
    EXPECT_TRUE(InError(3, "200", "300", "301"));
    EXPECT_FALSE(InError(3, "1", "32", "04"));
}

TEST(ValueCheckNumeric, EmptyNegativeNonNumericAndTooLargeAreOutOfRange) {
    for (int type : {3, 4, 5, 6}) {
        EXPECT_TRUE(InError(type, "0", "999999999", "")) << type;
        EXPECT_TRUE(InError(type, "0", "999999999", "-1")) << type;
        EXPECT_TRUE(InError(type, "0", "999999999", "12a")) << type;
        // 2^32 + 5 must not wrap round to 5.
        EXPECT_TRUE(InError(type, "0", "999999", "4294967301")) << type;
        EXPECT_FALSE(InError(type, "0", "999999999", "999999999")) << type;
        EXPECT_FALSE(InError(type, "", "999999999", "0")) << type;
    }
}

TEST(ValueCheckNumeric, EmptyMaximumAcceptsOnlyZero) {
    EXPECT_FALSE(InError(3, "", "", "0"));
    EXPECT_TRUE(InError(3, "", "", "1"));
}

TEST(ValueCheckLength, DecimetersBetweenMinimumAndMaximum) {
    EXPECT_FALSE(InError(7, "0", "4095", "4095"));
    EXPECT_TRUE(InError(7, "0", "4095", "4096"));
    EXPECT_TRUE(InError(7, "10", "4095", "9"));
    EXPECT_TRUE(InError(7, "0", "4095", "50-0")); // feet-inches text in decimeter mode
    EXPECT_TRUE(InError(7, "0", "4095", ""));
}

TEST(ValueCheckLength, FeetInchesInchesOver11AndConvertedRange) {
    EXPECT_FALSE(InError(7, "0", "4095", "50-11", true));
    EXPECT_TRUE(InError(7, "0", "4095", "50-12", true));
    EXPECT_FALSE(InError(7, "0", "4095", "50", true));
    // 4095 dm is the limit: 1343 ft 5 in = 16121 in = 4094.7 -> 4094; 1343-9 = 16125 in -> 4095.75 -> 4095.
    EXPECT_FALSE(InError(7, "0", "4095", "1343-9", true));
    EXPECT_TRUE(InError(7, "0", "4095", "1343-11", true)); // 16127 in -> 4096
    // Minimum 152 dm: 50 ft is 152, 49-11 is 599 in = 152.1 -> 152, 49-10 is 151.
    EXPECT_FALSE(InError(7, "152", "4095", "49-11", true));
    EXPECT_TRUE(InError(7, "152", "4095", "49-10", true));
    EXPECT_TRUE(InError(7, "0", "4095", "", true));
    EXPECT_TRUE(InError(7, "0", "4095", "-5", true));
    EXPECT_TRUE(InError(7, "0", "4095", "99999999999", true));
    EXPECT_TRUE(InError(7, "0", "999999999", "2147483647-11", true)); // far past the Maximum
}

TEST(ValueCheckHex, OnlyHexDigitsEitherCase) {
    EXPECT_FALSE(InError(9, "", "", "0123456789abcdefABCDEF", false, 88));
    EXPECT_TRUE(InError(9, "", "", "12G4"));
    EXPECT_TRUE(InError(9, "", "", "12 4"));
    EXPECT_TRUE(InError(9, "", "", ""));
}

TEST(ValueCheckAlpha, TextMustLieBetweenMinimumAndMaximumTexts) {
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "ABCD"));
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "abcd")); // case only breaks ties
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "A   "));
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "ZZZZ"));
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "zzzz"));
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "AB"));
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", "A"));     // a prefix of the Minimum sorts before it
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", "ZZZZZ"));
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", " BCD"));  // a first blank sorts before any letter
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", ""));
    EXPECT_TRUE(InError(1, "B", "Y", "Z"));
    EXPECT_TRUE(InError(1, "B", "Y", "a"));
    EXPECT_FALSE(InError(1, "B", "Y", "y"));
}

TEST(ValueCheckAlpha, Base27RefusesCharactersWithoutADigit) {
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", "A1BC"));
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", "AB\tC"));
    EXPECT_TRUE(InError(1, "A   ", "ZZZZ", "AB-C"));
    EXPECT_FALSE(InError(1, "A   ", "ZZZZ", "AB C"));
    // The first character is stored as a letter: a leading blank has no
    // code there, whatever the limits let through.
    EXPECT_TRUE(InError(1, "", "ZZZZ", " BCD"));
    EXPECT_TRUE(InError(1, "    ", "ZZZZ", "    "));
    // Base 37 has no settled alphabet: only its limits are checked.
    EXPECT_FALSE(InError(2, "A   ", "ZZZZ", "A1BC"));
    EXPECT_FALSE(InError(2, "A   ", "ZZZZ", "AB\tC"));
    EXPECT_TRUE(InError(2, "A   ", "ZZZZ", "1ABC"));
}

TEST(ValueCheckAscii, OnlyEmptinessAndUncodableCharactersAreErrors) {
    EXPECT_FALSE(InError(0, "", "", "hello world_ [?]"));
    EXPECT_FALSE(InError(0, "", "", " "));
    EXPECT_TRUE(InError(0, "", "", ""));
    for (const char* bad : {"a{", "~", "`", "\x7f", "tab\there", "\xc3\xa9"})
        EXPECT_TRUE(InError(0, "", "", bad)) << bad;
}

TEST(ValueCheckRows, SideBlankUncontrolledAndUnusedRowsAreNotChecked) {
    TagFormatData f = MakeFormat("T", 0, 0, 2,
                                 {{"Side", 0, 1, 8}, {"Blank", 1, 6, 10}, {"Numeric", 10, 4, 3, "0", "9"},
                                  {"Hidden", 20, 4, 3, "0", "9"}, {"", 30, 4, 3, "0", "9"},
                                  {"After", 40, 4, 3, "0", "9"}});
    auto controls = AllControls();
    controls[3] = false;
    ValueCheckResult r = CheckFieldValues(f, Texts({"", "", "5", "", "", ""}), controls, false);
    EXPECT_FALSE(r.anyError);
    for (bool e : r.error) EXPECT_FALSE(e);
    r = CheckFieldValues(f, Texts({"", "", "10", "", "", ""}), controls, false);
    EXPECT_TRUE(r.anyError);
    EXPECT_TRUE(r.error[2]);
    EXPECT_FALSE(r.error[3]);
}

TEST(ValueCheckRows, EveryRowInErrorIsFlaggedNotJustTheFirst) {
    const TagFormatData rc = HandRailcar();
    ValueCheckResult r = CheckFieldValues(rc, Texts({"", "1000000", "RIGHT", "4096", "", "0", "8", "16"}),
                                          ShownRows(rc), false);
    EXPECT_TRUE(r.anyError);
    for (int row : {0, 1, 3, 5, 6, 7}) EXPECT_TRUE(r.error[row]) << row;
    EXPECT_FALSE(r.error[2]);
    EXPECT_FALSE(r.error[4]); // the second row of the split length has no control
}

TEST(ValueCheckRows, ShownRowsAreTheRowsTheFormGivesAControl) {
    const TagFormatData rc = HandRailcar();
    auto shown = ShownRows(rc);
    const bool expected[kFieldRows] = {true, true, true, true, false, true, true, true};
    for (int r = 0; r < kFieldRows; ++r) EXPECT_EQ(shown[r], expected[r]) << r;
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
    const std::string text = FieldErrorText(f, r);
    EXPECT_EQ(text.size(), 249u);
    EXPECT_EQ(text, full.substr(0, 249));
}

} // namespace
} // namespace velmora
