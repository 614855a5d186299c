// One tag format: how the fields of one kind of tag lie in the 120-bit frame.
// The options file stores the 40 slots back to back, 1098 bytes each, so the
// byte layout below is part of the file format.
//
//   0    1      defined flag
//   1    31     format name
//   32   1      equipment group code (signed)
//   33   1      data format code (signed; 99 = no code in the frame)
//   34   1      tag type code (1..4)
//   35   15x31  field names
//   500  15     starting bits (255 = not set)
//   515  15     lengths in bits (255 = not set)
//   530  15     data type codes 0..10 (255 = not set)
//   545  15x10  minimum texts
//   695  15x10  maximum texts
//   845  15x10  default texts
//   995  1      system slot flag
//   996  1      default tag type index
//   997  1      do not use when reading if another format is available
//   998  1      full-frame flag (0 = half-frame programmers only)
//   999  99     reserved
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace velmora {

inline constexpr int kFormatSlots = 40;
inline constexpr int kSystemSlots = 6;
inline constexpr int kFieldRows = 15;
inline constexpr std::size_t kTagFormatDataSize = 1098;
inline constexpr std::size_t kTagFormatDataV2Size = 997;

enum DataType : uint8_t {
    kTypeAscii = 0,
    kTypeAlpha27 = 1,
    kTypeAlpha37 = 2,
    kTypeNumeric = 3,
    kTypeTrailerHeight37 = 4,
    kTypeNumericDiv2 = 5,
    kTypeNumeric37Div2 = 6,
    kTypeLength = 7,
    kTypeSide = 8,
    kTypeHex = 9,
    kTypeBlank = 10,
};
inline constexpr int kDataTypeCount = 11;
inline constexpr uint8_t kNotSet = 255;

// The texts the format editor lists for data types 0..10, in code order.
std::string_view DataTypeText(int code);

struct TagFormatData {
    uint8_t defined = 0;
    char formatName[31] = {};
    int8_t equipmentGroupCode = 0;
    int8_t dataFormatCode = 0;
    int8_t tagTypeCode = 0;
    char fieldName[kFieldRows][31] = {};
    uint8_t startingBit[kFieldRows] = {};
    uint8_t length[kFieldRows] = {};
    uint8_t type[kFieldRows] = {};
    char minimum[kFieldRows][10] = {};
    char maximum[kFieldRows][10] = {};
    char defaultText[kFieldRows][10] = {};
    uint8_t systemSlot = 0;
    uint8_t defaultTag = 0;
    uint8_t notForReading = 0; // byte 997
    uint8_t fullFrame = 0;     // byte 998
    uint8_t reserved[99] = {};

    // Rows in use: those before the first empty field name (all 15 if none).
    int RowCount() const;
    // A row whose name equals the row before it: the low part of a split field.
    bool IsContinuation(int row) const;
    // A row the tag form shows: in use, not a continuation, not a blank.
    bool IsShown(int row) const;
    std::string_view Name() const;
    std::string_view FieldName(int row) const;
    std::string_view Minimum(int row) const;
    std::string_view Maximum(int row) const;
    std::string_view Default(int row) const;
};

// A format written as a table: its header and one line a field row.
struct FormatHeader {
    const char* name;
    int8_t equipment;
    int8_t formatCode;
    int8_t tagType;
    uint8_t defaultTag;
};
struct FormatRow {
    const char* name;
    uint8_t start;
    uint8_t length;
    uint8_t type;
    const char* minimum;
    const char* maximum;
    const char* defaultText;
};
// Row r of f set from a table line.
void SetFormatRow(TagFormatData& f, int r, const FormatRow& row);
// A defined full-frame operator format (not a system slot) with these rows,
// the rows after them not set; rows past the 15th are left out.
TagFormatData MakeTagFormat(const FormatHeader& h, std::initializer_list<FormatRow> rows);

// The one serializer of the stored layout.
void SerializeTagFormat(const TagFormatData& f, uint8_t* out /* kTagFormatDataSize */);
// Reads `size` bytes (1098, or 997 for the older file version whose records
// end before byte 997); texts are forced to end within their widths.
TagFormatData DeserializeTagFormat(const uint8_t* in, std::size_t size = kTagFormatDataSize);

} // namespace velmora
