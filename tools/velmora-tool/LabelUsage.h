// The usage lines of velmora-tool label, shared by velmora-tool and the label
// program it hands the command to.
#pragma once

#include "FrameArgs.h"

#include <string>

namespace velmora::tool {

inline std::string LabelUsage() {
    return std::string("velmora-tool label --format NAME \"Field Name=value\" ... [--certify] [--reconditioned] "
                       "[--rf 0|1|2] [--tag-type T] [--programmed-by TEXT] [--out FILE.pdf] ") +
           kDataArgsUsage +
           "\n    writes the tag's label as a PDF (without --out: labels/<date>_<time>_<tag>.pdf);"
           " --reconditioned implies --certify; exit 2 when a value fails the check, 3 when nothing was written";
}

} // namespace velmora::tool
