#include "print/ExampleFormats.h"

namespace velmora {
namespace {

constexpr uint8_t kTagAT5118 = 1;
constexpr uint8_t kTagAT5541 = 4;

} // namespace

TagFormatData ExampleWabtecFormat() {
    return MakeTagFormat({kExampleWabtecName, 6, 51, 2, kTagAT5541},
                         {
                             {"EOT Initial", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                             {"EOT Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                             {"EOT Type Code", 46, 2, kTypeNumeric, "0", "3", "0"},
                             {"Side Indicator Code", 48, 1, kTypeSide, "0", "1", "1"},
                         });
}

TagFormatData ExampleTrackTagFormat() {
    return MakeTagFormat({kExampleTrackTagName, 0, 99, 2, kTagAT5118},
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
