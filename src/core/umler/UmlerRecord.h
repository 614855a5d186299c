// One vehicle of the UMLER register as the data file "umlerdata.uml" keeps it:
// 21 bytes, little-endian, no padding, records back to back with no header.
//
//   offset size  field
//        0    4  initial code, signed 32-bit (-1 = no record)
//        4    4  vehicle number, signed 32-bit
//        8    5  equipment type code: 4 characters and a terminating zero
//       13    2  outside length in inches, unsigned 16-bit
//       15    1  axle count
//       16    1  platform count (0 for locomotives)
//       17    2  tare weight, hundreds of pounds, unsigned 16-bit
//       19    2  load capacity, hundreds of pounds, unsigned 16-bit
//
// The struct is plain data so that the application data object can hold the
// current record without linking the UMLER library; the byte layout lives
// only in EncodeUmlerRecord / DecodeUmlerRecord.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

inline constexpr std::size_t kUmlerRecordSize = 21;
inline constexpr int32_t kNoUmlerRecord = -1;

// Vehicle key: the initial upper case, space-padded to 4 characters, then the
// number zero-padded to 6 digits ("NS  001234").
inline constexpr std::size_t kVehicleKeyLength = 10;

inline constexpr const char* kUmlerDataFileName = "umlerdata.uml";

struct UmlerRecord {
    int32_t initialCode = kNoUmlerRecord; // -1: no record
    int32_t number = 0;
    char typeCode[5] = {};                // always terminated
    uint16_t lengthInches = 0;
    uint8_t axles = 0;
    uint8_t platforms = 0;
    uint16_t tare = 0;                    // hundreds of pounds
    uint16_t capacity = 0;                // hundreds of pounds

    bool IsRecord() const { return initialCode != kNoUmlerRecord; }
};

// The explicit-offset serializer of the record (defined in the UMLER library).
void EncodeUmlerRecord(const UmlerRecord& r, uint8_t* out);       // writes 21 bytes
UmlerRecord DecodeUmlerRecord(const uint8_t* in);                 // reads 21 bytes

} // namespace velmora
