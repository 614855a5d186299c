// The 21-byte record of the UMLER data file.
#include "umler/UmlerRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace velmora {
namespace {

UmlerRecord Sample() {
    UmlerRecord r;
    r.initialCode = 0x01020304;
    r.number = 123456; // 0x0001E240
    std::memcpy(r.typeCode, "T106", 5);
    r.lengthInches = 0x0A0B;
    r.axles = 0x0C;
    r.platforms = 0x0D;
    r.tare = 0x0E0F;
    r.capacity = 0x1011;
    return r;
}

TEST(UmlerRecordBytes, GoldenLayout) {
    const std::array<uint8_t, 21> golden = {
        0x04, 0x03, 0x02, 0x01,       // initial code
        0x40, 0xE2, 0x01, 0x00,       // vehicle number
        'T', '1', '0', '6', 0x00,     // type code and its zero
        0x0B, 0x0A,                   // length in inches
        0x0C,                         // axles
        0x0D,                         // platforms
        0x0F, 0x0E,                   // tare
        0x11, 0x10,                   // capacity
    };
    std::array<uint8_t, 21> bytes;
    bytes.fill(0xAA);
    EncodeUmlerRecord(Sample(), bytes.data());
    EXPECT_EQ(bytes, golden);

    UmlerRecord back = DecodeUmlerRecord(golden.data());
    UmlerRecord s = Sample();
    EXPECT_EQ(back.initialCode, s.initialCode);
    EXPECT_EQ(back.number, s.number);
    EXPECT_STREQ(back.typeCode, "T106");
    EXPECT_EQ(back.lengthInches, s.lengthInches);
    EXPECT_EQ(back.axles, s.axles);
    EXPECT_EQ(back.platforms, s.platforms);
    EXPECT_EQ(back.tare, s.tare);
    EXPECT_EQ(back.capacity, s.capacity);
}

TEST(UmlerRecordBytes, NoRecordAndShortTypeCode) {
    UmlerRecord none;
    EXPECT_FALSE(none.IsRecord());
    std::memcpy(none.typeCode, "D", 2);
    std::array<uint8_t, 21> bytes;
    bytes.fill(0xAA);
    EncodeUmlerRecord(none, bytes.data());
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[8], 'D');
    for (int i = 9; i <= 12; ++i) EXPECT_EQ(bytes[i], 0) << i; // no fill byte leaks into the file
    EXPECT_EQ(DecodeUmlerRecord(bytes.data()).initialCode, -1);
}

TEST(UmlerRecordBytes, DamagedTypeCodeIsStillTerminated) {
    std::array<uint8_t, 21> bytes;
    bytes.fill('Q'); // no zero anywhere
    UmlerRecord r = DecodeUmlerRecord(bytes.data());
    EXPECT_EQ(std::strlen(r.typeCode), 4u);
    EXPECT_STREQ(r.typeCode, "QQQQ");
}

} // namespace
} // namespace velmora
