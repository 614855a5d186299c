#include "umler/UmlerExtract.h"

#include "umler/UmlerKey.h"
#include "util/Bytes.h"

#include <cstring>

namespace velmora {

namespace {

// The count code letters "A"-"Z" stand for 11-36.
int LetterCount(char code) { return (code >= 'A' && code <= 'Z') ? code - 'A' + 11 : 0; }

// Digits of a column that is known to lie inside the line.
inline int Digits(const char* p, std::size_t width) {
    std::size_t i = 0;
    while (i < width && p[i] == ' ') ++i;
    int v = 0;
    for (; i < width && static_cast<unsigned>(p[i] - '0') < 10u; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

// How much of the column [pos, pos + width) the line holds.
inline std::size_t Held(std::size_t size, std::size_t pos, std::size_t width) {
    return pos >= size ? 0 : (size - pos < width ? size - pos : width);
}

// The initial code of the initial columns, lower-case letters taken as
// upper case (lookups upper-case the initial they are given).
int32_t LineInitialCode(const char* p, std::size_t n) {
    char initial[4];
    for (std::size_t i = 0; i < n; ++i) initial[i] = (p[i] >= 'a' && p[i] <= 'z') ? static_cast<char>(p[i] - 32) : p[i];
    return InitialCode(std::string_view(initial, n));
}

} // namespace

bool UmlerLineHasVehicleKey(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() < 11) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    // Initial: 1 to 4 letters from position 1, then spaces.
    std::size_t i = 1;
    while (i < 5 && letter(line[i])) ++i;
    if (i == 1) return false;
    for (; i < 5; ++i)
        if (line[i] != ' ') return false;
    // Number: leading spaces, then at least one digit up to position 10.
    i = 5;
    while (i < 11 && line[i] == ' ') ++i;
    if (i == 11) return false;
    for (; i < 11; ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    return true;
}

int AxleCount(char code) {
    if (code == '0') return 10;
    if (code >= '1' && code <= '9') return code - '0';
    return LetterCount(code);
}

int PlatformCount(char code) {
    if (code >= '1' && code <= '9') return code - '0';
    return LetterCount(code); // "0", a space and anything else: 0
}

int ReadColumnNumber(std::string_view line, std::size_t pos, std::size_t width) {
    return Digits(line.data() + (pos < line.size() ? pos : 0), Held(line.size(), pos, width));
}

namespace {

// The fields after the type code, from a line that holds every column (the
// common case, kept free of length checks).
template <std::size_t W>
inline int FixedDigits(const char* p) {
    return Digits(p, W);
}

void FullLineFields(const char* p, UmlerRecord& r) {
    r.lengthInches = static_cast<uint16_t>(FixedDigits<3>(p + 15) * 12 + FixedDigits<2>(p + 18));
    if (p[11] == 'D') {
        r.axles = static_cast<uint8_t>(AxleCount(p[22]));
        return; // platforms, tare and capacity stay 0 for a locomotive
    }
    r.axles = static_cast<uint8_t>(AxleCount(p[20]));
    r.platforms = static_cast<uint8_t>(PlatformCount(p[21]));
    r.tare = static_cast<uint16_t>(FixedDigits<4>(p + 22));
    r.capacity = static_cast<uint16_t>(FixedDigits<4>(p + 26));
}

// Count code tables: one load per code instead of a chain of comparisons.
struct CountTables {
    uint8_t axles[256] = {};
    uint8_t platforms[256] = {};
    constexpr CountTables() {
        for (int c = 0; c < 256; ++c) {
            axles[c] = static_cast<uint8_t>(AxleCountOf(static_cast<char>(c)));
            platforms[c] = static_cast<uint8_t>(PlatformCountOf(static_cast<char>(c)));
        }
    }
    static constexpr int AxleCountOf(char c) {
        return c == '0' ? 10 : (c >= '1' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'Z') ? c - 'A' + 11 : 0;
    }
    static constexpr int PlatformCountOf(char c) {
        return (c >= '1' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'Z') ? c - 'A' + 11 : 0;
    }
};
constexpr CountTables kCounts;

inline bool IsDigitChar(char c) { return static_cast<unsigned>(c - '0') < 10u; }
inline bool IsLetterChar(char c) { return static_cast<unsigned>((c | 0x20) - 'a') < 26u; }

// An initial character's value, lower case taken as upper case.
inline int32_t InitialValue(char c) {
    const char u = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return InitialCharValue(static_cast<unsigned char>(u));
}

// A column of W characters: one pass without branches when every character
// is a digit (the usual case), the general reading otherwise.
template <std::size_t W>
inline int ColumnDigits(const char* p) {
    unsigned v = 0;
    bool all = true;
    for (std::size_t i = 0; i < W; ++i) {
        const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(p[i])) - '0';
        all &= d < 10u;
        v = v * 10 + d;
    }
    return all ? static_cast<int>(v) : Digits(p, W);
}

} // namespace

bool EncodeFullUmlerLine(const char* p, uint8_t* out, int32_t& code, int32_t& number) {
    using namespace bytes;
    // Key: an initial of 1 to 4 letters then spaces at 1-4, a number of
    // digits after leading spaces at 5-10.
    std::size_t i = 1;
    while (i < 5 && IsLetterChar(p[i])) ++i;
    bool key = i > 1;
    for (; key && i < 5; ++i) key = p[i] == ' ';
    if (key) {
        i = 5;
        while (i < 11 && p[i] == ' ') ++i;
        key = i < 11;
        for (; key && i < 11; ++i) key = IsDigitChar(p[i]);
    }

    code = InitialValue(p[1]) * 27000 + InitialValue(p[2]) * 900 + InitialValue(p[3]) * 30 + InitialValue(p[4]);
    number = ColumnDigits<6>(p + 5);
    PutI32(out, 0, code);
    PutI32(out, 4, number);
    std::memcpy(out + 8, p + 11, 4);
    out[12] = 0;
    PutU16(out, 13, static_cast<uint16_t>(ColumnDigits<3>(p + 15) * 12 + ColumnDigits<2>(p + 18)));
    if (p[11] == 'D') {
        // platforms, tare and capacity are 0 for a locomotive
        out[15] = kCounts.axles[static_cast<unsigned char>(p[22])];
        std::memset(out + 16, 0, 5);
    } else {
        out[15] = kCounts.axles[static_cast<unsigned char>(p[20])];
        out[16] = kCounts.platforms[static_cast<unsigned char>(p[21])];
        PutU16(out, 17, static_cast<uint16_t>(ColumnDigits<4>(p + 22)));
        PutU16(out, 19, static_cast<uint16_t>(ColumnDigits<4>(p + 26)));
    }
    return key;
}

UmlerRecord ParseUmlerLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const char* p = line.data();
    const std::size_t n = line.size();
    // Every column read below is cut to what the line holds: nothing past it is read.
    auto number = [&](std::size_t pos, std::size_t width) {
        std::size_t w = Held(n, pos, width);
        return w ? Digits(p + pos, w) : 0;
    };
    auto at = [&](std::size_t pos) { return pos < n ? p[pos] : '\0'; };

