// Fixed-width single-byte texts as the stored records keep them: a text of a
// field of width N holds at most N-1 characters and always ends within the
// field. Every copy into such a field goes through these helpers.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace velmora {

// Copies at most width-1 characters of src into dst, terminates it and clears
// the rest of the field.
inline void CopyFixed(char* dst, std::size_t width, std::string_view src) {
    if (width == 0) return;
    std::size_t n = src.size() < width - 1 ? src.size() : width - 1;
    if (n) std::memcpy(dst, src.data(), n);
    std::memset(dst + n, 0, width - n);
}

// The text of a field: up to its first NUL, never past its width.
inline std::string_view FixedView(const char* src, std::size_t width) {
    std::size_t n = 0;
    while (n < width && src[n] != '\0') ++n;
    return std::string_view(src, n);
}

template <std::size_t N>
inline void SetText(char (&dst)[N], std::string_view src) { CopyFixed(dst, N, src); }

template <std::size_t N>
inline std::string_view GetText(const char (&src)[N]) { return FixedView(src, N); }

// Forces a field loaded from outside to end within its width.
template <std::size_t N>
inline void Terminate(char (&dst)[N]) { dst[N - 1] = '\0'; }

// ASCII upper case, locale independent.
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = UpperAscii(c);
    return r;
}

// The text without the blanks and tabs around it.
inline std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

} // namespace velmora
