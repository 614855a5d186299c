// Generated UMLER extracts for the tests: vehicles in ascending key order
// with random but known fields, written as 30-column lines. The expected
// values are kept beside the text, computed without the parser.
#pragma once

#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"

#include <gtest/gtest.h>

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
        char buf[16];
        std::snprintf(buf, sizeof buf, "%-4.4s%06d", initial.c_str(), number);
        return buf;
    }
};

inline char CountCode(int count, bool axle) {
    if (axle && count == 10) return '0';
    if (count == 0) return axle ? '?' : ' ';
    return static_cast<char>(count <= 9 ? '0' + count : 'A' + count - 11);
}

// One extract line of 30 characters. A locomotive has its axle code at 22;
// 20, 21 and 26-29 hold noise the loader must ignore.
inline std::string ExtractLine(const TestVehicle& v) {
    char buf[64];
    if (v.locomotive)
        std::snprintf(buf, sizeof buf, "X%-4.4s%06d%-4.4s%03d%02d7Z%c   9876", v.initial.c_str(), v.number,
                      v.type.c_str(), v.feet, v.inches, CountCode(v.axles, true));
    else
        std::snprintf(buf, sizeof buf, " %-4.4s%06d%-4.4s%03d%02d%c%c%04d%04d", v.initial.c_str(), v.number,
                      v.type.c_str(), v.feet, v.inches, CountCode(v.axles, true), CountCode(v.platforms, false),
                      v.tare, v.capacity);
    return buf;
}

// `count` vehicles in ascending key order: initials sorted as space-padded
// texts, numbers ascending and never consecutive within an initial, so a key
// between two vehicles always exists.
inline std::vector<TestVehicle> MakeVehicles(std::size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::set<std::string> initials; // space-padded: ' ' sorts before 'A'
    while (initials.size() < count / 200 + 1) {
        std::string s;
        for (int i = 0, len = 1 + static_cast<int>(rng() % 4); i < len; ++i) s += static_cast<char>('A' + rng() % 26);
        s.resize(4, ' ');
        initials.insert(s);
    }
    static const char* kTypes[] = {"T106", "C114", "A402", "H340", "R100", "E   ", "LO5 "};
    std::vector<TestVehicle> out;
    const std::size_t perInitial = count / initials.size() + 1;
    for (auto it = initials.begin(); it != initials.end() && out.size() < count; ++it) {
        int number = 1 + static_cast<int>(rng() % 5);
        for (std::size_t j = 0; j < perInitial && out.size() < count; ++j) {
            TestVehicle v;
            v.initial = it->substr(0, it->find(' '));
            v.number = number;
            number += 2 + static_cast<int>(rng() % 3);
            v.locomotive = rng() % 10 == 0;
            v.type = v.locomotive ? (rng() % 2 ? "D100" : "D3  ") : kTypes[rng() % 7];
            v.feet = static_cast<int>(rng() % 100);
            v.inches = static_cast<int>(rng() % 12);
            v.axles = 1 + static_cast<int>(rng() % 36);
            if (v.axles == 10 && !v.locomotive && rng() % 2) v.axles = 4;
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
    for (const auto& v : vs) text += ExtractLine(v) + eol;
    return text;
}

inline void WriteText(const std::string& path, const std::string& text) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

inline void ExpectVehicle(const UmlerRecord& r, const TestVehicle& v) {
    ASSERT_TRUE(r.IsRecord()) << v.Key();
    EXPECT_EQ(r.initialCode, InitialCode(v.initial)) << v.Key();
    EXPECT_EQ(r.number, v.number) << v.Key();
    EXPECT_EQ(std::string(r.typeCode), v.type) << v.Key();
    EXPECT_EQ(r.lengthInches, v.feet * 12 + v.inches) << v.Key();
    EXPECT_EQ(r.axles, v.axles) << v.Key();
    EXPECT_EQ(r.platforms, v.platforms) << v.Key();
    EXPECT_EQ(r.tare, v.tare) << v.Key();
    EXPECT_EQ(r.capacity, v.capacity) << v.Key();
}

} // namespace velmora::test
