// Where a field lies in the 120 data bits, and moving runs of its bits in and
// out of the bit array. Used by the frame builder and decoder; callers outside
// the tag data code use PutFieldBits and GetFieldBits (TagFrame.h).
#pragma once

#include "tagdata/TagFrame.h"

#include <cstdint>

namespace velmora {

// A field: Length bits from the data index of its Starting Bit, followed by
// the second part of a split field (length2 0 = none). Position 0 is the most
// significant bit of the field. Positions whose data index would fall outside
// 0..119 (a Starting Bit of 60-63 or above 123, or a length running past the
// last data bit) have no place: they are neither written nor read.
struct FieldPlace {
    int startBit1 = 0;
    int length1 = 0;
    int startBit2 = 0;
    int length2 = 0;

    int Total() const; // length1 + length2 (negative lengths count as 0)
    // Data index of a position of the field, -1 when it has no place.
    int IndexAt(int position) const;
};

// Writes the low `count` bits of value at positions position..position+count-1,
// most significant first. Value bits above bit 63 are written as 0.
void WriteFieldBits(const FieldPlace& place, int position, int count, uint64_t value,
                    TagBitArray& bits);
// Reads `count` bits from position onward, the first the most significant;
// only the low 64 bits of the result are kept. Positions without a place read 0.
uint64_t ReadFieldBits(const FieldPlace& place, int position, int count, const TagBitArray& bits);

} // namespace velmora
