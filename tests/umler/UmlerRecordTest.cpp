// The 21-byte record of the UMLER data file.
#include "umler/UmlerRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace velmora {
namespace {

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
