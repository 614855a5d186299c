#include "umler/UmlerExtract.h"

#include "umler/UmlerKey.h"

namespace velmora {

namespace {

// The count code letters "A"-"Z" stand for 11-36.
int LetterCount(char code) { return (code >= 'A' && code <= 'Z') ? code - 'A' + 11 : 0; }

char CharAt(std::string_view line, std::size_t pos) { return pos < line.size() ? line[pos] : '\0'; }

std::string_view Column(std::string_view line, std::size_t pos, std::size_t width) {
    if (pos >= line.size()) return {};
    return line.substr(pos, width);
}

} // namespace

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
    std::string_view col = Column(line, pos, width);
    std::size_t i = 0;
    while (i < col.size() && col[i] == ' ') ++i;
    int v = 0;
    for (; i < col.size() && col[i] >= '0' && col[i] <= '9'; ++i) v = v * 10 + (col[i] - '0');
    return v;
}

UmlerRecord ParseUmlerLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    UmlerRecord r;
    r.initialCode = InitialCode(Column(line, 1, 4));
    r.number = ReadColumnNumber(line, 5, 6);
    std::string_view type = Column(line, 11, 4);
    for (std::size_t i = 0; i < type.size(); ++i) r.typeCode[i] = type[i];

    // 3 + 2 digits at most: 999 x 12 + 99 fits 16 bits.
    r.lengthInches = static_cast<uint16_t>(ReadColumnNumber(line, 15, 3) * 12 + ReadColumnNumber(line, 18, 2));

    if (CharAt(line, 11) == 'D') {
        r.axles = static_cast<uint8_t>(AxleCount(CharAt(line, 22)));
        // platforms, tare and capacity stay 0 for a locomotive
    } else {
        r.axles = static_cast<uint8_t>(AxleCount(CharAt(line, 20)));
        r.platforms = static_cast<uint8_t>(PlatformCount(CharAt(line, 21)));
        r.tare = static_cast<uint16_t>(ReadColumnNumber(line, 22, 4));
        r.capacity = static_cast<uint16_t>(ReadColumnNumber(line, 26, 4));
    }
    return r;
}

} // namespace velmora
