// Rewrites a whole file safely: the bytes go to a temporary file in the same
// directory ("<name>.tmp"), which is flushed to the disk and then renamed over
// the target. A crash or a full disk leaves the old file or the new one, never
// half of one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// True when the file now holds exactly these bytes. On failure the target is
// untouched, the temporary file is removed and `error` (when given) receives
// the operating system's reason.
bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, std::size_t size,
                         std::string* error = nullptr);

// The temporary file a replacement of `path` writes first.
std::string ReplacementTempPath(const std::string& path);

} // namespace velmora
