// The options file "programmer option.ads": the settings, the programmer
// state, the printer records, the recent tag lines and the 40 tag formats,
// with a signature at both ends. Version 4 files are exactly 51652 bytes.
#pragma once

#include "data/AEIData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kOptionsFileName = "programmer option.ads";
inline constexpr std::size_t kOptionsFileSize = 51652;
inline constexpr int32_t kOptionsFileVersion = 4;
extern const uint8_t kOptionsSignature[16];

// Sets every option to its default and builds the built-in formats.
void SetOptionDefaults(AEIData& data);

// 0 read, 1 not an options file (signature), 3 cannot be opened. Defaults are
// set first in every case; a short file keeps what was read. Something other
// than a regular file at the name is not opened: it is named in an error box
// and the defaults stay. `problem` (when given) receives the reason for 3.
// Every 0/1 flag is loaded as 0 or 1 (any other byte counts as on).
int LoadOptions(AEIData& data, const std::string& path, std::string* problem = nullptr);
// The same from bytes already in memory (used by the loader and the fuzzer).
int LoadOptionsFromBytes(AEIData& data, const uint8_t* bytes, std::size_t size);

// 0 saved, 3 could not be created (after the "Could not open or create the
// Option File!" box). Written to a temporary file beside the target, flushed
// and renamed over it, so a failed save leaves the old file whole.
// Something other than a regular file at the name (or at the end of a
// symbolic link) is left as it is and named in the box instead.
int SaveOptions(AEIData& data, const std::string& path, std::string* problem = nullptr);
// The version 4 image of the options.
std::vector<uint8_t> OptionsToBytes(AEIData& data);

// "<start directory>programmer option.ads"
std::string OptionsFilePath(const AEIData& data);

} // namespace velmora
