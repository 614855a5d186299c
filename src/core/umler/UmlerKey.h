// The vehicle key and the initial code by which the UMLER data file is
// ordered and searched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// One initial character: 0 for a space, otherwise its character code minus 64
// ("A" = 1 ... "Z" = 26).
inline int32_t InitialCharValue(unsigned char c) { return c == ' ' ? 0 : static_cast<int32_t>(c) - 64; }

// first x 27000 + second x 900 + third x 30 + fourth over the first four
// characters; missing characters count as spaces. Ascending codes follow the
// alphabetical order of space-padded initials.
inline int32_t InitialCode(std::string_view initial) {
    auto v = [&](std::size_t i) { return InitialCharValue(i < initial.size() ? static_cast<unsigned char>(initial[i]) : ' '); };
    return v(0) * 27000 + v(1) * 900 + v(2) * 30 + v(3);
}

// The key of a vehicle: the initial upper-cased, cut to 4 characters and
// padded with spaces, then the number padded on the left with "0" to 6 digits.
// It does not check the characters; see BuildVehicleKey.
std::string MakeVehicleKey(std::string_view initial, std::string_view number);

// What the Find dialog and the command line accept: an initial of 1 to 4
// letters and a number of 1 to 6 digits. False (key untouched) otherwise, for
// which the operator is shown "Invalid vehicle number.".
bool BuildVehicleKey(std::string_view initial, std::string_view number, std::string& key);

// The two halves of a key: the initial code of characters 0-3 and the number
// read from character 4 on (leading spaces allowed, reading stops at the first
// non-digit, at most 9 digits so it always fits).
int32_t KeyInitialCode(std::string_view key);
int32_t KeyNumber(std::string_view key);

// Order of the register: initial code first, then the vehicle number.
inline int CompareUmlerKeys(int32_t codeA, int32_t numberA, int32_t codeB, int32_t numberB) {
    if (codeA != codeB) return codeA < codeB ? -1 : 1;
    if (numberA != numberB) return numberA < numberB ? -1 : 1;
    return 0;
}

} // namespace velmora
