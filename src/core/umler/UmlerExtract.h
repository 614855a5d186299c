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

} // namespace velmora
