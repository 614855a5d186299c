// Two operator formats that shops commonly define and that the label treats
// in its own way: "EOT WABTEC" (the end-of-train device on the WABTEC parts
// list, laid out like "EOT Device") and "Track Tag" (a wayside marker:
// railroad, direction letter, milepost, track number and letter). They are
// not built in; the command-line tool offers them when the options hold no
// format of that name, and the tests use them.
#pragma once

#include "tagdata/TagFormatData.h"

#include <optional>
#include <string_view>

namespace velmora {

inline constexpr const char* kExampleWabtecName = "EOT WABTEC";
inline constexpr const char* kExampleTrackTagName = "Track Tag";

TagFormatData ExampleWabtecFormat();
TagFormatData ExampleTrackTagFormat();
// The example of that exact name, if there is one.
std::optional<TagFormatData> ExampleFormat(std::string_view name);

} // namespace velmora
