#include "umler/UmlerKey.h"

#include "util/FixedText.h"

namespace velmora {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string MakeVehicleKey(std::string_view initial, std::string_view number) {
    std::string key = UpperAscii(initial.substr(0, 4));
    key.append(4 - key.size(), ' ');
    if (number.size() < 6) key.append(6 - number.size(), '0');
    key.append(number);
    return key;
}

bool BuildVehicleKey(std::string_view initial, std::string_view number, std::string& key) {
    if (initial.empty() || initial.size() > 4 || number.empty() || number.size() > 6) return false;
    for (char c : initial)
        if (!IsLetter(c)) return false;
    for (char c : number)
        if (!IsDigit(c)) return false;
    key = MakeVehicleKey(initial, number);
    return true;
}

int32_t KeyInitialCode(std::string_view key) { return InitialCode(key.substr(0, 4)); }

int32_t KeyNumber(std::string_view key) {
    std::size_t i = 4;
    while (i < key.size() && key[i] == ' ') ++i;
    int32_t v = 0;
    for (int digits = 0; i < key.size() && IsDigit(key[i]) && digits < 9; ++i, ++digits)
        v = v * 10 + (key[i] - '0');
    return v;
}

} // namespace velmora
