// Generated UMLER extracts for the tests: vehicles in ascending key order
// with random but known fields, written as 30-column lines. The expected
// values are kept beside the text, computed without the parser.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace velmora::test {

struct TestVehicle {
    std::string initial; // 1-4 upper-case letters
    int number = 0;
    std::string type;    // 4 characters
    int feet = 0, inches = 0;
    int axles = 0, platforms = 0; // counts, not codes
    int tare = 0, capacity = 0;
    bool locomotive = false;

    std::string Key() const {
        std::string k = initial;
        k.resize(4, ' ');
        std::string n = std::to_string(number);
        return k + std::string(6 - n.size(), '0') + n;
    }
};

inline char CountCode(int count, bool axle) {
    if (axle && count == 10) return '0';
    if (count == 0) return axle ? '?' : ' ';
    if (count <= 9) return static_cast<char>('0' + count);
    return static_cast<char>('A' + count - 11);
}

// One extract line of 30 characters.
inline std::string ExtractLine(const TestVehicle& v) {
    char buf[64];
    std::string ini = v.initial;
    ini.resize(4, ' ');
    if (v.locomotive) {
        // axle code at 22; 20, 21 and 26-29 hold noise the loader must ignore
        std::snprintf(buf, sizeof buf, "X%s%06d%-4.4s%03d%02d7Z%c   9876", ini.c_str(), v.number, v.type.c_str(),
                      v.feet, v.inches, CountCode(v.axles, true));
    } else {
        std::snprintf(buf, sizeof buf, " %s%06d%-4.4s%03d%02d%c%c%04d%04d", ini.c_str(), v.number,
                      v.type.c_str(), v.feet, v.inches, CountCode(v.axles, true), CountCode(v.platforms, false),
                      v.tare, v.capacity);
    }
    return buf;
}

// `count` vehicles in ascending key order: initials sorted as space-padded
// texts, numbers ascending and never consecutive within an initial, so a key
// between two vehicles always exists.
inline std::vector<TestVehicle> MakeVehicles(std::size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::set<std::string> initials;
    std::size_t wanted = std::max<std::size_t>(1, count / 200 + 1);
    while (initials.size() < wanted) {
        std::string s;
        int len = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < len; ++i) s += static_cast<char>('A' + rng() % 26);
        initials.insert(s);
    }
    std::vector<std::string> sorted;
    for (const auto& s : initials) {
        std::string p = s;
        p.resize(4, ' ');
        sorted.push_back(p);
    }
    std::sort(sorted.begin(), sorted.end()); // ' ' sorts before 'A'
    std::vector<TestVehicle> out;
    out.reserve(count);
    std::size_t perInitial = count / sorted.size() + 1;
    for (std::size_t i = 0; i < sorted.size() && out.size() < count; ++i) {
        std::string ini = sorted[i].substr(0, sorted[i].find(' '));
        int number = 1 + static_cast<int>(rng() % 5);
        for (std::size_t j = 0; j < perInitial && out.size() < count; ++j) {
            TestVehicle v;
            v.initial = ini;
            v.number = number;
            number += 2 + static_cast<int>(rng() % 3);
            v.locomotive = rng() % 10 == 0;
            static const char* kTypes[] = {"T106", "C114", "A402", "H340", "R100", "E   ", "LO5 "};
            v.type = v.locomotive ? (rng() % 2 ? "D100" : "D3  ") : kTypes[rng() % 7];
            v.feet = static_cast<int>(rng() % 100);
            v.inches = static_cast<int>(rng() % 12);
            v.axles = 1 + static_cast<int>(rng() % 36);
            if (v.axles == 10 && v.locomotive == false && rng() % 2) v.axles = 4;
            if (!v.locomotive) {
                v.platforms = static_cast<int>(rng() % 37);
                if (v.platforms == 10) v.platforms = 0; // no code for 10 platforms
                v.tare = static_cast<int>(rng() % 10000);
                v.capacity = static_cast<int>(rng() % 10000);
            }
            out.push_back(v);
        }
    }
    return out;
}

inline std::string ExtractText(const std::vector<TestVehicle>& vs, const char* eol = "\n") {
    std::string text;
    text.reserve(vs.size() * 32);
    for (const auto& v : vs) text += ExtractLine(v) + eol;
    return text;
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

} // namespace velmora::test
