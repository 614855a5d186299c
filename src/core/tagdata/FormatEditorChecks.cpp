// The OK checks of the tag format editor and the conversion between a stored
// format and the texts the editor shows.
#include "tagdata/FormatEditor.h"

#include "data/AEIData.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <cstdint>
#include <optional>

namespace velmora {

namespace {

// Widths of the editor's texts (characters, without the terminator).
constexpr std::size_t kNameChars = 30;
constexpr std::size_t kLimitChars = 9;
// Bit number 117 is the last a field may start at; 60 to 63 are not in the
// frame.
constexpr int kLastStartingBit = 117;
// The data format code that marks a format whose frame carries no code.
constexpr int kNoFormatCode = 99;

std::string Cut(std::string_view text, std::size_t chars) {
    return std::string(text.substr(0, chars));
}

// A number typed into one of the short number fields: empty, a plain run of
// digits, or something else. Large values stop growing at 99999, which every
// check refuses.
struct TypedNumber {
    bool empty = true;
    bool valid = true;
    int value = 0;
};

TypedNumber ReadNumber(std::string_view text) {
    TypedNumber n;
    text = TrimBlanks(text);
    if (text.empty()) return n;
    n.empty = false;
    for (char c : text) {
        if (c < '0' || c > '9') {
            n.valid = false;
            n.value = 0;
            return n;
        }
        if (n.value < 99999) n.value = n.value * 10 + (c - '0');
    }
    if (n.value > 99999) n.value = 99999;
    return n;
}

// A Minimum, Maximum or Default text read as a number the way the limits are
// compared for the numeric types: leading blanks, an optional sign, then
// digits up to the first other character; no digits give 0.
int64_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (v < 1000000000000LL) v = v * 10 + (text[i] - '0');
    return negative ? -v : v;
}

bool HasDigit(std::string_view t) {
    for (char c : t)
        if (c >= '0' && c <= '9') return true;
    return false;
}

bool HasLetter(std::string_view t) {
    for (char c : t)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    return false;
}

std::string NotDigitsText(const char* field) {
    return std::string("The ") + field + " field must contain only the digits 0 to 9.";
}

// The largest code a signed byte of the record holds.
constexpr int kLargestByteCode = 127;

std::string ByteCodeText(const char* field) {
    return std::string("The ") + field + " field must be a number from 0 to 127.";
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

std::string NumberText(int v) { return v == kNotSet ? std::string() : std::to_string(v); }

} // namespace

BitSpan FieldIndexSpan(int startingBit, int length) {
    const int first = startingBit >= 64 ? startingBit - 4 : startingBit;
    return BitSpan{first, first + length - 1};
}

FormatEditorValues ValuesFromRecord(const TagFormatData& f, AEIData& data) {
    FormatEditorValues v;
    v.name = std::string(f.Name());
    v.equipmentCode = std::to_string(f.equipmentGroupCode);
    v.formatCode = std::to_string(f.dataFormatCode);
    v.tagTypeCode = std::to_string(f.tagTypeCode);
    // Every named row is shown, also one below a row without a name (a
    // record written by an older version or another tool): the check of
    // such gaps then refuses the save instead of the later rows being lost.
    for (int r = 0; r < kFieldRows; ++r) {
        if (f.FieldName(r).empty()) continue;
        FormatEditorRow& row = v.rows[static_cast<std::size_t>(r)];
        row.name = std::string(f.FieldName(r));
        row.startingBit = NumberText(f.startingBit[r]);
        row.length = NumberText(f.length[r]);
        // A type the list does not have shows as the first entry.
        row.type = f.type[r] < kDataTypeCount ? f.type[r] : kTypeAscii;
        row.minimum = std::string(f.Minimum(r));
        row.maximum = std::string(f.Maximum(r));
        row.defaultText = std::string(f.Default(r));
    }
    v.defaultTag = f.defaultTag < kTagTypeSlots ? data.GetAchTagType(f.defaultTag) : std::string();
    v.notForReading = f.notForReading == 1;
    v.halfFrameOnly = f.fullFrame == 0;
    return v;
}

FormatEditorValues NewFormatValues(AEIData& data) {
    FormatEditorValues v;
    v.name = kNewFormatName;
    for (auto& row : v.rows) row.type = kTypeNumeric;
    v.defaultTag = data.GetAchTagType(1);
    return v;
}

FormatCheckResult CheckTagFormat(const FormatEditorValues& in, bool newFormat, int editSlot,
                                 const AEIData& data) {
    FormatCheckResult r;
    r.values = in;
    FormatEditorValues& v = r.values;
    // The dialog's edit boxes hold no more than these widths.
    v.name = Cut(v.name, kNameChars);
    for (auto& row : v.rows) {
        row.name = Cut(row.name, kNameChars);
        row.minimum = Cut(row.minimum, kLimitChars);
        row.maximum = Cut(row.maximum, kLimitChars);
        row.defaultText = Cut(row.defaultText, kLimitChars);
    }

    auto fail = [&r](std::string message, EditorControl control, int row = -1) {
        r.ok = false;
        r.message = std::move(message);
        r.focus = EditorFocus{control, row};
        return r;
    };

    // 1-2: the name.
    if (v.name.empty()) return fail("You must have a format name.", EditorControl::FormatName);
    const int sameName = data.FindTagFormatByName(v.name);
    // A format may keep its own name; taking the name of another format
    // would leave one of the two impossible to choose by name.
    if (sameName >= 0 && (newFormat || sameName != editSlot))
        return fail("The format name is already used.  Please change the format name", EditorControl::FormatName);

    // 3-5: the codes.
    const TypedNumber formatCode = ReadNumber(v.formatCode);
    if (!formatCode.valid) return fail(NotDigitsText("Format Code"), EditorControl::FormatCode);
    if (formatCode.value >= 64 && formatCode.value != kNoFormatCode)
        return fail("The Format Code field must be less than 63.", EditorControl::FormatCode);
    const bool aarFormat = formatCode.value == 41 || formatCode.value == 51;

    const TypedNumber equipment = ReadNumber(v.equipmentCode);
    if (!equipment.valid) return fail(NotDigitsText("Equipment Code"), EditorControl::EquipmentCode);
    if (aarFormat && equipment.value >= 32)
        return fail("The Equipment Code field must be less than 32.", EditorControl::EquipmentCode);
    // Whatever the format code, the record keeps the code in a signed byte.
    if (equipment.value > kLargestByteCode)
        return fail(ByteCodeText("Equipment Group Code"), EditorControl::EquipmentCode);

    const TypedNumber tagType = ReadNumber(v.tagTypeCode);
    if (!tagType.valid) return fail(NotDigitsText("Tag Type Code"), EditorControl::TagTypeCode);
    if (aarFormat && (tagType.value < 1 || tagType.value > 4))
        return fail("The Tag Type Code field must have a value of between 1 and 4.", EditorControl::TagTypeCode);
    if (tagType.value > kLargestByteCode)
        return fail(ByteCodeText("Tag Type Code"), EditorControl::TagTypeCode);

    // 6: the default tag and the half-frame box.
    int defaultTag = data.FindTagType(v.defaultTag);
    if (defaultTag < 0) defaultTag = 0;
    const bool halfFrame = v.halfFrameOnly;

    // 7: each row that has a name.
    std::array<int, kFieldRows> start{};
    std::array<int, kFieldRows> length{};
    for (int i = 0; i < kFieldRows; ++i) {
        FormatEditorRow& row = v.rows[static_cast<std::size_t>(i)];
        if (row.name.empty()) continue;

        const TypedNumber s = ReadNumber(row.startingBit);
        if (!s.valid) return fail(NotDigitsText("Starting Bit"), EditorControl::StartingBit, i);
        if (s.value >= 60 && s.value <= 63)
            return fail("The value in the Starting Bit field cannot be 60, 61, 62 or 63.", EditorControl::StartingBit,
                        i);
        if (s.value > kLastStartingBit)
            return fail("The value in the Starting Bit field has a number greater than 117.  The number has to be "
                        "less than 118.",
                        EditorControl::StartingBit, i);
        if (s.empty)
            return fail("The Starting Bit field must have a value if the Field Name is not blank.",
                        EditorControl::StartingBit, i);

        const TypedNumber len = ReadNumber(row.length);
        if (!len.valid) return fail(NotDigitsText("Length"), EditorControl::Length, i);
        const int end = s.value + len.value;
        if (s.value < 60 && end > 114)
            return fail("The Starting Bit (less than 60) and the Length fields field values cannot be greater than "
                        "114 when added together.",
                        EditorControl::Length, i);
        if (end > 124)
            return fail("The Starting Bit (greater than 63) and the Length fields field values cannot be greater "
                        "than 124 when added together.",
                        EditorControl::Length, i);
        if (halfFrame && end > 60)
            return fail("Fior half frame formats the Starting Bit and the Length fields field values cannot be "
                        "greater than 60 when added together.",
                        EditorControl::StartingBit, i);
        if (len.empty)
            return fail("The Length field must have a value if the Field Name is not blank.", EditorControl::Length,
                        i);
        if (len.value == 0) return fail("The Length field must have a value greater than 0.", EditorControl::Length, i);
        if (len.value > 60) return fail("The Length field value cannot be greater than 60.", EditorControl::Length, i);
        if (row.type < 0 || row.type >= kDataTypeCount)
            return fail("The Type field must hold one of the data types of its list.", EditorControl::Type, i);
        if (row.type == kTypeAscii && len.value % 6 != 0)
            return fail("The Length field value must be a multiple of 6 for ASCII data type fields.",
                        EditorControl::Length, i);
        if (row.type == kTypeHex && len.value % 4 != 0)
            return fail("The Length field value must be a multiple of 4 for Hex data type fields.",
                        EditorControl::Length, i);

        row.minimum = UpperAscii(row.minimum);
        row.maximum = UpperAscii(row.maximum);
        if (row.type == kTypeAlpha27) {
            const char* alphaOnly = " field.  For this data type there should only be alpha charaters.";
            if (HasDigit(row.minimum))
                return fail(std::string("There a digit character in the Minimum") + alphaOnly, EditorControl::Minimum,
                            i);
            if (HasDigit(row.maximum))
                return fail(std::string("There a digit character in the Maximum") + alphaOnly, EditorControl::Maximum,
                            i);
            if (HasDigit(row.defaultText))
                return fail(std::string("There a digit character in the Default") + alphaOnly, EditorControl::Default,
                            i);
        }
        const bool numeric = row.type == kTypeNumeric || row.type == kTypeLength || row.type == kTypeSide;
        if (numeric) {
            const char* digitsOnly = " field.  For this data type there should only be numeric charaters.";
            if (HasLetter(row.minimum))
                return fail(std::string("There an alpha character in the Minimum") + digitsOnly,
                            EditorControl::Minimum, i);
            if (HasLetter(row.maximum))
                return fail(std::string("There an alpha character in the Maximum") + digitsOnly,
                            EditorControl::Maximum, i);
            if (HasLetter(row.defaultText))
                return fail(std::string("There an alpha character in the Default") + digitsOnly,
                            EditorControl::Default, i);
        }
        if (row.type == kTypeSide) {
            row.minimum = "0";
            row.maximum = "1";
            if (LeadingNumber(row.defaultText) > 1)
                return fail("There Default field must be blank or contain a 0 or 1.", EditorControl::Default, i);
        }
        // The texts compare as the platform's locale orders them, so "10"
        // sorts before "9".
        if (LocaleCompare(row.maximum, row.minimum) < 0)
            return fail("The value in the Maximum field is greater than the value in the Minimum field.",
                        EditorControl::Maximum, i);
        if (!row.defaultText.empty()) {
            bool outside;
            if (numeric) {
                const int64_t d = LeadingNumber(row.defaultText);
                outside = d < LeadingNumber(row.minimum) || d > LeadingNumber(row.maximum);
            } else {
                outside = LocaleCompare(row.defaultText, row.minimum) < 0 ||
                          LocaleCompare(row.defaultText, row.maximum) > 0;
            }
            if (outside)
                return fail("The value in the Default field is outside of the values in the Minimum and Maximum "
                            "fields.",
                            EditorControl::Default, i);
        }
        start[static_cast<std::size_t>(i)] = s.value;
        length[static_cast<std::size_t>(i)] = len.value;
    }

    // 8: no two fields share a bit. Spans are taken in data bit indexes, so
    // a field that runs on past bit 59 into bit 64 is seen where it lies.
    for (int i = 0; i < kFieldRows; ++i) {
        if (v.rows[static_cast<std::size_t>(i)].name.empty()) continue;
        const BitSpan a = FieldIndexSpan(start[static_cast<std::size_t>(i)], length[static_cast<std::size_t>(i)]);
        for (int j = 0; j < kFieldRows; ++j) {
            if (j == i || v.rows[static_cast<std::size_t>(j)].name.empty()) continue;
            const BitSpan b =
                FieldIndexSpan(start[static_cast<std::size_t>(j)], length[static_cast<std::size_t>(j)]);
            const bool firstInside = a.first >= b.first && a.first <= b.last;
            const bool lastInside = a.last >= b.first && a.last <= b.last;
            const bool contains = a.first <= b.first && a.last >= b.last;
            if (firstInside || lastInside || contains)
                return fail("There is overlap of the binary fields (Start Bit and Length field values) in field names " +
                                Quoted(v.rows[static_cast<std::size_t>(i)].name) + " and " +
                                Quoted(v.rows[static_cast<std::size_t>(j)].name) + ".",
                            EditorControl::StartingBit, i);
        }
    }

    // The field list of a format ends at its first row without a name: a
    // field below such a row would be stored but never used.
    for (int i = 1; i < kFieldRows; ++i) {
        if (v.rows[static_cast<std::size_t>(i)].name.empty()) continue;
        for (int gap = 0; gap < i; ++gap) {
            if (!v.rows[static_cast<std::size_t>(gap)].name.empty()) continue;
            return fail("The Field Name of line " + std::to_string(gap + 1) +
                            " is blank but there are fields below it.  Fields after a blank Field Name are not "
                            "used, so please fill in the lines from the top without gaps.",
                        EditorControl::FieldName, gap);
        }
    }

    // 9-10: the record.
    TagFormatData& f = r.record;
    f.defined = 1;
    SetText(f.formatName, v.name);
    f.equipmentGroupCode = static_cast<int8_t>(equipment.value);
    f.dataFormatCode = static_cast<int8_t>(formatCode.value);
    f.tagTypeCode = static_cast<int8_t>(tagType.value);
    for (int i = 0; i < kFieldRows; ++i) {
        const FormatEditorRow& row = v.rows[static_cast<std::size_t>(i)];
        if (row.name.empty()) {
            f.startingBit[i] = kNotSet;
            f.length[i] = kNotSet;
            f.type[i] = kNotSet;
            continue;
        }
        SetText(f.fieldName[i], row.name);
        f.startingBit[i] = static_cast<uint8_t>(start[static_cast<std::size_t>(i)]);
        f.length[i] = static_cast<uint8_t>(length[static_cast<std::size_t>(i)]);
        f.type[i] = static_cast<uint8_t>(row.type);
        SetText(f.minimum[i], row.minimum);
        SetText(f.maximum[i], row.maximum);
        SetText(f.defaultText[i], row.defaultText);
    }
    f.systemSlot = 0;
    f.defaultTag = static_cast<uint8_t>(defaultTag);
    f.notForReading = v.notForReading ? 1 : 0;
    f.fullFrame = halfFrame ? 0 : 1;
    r.ok = true;
    return r;
}

} // namespace velmora
