// Little-endian byte access for the serializers of stored records. Each
// serializer names its offsets explicitly; these only move the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora::bytes {

inline void PutU8(uint8_t* p, std::size_t off, uint8_t v) { p[off] = v; }
inline uint8_t GetU8(const uint8_t* p, std::size_t off) { return p[off]; }

inline void PutU16(uint8_t* p, std::size_t off, uint16_t v) {
    p[off] = static_cast<uint8_t>(v);
    p[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline uint16_t GetU16(const uint8_t* p, std::size_t off) {
    return static_cast<uint16_t>(p[off] | (p[off + 1] << 8));
}

inline void PutU32(uint8_t* p, std::size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[off + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetU32(const uint8_t* p, std::size_t off) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[off + i]) << (8 * i);
    return v;
}
inline void PutI32(uint8_t* p, std::size_t off, int32_t v) { PutU32(p, off, static_cast<uint32_t>(v)); }
inline int32_t GetI32(const uint8_t* p, std::size_t off) { return static_cast<int32_t>(GetU32(p, off)); }

// A text field of the given width: written as stored (up to its NUL, rest
// zero), read back forced to end within the width.
inline void PutText(uint8_t* p, std::size_t off, const char* text, std::size_t width) {
    std::size_t n = 0;
    while (n < width && text[n] != '\0') ++n;
    if (n == width) n = width - 1;
    std::memcpy(p + off, text, n);
    std::memset(p + off + n, 0, width - n);
}
inline void GetText(const uint8_t* p, std::size_t off, char* text, std::size_t width) {
    std::memcpy(text, p + off, width);
    text[width - 1] = '\0';
}
inline void PutRaw(uint8_t* p, std::size_t off, const void* src, std::size_t n) { std::memcpy(p + off, src, n); }
inline void GetRaw(const uint8_t* p, std::size_t off, void* dst, std::size_t n) { std::memcpy(dst, p + off, n); }

// A record whose fields are listed once, as io.Field(offset, member) calls,
// is written with Writer and read with Reader from that one list. The
// member's type says how: 8, 16 and 32-bit numbers little-endian, char arrays
// as texts of their width, uint8_t arrays as raw bytes; any other type is
// refused at compile time rather than converted.
struct Writer {
    uint8_t* p;
    void Field(std::size_t off, uint8_t v) const { PutU8(p, off, v); }
    void Field(std::size_t off, uint16_t v) const { PutU16(p, off, v); }
    void Field(std::size_t off, uint32_t v) const { PutU32(p, off, v); }
    void Field(std::size_t off, int32_t v) const { PutI32(p, off, v); }
    template <std::size_t N>
    void Field(std::size_t off, const char (&text)[N]) const { PutText(p, off, text, N); }
    template <std::size_t N>
    void Field(std::size_t off, const uint8_t (&raw)[N]) const { PutRaw(p, off, raw, N); }
    template <class T>
    void Field(std::size_t off, const T& other) const = delete;
};

struct Reader {
    const uint8_t* p;
    void Field(std::size_t off, uint8_t& v) const { v = GetU8(p, off); }
    void Field(std::size_t off, uint16_t& v) const { v = GetU16(p, off); }
    void Field(std::size_t off, uint32_t& v) const { v = GetU32(p, off); }
    void Field(std::size_t off, int32_t& v) const { v = GetI32(p, off); }
    template <std::size_t N>
    void Field(std::size_t off, char (&text)[N]) const { GetText(p, off, text, N); }
    template <std::size_t N>
    void Field(std::size_t off, uint8_t (&raw)[N]) const { GetRaw(p, off, raw, N); }
    template <class T>
    void Field(std::size_t off, T& other) const = delete;
};

} // namespace velmora::bytes