    UmlerRecord r;
    if (n >= 30) {
        r.initialCode = LineInitialCode(p + 1, 4);
        r.number = FixedDigits<6>(p + 5);
        std::memcpy(r.typeCode, p + 11, 4);
        FullLineFields(p, r);
        return r;
    }

    r.initialCode = LineInitialCode(n > 1 ? p + 1 : p, Held(n, 1, 4));
    r.number = number(5, 6);
    const std::size_t typeLen = Held(n, 11, 4);
    for (std::size_t i = 0; i < typeLen; ++i) r.typeCode[i] = p[11 + i];

    // 3 + 2 digits at most: 999 x 12 + 99 fits 16 bits.
    r.lengthInches = static_cast<uint16_t>(number(15, 3) * 12 + number(18, 2));

    if (at(11) == 'D') {
        r.axles = static_cast<uint8_t>(AxleCount(at(22)));
        // platforms, tare and capacity stay 0 for a locomotive
    } else {
        r.axles = static_cast<uint8_t>(AxleCount(at(20)));
        r.platforms = static_cast<uint8_t>(PlatformCount(at(21)));
        r.tare = static_cast<uint16_t>(number(22, 4));
        r.capacity = static_cast<uint16_t>(number(26, 4));
    }
    return r;
}

} // namespace velmora
