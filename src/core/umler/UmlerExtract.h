// One line of the UMLER text extract, positions counted from 0:
//
//   0      not used
//   1-4    equipment initial, letters padded with spaces
//   5-10   vehicle number
//   11-14  equipment type code; a first character "D" marks a locomotive
//   15-17  outside length, feet
//   18-19  outside length, inches
//   20     railcar: axle count code
//   21     railcar: platform count code
//   22-25  railcar: tare weight (hundreds of pounds); locomotive: 22 is the axle count code
//   26-29  railcar: load capacity (hundreds of pounds)
#pragma once

#include "umler/UmlerRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

// Count codes: "1"-"9" are 1-9 and "A"-"Z" are 11-36; "0" is 10 axles but no
// platform, a space is no platform. Any other character gives 0.
int AxleCount(char code);
int PlatformCount(char code);

// The decimal number in columns [pos, pos + width) of the line: leading spaces
// allowed, reading stops at the first non-digit and at the end of the line.
// A column the line does not reach gives 0.
int ReadColumnNumber(std::string_view line, std::size_t pos, std::size_t width);

// Builds the record of one line (given without its line end; a trailing
// carriage return is ignored). The initial is taken in upper case. Fields the
// line does not reach, or that hold no digits, are 0; nothing past the line
// is read.
UmlerRecord ParseUmlerLine(std::string_view line);

// True when the line's key columns hold what a lookup can find: an initial of
// 1 to 4 letters (then spaces) at positions 1-4 and a number of digits
// (after leading spaces) at positions 5-10.
bool UmlerLineHasVehicleKey(std::string_view line);

// The columns a line holds when every field is in it.
inline constexpr std::size_t kUmlerFullLine = 30;

// The loader's path for a line that holds every column: `p` points at its
// first kUmlerFullLine characters, none of them a line end. Writes the 21
// bytes EncodeUmlerRecord(ParseUmlerLine(line)) would write, sets `code` and
// `number` to the record's key and returns UmlerLineHasVehicleKey(line), all
// in one pass over the columns and without building a record.
bool EncodeFullUmlerLine(const char* p, uint8_t* out, int32_t& code, int32_t& number);

} // namespace velmora
