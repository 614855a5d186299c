// Vehicle keys, initial codes, the extract line parser and the 21-byte record
// of the UMLER data file.
#include "umler/UmlerExtract.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>

namespace velmora {
namespace {

using namespace std::string_view_literals;

TEST(UmlerKey, InitialCodesKeysAndTheFindDialogRules) {
    EXPECT_EQ(InitialCode("    "), 0);
    EXPECT_EQ(InitialCode("A   "), 27000);
    EXPECT_EQ(InitialCode("NS  "), 14 * 27000 + 19 * 900);
    EXPECT_EQ(InitialCode("ZZZZ"), 26 * 27000 + 26 * 900 + 26 * 30 + 26);
    EXPECT_EQ(InitialCode("NS"), InitialCode("NS  ")); // missing characters are spaces
    EXPECT_LT(InitialCode("AZZZ"), InitialCode("B   "));
    EXPECT_LT(InitialCode("CN  "), InitialCode("CNW "));
    EXPECT_EQ(MakeVehicleKey("ns", "1234"), "NS  001234");
    EXPECT_EQ(MakeVehicleKey("BNSF", "999999"), "BNSF999999");
    EXPECT_EQ(KeyInitialCode("NS  001234"), InitialCode("NS"));
    EXPECT_EQ(KeyNumber("NS  001234"), 1234);
    EXPECT_EQ(KeyNumber("NS    1234"), 1234);
    EXPECT_EQ(KeyNumber("NS  12x4"), 12);
    EXPECT_EQ(KeyNumber("NS"), 0);
    EXPECT_EQ(KeyNumber("NS  99999999999999"), 999999999); // never overflows
    std::string key = "unchanged";
    const std::pair<const char*, const char*> bad[] = {{"", "1234"},  {"NS", ""},        {"N5", "1234"}, {"NS", "12a4"},
                                                       {"ABCDE", "1"}, {"NS", "1234567"}, {"NS", "-12"}};
    for (auto [initial, number] : bad)
        EXPECT_FALSE(BuildVehicleKey(initial, number, key)) << initial << " " << number;
    EXPECT_EQ(key, "unchanged");
    EXPECT_TRUE(BuildVehicleKey("ttx", "7", key));
    EXPECT_EQ(key, "TTX 000007");
}

TEST(UmlerCountCodes, AxlesAndPlatforms) {
    const std::tuple<char, int, int> codes[] = {{'1', 1, 1},   {'9', 9, 9},   {'0', 10, 0}, {'A', 11, 11},
                                                {'B', 12, 12}, {'Z', 36, 36}, {' ', 0, 0},  {'a', 0, 0},
                                                {'*', 0, 0},   {'\0', 0, 0},  {'\r', 0, 0}, {char(0xC9), 0, 0}};
    for (auto [code, axles, platforms] : codes) {
        EXPECT_EQ(AxleCount(code), axles) << int(code);
        EXPECT_EQ(PlatformCount(code), platforms) << int(code);
    }
}

// A line from its columns: 1-4, 5-10, 11-14, 15-17, 18-19, 20, 21, 22-25, 26-29.
std::string Columns(std::initializer_list<std::string_view> columns) {
    std::string s = " ";
    for (std::string_view c : columns) s += c;
    return s;
}

TEST(UmlerLine, Fields) {
    const struct {
        const char* what;
        std::string line;
        std::string initial;
        int number;
        const char* type;
        int length, axles, platforms, tare, capacity;
    } cases[] = {
        {"railcar", " TTX 123456T106089060B06541234", "TTX ", 123456, "T106", 89 * 12 + 6, 10, 12, 654, 1234},
        {"locomotive: axles from 22 and nothing else", " UP  009999D100073044Z6  77777", "UP  ", 9999, "D100",
         73 * 12 + 4, 6, 0, 0, 0},
        {"only an upper-case D marks a locomotive", " UP  009999d100073044Z6  77777", "UP  ", 9999, "d100",
         73 * 12 + 4, 4, 36, 6, 7777},
        {"empty", "", "", 0, "", 0, 0, 0, 0, 0},
        {"cut inside the number", " NS  0012", "NS  ", 12, "", 0, 0, 0, 0, 0},
        {"cut inside the type code", " NS  001234C1", "NS  ", 1234, "C1", 0, 0, 0, 0, 0},
        {"a carriage return is not a column", " NS  001234C114060\r", "NS  ", 1234, "C114", 60 * 12, 0, 0, 0, 0},
        {"tare cut after 3 digits", " NS  001234C1140600044012", "NS  ", 1234, "C114", 60 * 12, 4, 4, 12, 0},
        {"non-digits stop numbers; no sign is read",
         Columns({"NS  ", "12X456", "T106", " 8x", "x6", "4", "4", "-123", "+456"}), "NS  ", 12, "T106", 8 * 12, 4,
         4, 0, 0},
        {"leading spaces allowed", Columns({"NS  ", "  1234", "T106", "  9", " 1", "4", "4", "  12", "3 45"}),
         "NS  ", 1234, "T106", 9 * 12 + 1, 4, 4, 12, 3},
        {"bytes of any value", Columns({"N\xff\x01 ", "\0\0\0\0\0\0"sv, "\xff\xfe\xfd\xfc", "***", "**", "*", "*", "****", "*\0*\0"sv}),
         "N\xff\x01 ", 0, "\xff\xfe\xfd\xfc", 0, 0, 0, 0, 0},
        {"only the columns of a long line count", " NS  001234T106060004412341234" + std::string(500, '9'), "NS  ",
         1234, "T106", 60 * 12, 4, 4, 1234, 1234},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const UmlerRecord r = ParseUmlerLine(c.line);
        EXPECT_EQ(r.initialCode, c.initial.empty() ? 0 : InitialCode(c.initial));
        EXPECT_EQ(r.number, c.number);
        EXPECT_STREQ(r.typeCode, c.type);
        EXPECT_EQ(r.lengthInches, c.length);
        EXPECT_EQ(r.axles, c.axles);
        EXPECT_EQ(r.platforms, c.platforms);
        EXPECT_EQ(r.tare, c.tare);
        EXPECT_EQ(r.capacity, c.capacity);
    }
}


using Bytes = std::array<uint8_t, 21>;

TEST(UmlerRecordBytes, GoldenLayoutBothWays) {
    const Bytes golden = {
        0x04, 0x03, 0x02, 0x01,   // initial code
        0x40, 0xE2, 0x01, 0x00,   // vehicle number 123456
        'T', '1', '0', '6', 0x00, // type code and its zero
        0x0B, 0x0A,               // length in inches
        0x0C, 0x0D,               // axles, platforms
        0x0F, 0x0E, 0x11, 0x10,   // tare, capacity
    };
    UmlerRecord r;
    r.initialCode = 0x01020304;
    r.number = 123456;
    std::memcpy(r.typeCode, "T106", 5);
    r.lengthInches = 0x0A0B;
    r.axles = 0x0C;
    r.platforms = 0x0D;
    r.tare = 0x0E0F;
    r.capacity = 0x1011;
    Bytes bytes;
    bytes.fill(0xAA);
    EncodeUmlerRecord(r, bytes.data());
    EXPECT_EQ(bytes, golden);
    bytes.fill(0xAA);
    EncodeUmlerRecord(DecodeUmlerRecord(golden.data()), bytes.data());
    EXPECT_EQ(bytes, golden);
}

TEST(UmlerRecordBytes, NoRecordShortAndDamagedTypeCodes) {
    UmlerRecord none;
    EXPECT_FALSE(none.IsRecord());
    std::memcpy(none.typeCode, "D", 2);
    Bytes bytes;
    bytes.fill(0xAA);
    EncodeUmlerRecord(none, bytes.data());
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[8], 'D');
    for (int i = 9; i <= 12; ++i) EXPECT_EQ(bytes[i], 0) << i; // no fill byte leaks into the file
    EXPECT_EQ(DecodeUmlerRecord(bytes.data()).initialCode, -1);
    bytes.fill('Q'); // no zero anywhere: still terminated
    EXPECT_STREQ(DecodeUmlerRecord(bytes.data()).typeCode, "QQQQ");
}

} // namespace
} // namespace velmora
