#include "umler/UmlerRecord.h"

#include "util/Bytes.h"

namespace velmora {

namespace {
constexpr std::size_t kOffInitial = 0;
constexpr std::size_t kOffNumber = 4;
constexpr std::size_t kOffType = 8; // 4 characters, then the zero at 12
constexpr std::size_t kOffLength = 13;
constexpr std::size_t kOffAxles = 15;
constexpr std::size_t kOffPlatforms = 16;
constexpr std::size_t kOffTare = 17;
constexpr std::size_t kOffCapacity = 19;
static_assert(kOffCapacity + 2 == kUmlerRecordSize);
} // namespace

void EncodeUmlerRecord(const UmlerRecord& r, uint8_t* out) {
    using namespace bytes;
    PutI32(out, kOffInitial, r.initialCode);
    PutI32(out, kOffNumber, r.number);
    // The type code is copied as 4 raw characters (a short code is already
    // zero-filled in the struct), followed by the terminating zero.
    PutRaw(out, kOffType, r.typeCode, 4);
    PutU8(out, kOffType + 4, 0);
    PutU16(out, kOffLength, r.lengthInches);
    PutU8(out, kOffAxles, r.axles);
    PutU8(out, kOffPlatforms, r.platforms);
    PutU16(out, kOffTare, r.tare);
    PutU16(out, kOffCapacity, r.capacity);
}

UmlerRecord DecodeUmlerRecord(const uint8_t* in) {
    using namespace bytes;
    UmlerRecord r;
    r.initialCode = GetI32(in, kOffInitial);
    r.number = GetI32(in, kOffNumber);
    GetRaw(in, kOffType, r.typeCode, 4);
    r.typeCode[4] = '\0'; // whatever byte 12 holds in a damaged file
    r.lengthInches = GetU16(in, kOffLength);
    r.axles = GetU8(in, kOffAxles);
    r.platforms = GetU8(in, kOffPlatforms);
    r.tare = GetU16(in, kOffTare);
    r.capacity = GetU16(in, kOffCapacity);
    return r;
}

} // namespace velmora
