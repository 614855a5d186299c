// Vehicle keys, initial codes and the extract line parser.
#include "umler/UmlerExtract.h"
#include "umler/UmlerKey.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace velmora {
namespace {

TEST(UmlerKey, InitialCodeWeightsAndOrder) {
    EXPECT_EQ(InitialCode("    "), 0);
    EXPECT_EQ(InitialCode("A   "), 27000);
    EXPECT_EQ(InitialCode("NS  "), 14 * 27000 + 19 * 900);
    EXPECT_EQ(InitialCode("ZZZZ"), 26 * 27000 + 26 * 900 + 26 * 30 + 26);
    EXPECT_EQ(InitialCode("NS"), InitialCode("NS  ")); // missing characters are spaces
    // Space-padded initials sort like their codes.
    EXPECT_LT(InitialCode("A   "), InitialCode("AA  "));
    EXPECT_LT(InitialCode("AZZZ"), InitialCode("B   "));
    EXPECT_LT(InitialCode("CN  "), InitialCode("CNW "));
}

TEST(UmlerKey, MakeAndSplitKeys) {
    EXPECT_EQ(MakeVehicleKey("ns", "1234"), "NS  001234");
    EXPECT_EQ(MakeVehicleKey("BNSF", "999999"), "BNSF999999");
    EXPECT_EQ(KeyInitialCode("NS  001234"), InitialCode("NS"));
    EXPECT_EQ(KeyNumber("NS  001234"), 1234);
    EXPECT_EQ(KeyNumber("NS    1234"), 1234);
    EXPECT_EQ(KeyNumber("NS  12x4"), 12);
    EXPECT_EQ(KeyNumber("NS"), 0);
    EXPECT_EQ(KeyNumber("NS  99999999999999"), 999999999); // never overflows
}

TEST(UmlerKey, FindDialogRules) {
    std::string key = "unchanged";
    EXPECT_FALSE(BuildVehicleKey("", "1234", key));
    EXPECT_FALSE(BuildVehicleKey("NS", "", key));
    EXPECT_FALSE(BuildVehicleKey("N5", "1234", key));
    EXPECT_FALSE(BuildVehicleKey("NS", "12a4", key));
    EXPECT_FALSE(BuildVehicleKey("ABCDE", "1", key));
    EXPECT_FALSE(BuildVehicleKey("NS", "1234567", key));
    EXPECT_FALSE(BuildVehicleKey("NS", "-12", key));
    EXPECT_EQ(key, "unchanged");
    EXPECT_TRUE(BuildVehicleKey("ttx", "7", key));
    EXPECT_EQ(key, "TTX 000007");
}

TEST(UmlerCountCodes, AxlesAndPlatforms) {
    EXPECT_EQ(AxleCount('1'), 1);
    EXPECT_EQ(AxleCount('9'), 9);
    EXPECT_EQ(AxleCount('0'), 10);
    EXPECT_EQ(AxleCount('A'), 11);
    EXPECT_EQ(AxleCount('B'), 12);
    EXPECT_EQ(AxleCount('Z'), 36);
    EXPECT_EQ(PlatformCount('0'), 0);
    EXPECT_EQ(PlatformCount(' '), 0);
    EXPECT_EQ(PlatformCount('5'), 5);
    EXPECT_EQ(PlatformCount('B'), 12);
    for (char bad : {' ', 'a', 'z', '*', '\0', '\r', static_cast<char>(0xC9)}) {
        if (bad != ' ') EXPECT_EQ(AxleCount(bad), 0) << int(bad);
        EXPECT_EQ(PlatformCount(bad), 0) << int(bad);
    }
    EXPECT_EQ(AxleCount(' '), 0);
}

TEST(UmlerLine, Railcar) {
    //                     0    5     11  15   20
    UmlerRecord r = ParseUmlerLine(" TTX 123456T106089060B06541234");
    EXPECT_EQ(r.initialCode, InitialCode("TTX "));
    EXPECT_EQ(r.number, 123456);
    EXPECT_STREQ(r.typeCode, "T106");
    EXPECT_EQ(r.lengthInches, 89 * 12 + 6);
    EXPECT_EQ(r.axles, 10);
    EXPECT_EQ(r.platforms, 12);
    EXPECT_EQ(r.tare, 654);
    EXPECT_EQ(r.capacity, 1234);
}

TEST(UmlerLine, LocomotiveTakesAxlesFrom22AndNothingElse) {
    UmlerRecord r = ParseUmlerLine(" UP  009999D100073044Z6  77777");
    EXPECT_STREQ(r.typeCode, "D100");
    EXPECT_EQ(r.lengthInches, 73 * 12 + 4);
    EXPECT_EQ(r.axles, 6);       // position 22, not the "4" at 20
    EXPECT_EQ(r.platforms, 0);   // "Z" at 21 ignored
    EXPECT_EQ(r.tare, 0);
    EXPECT_EQ(r.capacity, 0);    // "7777" at 26-29 ignored
    // Only an upper-case "D" marks a locomotive.
    UmlerRecord car = ParseUmlerLine(" UP  009999d100073044Z6  77777");
    EXPECT_EQ(car.axles, 4);
    EXPECT_EQ(car.platforms, 36);
}

TEST(UmlerLine, ShortLinesGiveZeroForWhatIsMissing) {
    UmlerRecord empty = ParseUmlerLine("");
    EXPECT_EQ(empty.initialCode, 0);
    EXPECT_EQ(empty.number, 0);
    EXPECT_STREQ(empty.typeCode, "");
    EXPECT_EQ(empty.lengthInches, 0);

    UmlerRecord r = ParseUmlerLine(" NS  0012");   // cut inside the number
    EXPECT_EQ(r.initialCode, InitialCode("NS"));
    EXPECT_EQ(r.number, 12);
    EXPECT_STREQ(r.typeCode, "");

    r = ParseUmlerLine(" NS  001234C1");            // cut inside the type code
    EXPECT_STREQ(r.typeCode, "C1");
    EXPECT_EQ(r.lengthInches, 0);
    EXPECT_EQ(r.axles, 0);

    r = ParseUmlerLine(" NS  001234C114060\r");     // a carriage return is not a column
    EXPECT_EQ(r.lengthInches, 60 * 12);
    EXPECT_EQ(r.axles, 0);
    EXPECT_EQ(r.tare, 0);

    r = ParseUmlerLine(" NS  001234C1140600044012");   // tare cut after 3 digits
    EXPECT_EQ(r.tare, 12);
    EXPECT_EQ(r.capacity, 0);
}

// A line from its columns: 1-4, 5-10, 11-14, 15-17, 18-19, 20, 21, 22-25, 26-29.
std::string Columns(std::string_view ini, std::string_view num, std::string_view type, std::string_view ft,
                    std::string_view in, std::string_view axle, std::string_view plat, std::string_view tare,
                    std::string_view cap) {
    std::string s = " ";
    for (std::string_view c : {ini, num, type, ft, in, axle, plat, tare, cap}) s += c;
    return s;
}

TEST(UmlerLine, NonDigitsWhereNumbersBelong) {
    UmlerRecord r = ParseUmlerLine(Columns("NS  ", "12X456", "T106", " 8x", "x6", "4", "4", "-123", "+456"));
    EXPECT_EQ(r.number, 12);          // stops at the first non-digit
    EXPECT_EQ(r.lengthInches, 8 * 12); // "x6": no inches
    EXPECT_EQ(r.tare, 0);             // no sign is read
    EXPECT_EQ(r.capacity, 0);
    r = ParseUmlerLine(Columns("NS  ", "  1234", "T106", "  9", " 1", "4", "4", "  12", "3 45"));
    EXPECT_EQ(r.number, 1234);        // leading spaces allowed
    EXPECT_EQ(r.lengthInches, 9 * 12 + 1);
    EXPECT_EQ(r.tare, 12);
    EXPECT_EQ(r.capacity, 3);
    using namespace std::string_view_literals;
    r = ParseUmlerLine(Columns("N\xff\x01 ", "\0\0\0\0\0\0"sv, "\xff\xfe\xfd\xfc", "***", "**", "*", "*", "****", "*\0*\0"sv));
    EXPECT_EQ(r.initialCode, InitialCode("N\xff\x01 ")); // kept as the characters are
    EXPECT_EQ(r.number, 0);
    EXPECT_EQ(r.axles, 0);
    EXPECT_EQ(r.platforms, 0);
    EXPECT_EQ(r.tare, 0);
}

TEST(UmlerLine, LongLineOnlyColumnsCount) {
    std::string line = " NS  001234T106060004412341234" + std::string(500, '9');
    UmlerRecord r = ParseUmlerLine(line);
    EXPECT_EQ(r.tare, 1234);
    EXPECT_EQ(r.capacity, 1234);
}

} // namespace
} // namespace velmora
