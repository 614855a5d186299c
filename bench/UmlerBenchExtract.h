// The generated UMLER extract the register benchmarks load: `lines` vehicles
// in key order (initials AAA, AAB, ... with 1,500 vehicles each, numbers
// ascending with gaps), 30 columns and CR LF, 32 bytes a line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

// Writes the extract to `path`; `onLine(initial, number, index)` sees each
// vehicle as it is written. Returns the generator, for draws that follow.
template <class OnLine>
std::mt19937 WriteUmlerBenchExtract(const std::string& path, std::size_t lines, OnLine onLine) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) throw std::runtime_error("cannot write " + path);
    std::mt19937 rng(2026);
    std::size_t written = 0;
    int initialIndex = 0;
    while (written < lines) {
        char ini[5] = "    ";
        const int v = initialIndex++;
        ini[0] = static_cast<char>('A' + v / (26 * 26) % 26);
        ini[1] = static_cast<char>('A' + v / 26 % 26);
        ini[2] = static_cast<char>('A' + v % 26);
        int number = 1 + static_cast<int>(rng() % 10);
        for (int j = 0; j < 1500 && written < lines; ++j, ++written) {
            const bool loco = rng() % 10 == 0;
            char line[64];
            std::snprintf(line, sizeof line, " %s%06d%s%03d%02d%c%c%04d%04d\r\n", ini, number, loco ? "D100" : "T106",
                          static_cast<int>(rng() % 100), static_cast<int>(rng() % 12), "12345678904ABC"[rng() % 14],
                          "1234 05"[rng() % 7], static_cast<int>(rng() % 10000), static_cast<int>(rng() % 10000));
            std::fputs(line, f.get());
            onLine(ini, number, written);
            number += 2 + static_cast<int>(rng() % 3);
        }
    }
    return rng;
}
