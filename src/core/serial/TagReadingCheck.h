// The comparison of a portable reader's tag reading with the tag just
// programmed (the last tag record and its format).
//
// A reading is a text line: the equipment initial in its first four
// characters, then the number (after one separator character when the fifth
// character is not a digit). An older reader stops there; a newer one goes on
// with comma-separated fields: number, equipment group code, side, length in
// decimeters, and for a railcar (group 19) axles, bearing code and platform
// code, for a locomotive (group 5) axles and bearing code.
#pragma once

#include "data/LastTagRecord.h"
#include "tagdata/TagFormatData.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

class AEIData;

enum class TagReadingResult { Ignore, Agrees, InitialAndNumber, Disagrees };

// A line whose first character is a decimal digit is no reading: Ignore.
// Otherwise each part must agree, or the reading Disagrees: the initial
// (the tag's padded with blanks to four characters), the number as an
// integer, the equipment group with the format's, the side's first character
// with the tag's side text's, the length within 1 dm of the tag's, the
// remaining fields as integers. A reading of initial and number only gives
// InitialAndNumber when they agree. Any other equipment group, a missing
// field, or a field without digits where a number belongs Disagrees.
TagReadingResult CheckTagReading(std::string_view line, const LastTagRecord& tag,
                                 const TagFormatData& format, bool feetInches);
// The same against the last tag record of the data, its format and the
// record's length units (those of the options unless they changed under the
// tag).
TagReadingResult CheckTagReading(AEIData& data, std::string_view line);

// The tag's length in decimeters. Its text is in the units in force when the
// tag was programmed: a text with "-" is feet-inches ((feet x 12 + inches) x
// 254 / 1000, truncated); a plain number is decimeters, or feet when lengths
// were in feet and inches. Since the units may have been switched since, the
// length the tag's frame holds decides between the two readings of a plain
// number; without a usable frame `feetInches` does. Nothing when the format
// has no length row.
std::optional<int64_t> TagLengthDecimeters(const LastTagRecord& tag, const TagFormatData& format,
                                           bool feetInches);

} // namespace velmora
