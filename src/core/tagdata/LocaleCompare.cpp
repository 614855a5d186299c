// The text order of Minimum and Maximum limits: a portable stand-in for the
// case-sensitive locale comparison of single-byte texts that the limits were
// written against.
//
// Characters sort by class first, then within their class:
//   1. control characters (0x01-0x1F, 0x7F), by byte value
//   2. the blank
//   3. punctuation and symbols (!"#$%&'()*+,-./:;<=>?@[\]^_`{|}~), by byte value
//   4. digits 0-9
//   5. letters, A/a to Z/z, without regard to case
//   6. bytes 0x80-0xFF, by byte value
// Two texts are compared by these weights character by character, a text that
// is a prefix of the other sorting first ("10" before "9", "AB" before "abc").
// Only when the weights of both texts are all equal does case decide: at the
// first character where they differ, the lower-case letter sorts first
// ("abc" before "Abc" before "ABC"). Texts are equal only when identical.
#include "tagdata/ValueCheck.h"

namespace velmora {

namespace {

int Weight(unsigned char c) {
    int cls = 0;
    int sub = c;
    if (c < 0x20 || c == 0x7F) {
        cls = 0;
    } else if (c == ' ') {
        cls = 1;
    } else if (c >= '0' && c <= '9') {
        cls = 3;
    } else if (c >= 'A' && c <= 'Z') {
        cls = 4;
        sub = c - 'A' + 'a';
    } else if (c >= 'a' && c <= 'z') {
        cls = 4;
    } else if (c >= 0x80) {
        cls = 5;
    } else {
        cls = 2; // the remaining printable characters: punctuation and symbols
    }
    return cls * 256 + sub;
}

} // namespace

int LocaleCompare(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int wa = Weight(static_cast<unsigned char>(a[i]));
        const int wb = Weight(static_cast<unsigned char>(b[i]));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    // Same weights and length: only letters of different case can differ.
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        const bool aLower = a[i] >= 'a' && a[i] <= 'z';
        return aLower ? -1 : 1;
    }
    return 0;
}

} // namespace velmora
