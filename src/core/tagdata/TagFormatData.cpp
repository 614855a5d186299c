#include "tagdata/TagFormatData.h"

#include "util/Bytes.h"
#include "util/FixedText.h"

#include <cstring>

namespace velmora {

namespace {
constexpr std::size_t kOffDefined = 0;
constexpr std::size_t kOffName = 1;
constexpr std::size_t kOffEquipment = 32;
constexpr std::size_t kOffFormatCode = 33;
constexpr std::size_t kOffTagType = 34;
constexpr std::size_t kOffFieldNames = 35;
constexpr std::size_t kOffStart = 500;
constexpr std::size_t kOffLength = 515;
constexpr std::size_t kOffType = 530;
constexpr std::size_t kOffMinimum = 545;
constexpr std::size_t kOffMaximum = 695;
constexpr std::size_t kOffDefault = 845;
constexpr std::size_t kOffSystem = 995;
constexpr std::size_t kOffDefaultTag = 996;
constexpr std::size_t kOffNotForReading = 997;
constexpr std::size_t kOffFullFrame = 998;
constexpr std::size_t kOffReserved = 999;

constexpr std::string_view kTypeTexts[kDataTypeCount] = {
    "ASCII (alpha/numeric)",
    "binary (alpha base 27)",
    "binary (alpha base 37)",
    "binary (numeric)",
    "binary (Trailer height base 37)",
    "binary (numeric divided by 2",
    "binary (numeric base 37 divided by 2)",
    "length (feet or decimeters)",
    "side indicator (left or right)",
    "hex)",
    "blank (delimiter)",
};
} // namespace

std::string_view DataTypeText(int code) {
    if (code < 0 || code >= kDataTypeCount) return {};
    return kTypeTexts[code];
}

void SetFormatRow(TagFormatData& f, int r, const FormatRow& row) {
    SetText(f.fieldName[r], row.name);
    f.startingBit[r] = row.start;
    f.length[r] = row.length;
    f.type[r] = row.type;
    SetText(f.minimum[r], row.minimum);
    SetText(f.maximum[r], row.maximum);
    SetText(f.defaultText[r], row.defaultText);
}

TagFormatData MakeTagFormat(const FormatHeader& h, std::initializer_list<FormatRow> rows) {
    TagFormatData f;
    f.defined = 1;
    f.fullFrame = 1;
    f.defaultTag = h.defaultTag;
    SetText(f.formatName, h.name);
    f.equipmentGroupCode = h.equipment;
    f.dataFormatCode = h.formatCode;
    f.tagTypeCode = h.tagType;
    for (int r = 0; r < kFieldRows; ++r) {
        f.startingBit[r] = kNotSet;
        f.length[r] = kNotSet;
        f.type[r] = kNotSet;
    }
    int r = 0;
    for (const FormatRow& row : rows) {
        if (r >= kFieldRows) break;
        SetFormatRow(f, r++, row);
    }
    return f;
}

int TagFormatData::RowCount() const {
    for (int r = 0; r < kFieldRows; ++r)
        if (fieldName[r][0] == '\0') return r;
    return kFieldRows;
}

bool TagFormatData::IsContinuation(int row) const {
    if (row <= 0 || row >= kFieldRows) return false;
    return FieldName(row) == FieldName(row - 1);
}

bool TagFormatData::IsShown(int row) const {
    if (row < 0 || row >= RowCount()) return false;
    return !IsContinuation(row) && type[row] != kTypeBlank;
}

std::string_view TagFormatData::Name() const { return GetText(formatName); }
std::string_view TagFormatData::FieldName(int row) const { return GetText(fieldName[row]); }
std::string_view TagFormatData::Minimum(int row) const { return GetText(minimum[row]); }
std::string_view TagFormatData::Maximum(int row) const { return GetText(maximum[row]); }
std::string_view TagFormatData::Default(int row) const { return GetText(defaultText[row]); }

void SerializeTagFormat(const TagFormatData& f, uint8_t* out) {
    using namespace bytes;
    std::memset(out, 0, kTagFormatDataSize);
    PutU8(out, kOffDefined, f.defined);
    PutText(out, kOffName, f.formatName, 31);
    PutU8(out, kOffEquipment, static_cast<uint8_t>(f.equipmentGroupCode));
    PutU8(out, kOffFormatCode, static_cast<uint8_t>(f.dataFormatCode));
    PutU8(out, kOffTagType, static_cast<uint8_t>(f.tagTypeCode));
    for (int r = 0; r < kFieldRows; ++r) {
        PutText(out, kOffFieldNames + 31 * r, f.fieldName[r], 31);
        PutU8(out, kOffStart + r, f.startingBit[r]);
        PutU8(out, kOffLength + r, f.length[r]);
        PutU8(out, kOffType + r, f.type[r]);
        PutText(out, kOffMinimum + 10 * r, f.minimum[r], 10);
        PutText(out, kOffMaximum + 10 * r, f.maximum[r], 10);
        PutText(out, kOffDefault + 10 * r, f.defaultText[r], 10);
    }
    PutU8(out, kOffSystem, f.systemSlot);
    PutU8(out, kOffDefaultTag, f.defaultTag);
    PutU8(out, kOffNotForReading, f.notForReading);
    PutU8(out, kOffFullFrame, f.fullFrame);
    PutRaw(out, kOffReserved, f.reserved, sizeof f.reserved);
}

TagFormatData DeserializeTagFormat(const uint8_t* in, std::size_t size) {
    using namespace bytes;
    uint8_t buf[kTagFormatDataSize] = {};
    std::memcpy(buf, in, size < kTagFormatDataSize ? size : kTagFormatDataSize);
    TagFormatData f;
    f.defined = GetU8(buf, kOffDefined);
    GetText(buf, kOffName, f.formatName, 31);
    f.equipmentGroupCode = static_cast<int8_t>(GetU8(buf, kOffEquipment));
    f.dataFormatCode = static_cast<int8_t>(GetU8(buf, kOffFormatCode));
    f.tagTypeCode = static_cast<int8_t>(GetU8(buf, kOffTagType));
    for (int r = 0; r < kFieldRows; ++r) {
        GetText(buf, kOffFieldNames + 31 * r, f.fieldName[r], 31);
        f.startingBit[r] = GetU8(buf, kOffStart + r);
        f.length[r] = GetU8(buf, kOffLength + r);
        f.type[r] = GetU8(buf, kOffType + r);
        GetText(buf, kOffMinimum + 10 * r, f.minimum[r], 10);
        GetText(buf, kOffMaximum + 10 * r, f.maximum[r], 10);
        GetText(buf, kOffDefault + 10 * r, f.defaultText[r], 10);
    }
    f.systemSlot = GetU8(buf, kOffSystem);
    f.defaultTag = GetU8(buf, kOffDefaultTag);
    f.notForReading = GetU8(buf, kOffNotForReading);
    f.fullFrame = GetU8(buf, kOffFullFrame);
    GetRaw(buf, kOffReserved, f.reserved, sizeof f.reserved);
    return f;
}

} // namespace velmora
