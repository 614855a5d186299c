// The tag log read back at start: any bytes give at most the asked number of
// lines, each within the line limit, never reading outside the input.
#include "data/TagLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t maxLines = size == 0 ? 1 : 1 + data[0] % 64;
    const auto lines = velmora::TagLogTailOfBytes(bytes, maxLines);
    if (lines.size() > maxLines) std::abort();
    for (const auto& l : lines)
        if (l.empty() || l.size() > velmora::kTagLogMaxLineLength || l.find('\n') != std::string::npos)
            std::abort();
    return 0;
}
