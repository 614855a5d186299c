#include "print/ExampleFormats.h"

#include "util/FixedText.h"

#include <initializer_list>

namespace velmora {
namespace {

struct Row {
    const char* name;
    uint8_t start;
    uint8_t length;
    uint8_t type;
    const char* minimum;
    const char* maximum;
    const char* defaultText;
};

TagFormatData Make(const char* name, int8_t equipment, int8_t formatCode, uint8_t defaultTag,
                   std::initializer_list<Row> rows) {
    TagFormatData f;
    f.defined = 1;
    f.systemSlot = 0;
    f.fullFrame = 1;
    f.defaultTag = defaultTag;
    SetText(f.formatName, name);
    f.equipmentGroupCode = equipment;
    f.dataFormatCode = formatCode;
    f.tagTypeCode = 2;
    for (int r = 0; r < kFieldRows; ++r) {
        f.startingBit[r] = kNotSet;
        f.length[r] = kNotSet;
        f.type[r] = kNotSet;
    }
    int r = 0;
    for (const Row& row : rows) {
        SetText(f.fieldName[r], row.name);
        f.startingBit[r] = row.start;
        f.length[r] = row.length;
        f.type[r] = row.type;
        SetText(f.minimum[r], row.minimum);
        SetText(f.maximum[r], row.maximum);
        SetText(f.defaultText[r], row.defaultText);
        ++r;
    }
    return f;
}

constexpr uint8_t kTagAT5118 = 1;
constexpr uint8_t kTagAT5541 = 4;

} // namespace

TagFormatData ExampleWabtecFormat() {
    return Make(kExampleWabtecName, 6, 51, kTagAT5541,
                {
                    {"EOT Initial", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                    {"EOT Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                    {"EOT Type Code", 46, 2, kTypeNumeric, "0", "3", "0"},
                    {"Side Indicator Code", 48, 1, kTypeSide, "0", "1", "1"},
                });
}

TagFormatData ExampleTrackTagFormat() {
    return Make(kExampleTrackTagName, 0, 99, kTagAT5118,
                {
                    {"Railroad", 0, 24, kTypeAscii, "", "", ""},
                    {"Direction", 24, 6, kTypeAscii, "", "", "N"},
                    {"Milepost", 30, 20, kTypeNumeric, "0", "999999", "0"},
                    {"Track Number", 64, 12, kTypeAscii, "", "", "1"},
                    {"Track Letter", 76, 6, kTypeAscii, "", "", ""},
                });
}

std::optional<TagFormatData> ExampleFormat(std::string_view name) {
    if (name == kExampleWabtecName) return ExampleWabtecFormat();
    if (name == kExampleTrackTagName) return ExampleTrackTagFormat();
    return std::nullopt;
}

} // namespace velmora
