// Arbitrary bytes as a UMLER text extract: every line (ended by CR, LF or
// CR LF) through the line parser,
// then the whole text through the streaming loader between memory streams.
// Every field stays within what its columns can hold, nothing reads past a
// line, the parser agrees with a plain restatement of the line rules, and the
// loader writes exactly the records the parser gives for the
// non-blank lines, in order, with progress in ascending whole percents.
#include "umler/UmlerExtract.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckFields(const velmora::UmlerRecord& r, std::string_view line) {
    Check(std::memchr(r.typeCode, '\0', sizeof r.typeCode) != nullptr);
    Check(r.number >= 0 && r.number <= 999999);
    Check(r.lengthInches <= 999 * 12 + 99);
    Check(r.axles <= 36 && r.platforms <= 36);
    Check(r.tare <= 9999 && r.capacity <= 9999);
    if (line.size() > 11 && line[11] == 'D') Check(r.platforms == 0 && r.tare == 0 && r.capacity == 0);
}

// The line rules written out once more, character by character, without any
// shortcut: the parser must agree with it on every line.
velmora::UmlerRecord Reference(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto ch = [&](std::size_t i) -> int { return i < line.size() ? static_cast<unsigned char>(line[i]) : -1; };
    auto num = [&](std::size_t pos, std::size_t width) {
        std::size_t i = pos;
        while (i < pos + width && ch(i) == ' ') ++i;
        int v = 0;
        while (i < pos + width && ch(i) >= '0' && ch(i) <= '9') v = v * 10 + (ch(i++) - '0');
        return v;
    };
    auto count = [&](int c, bool axle) {
        if (c >= '1' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'Z') return c - 'A' + 11;
        return (axle && c == '0') ? 10 : 0;
    };
    velmora::UmlerRecord r;
    static const int kWeights[4] = {27000, 900, 30, 1};
    r.initialCode = 0;
    for (int i = 0; i < 4; ++i) {
        int c = ch(1 + i);
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A'; // the initial is taken in upper case
        r.initialCode += (c == -1 || c == ' ' ? 0 : c - 64) * kWeights[i];
    }
    r.number = num(5, 6);
    for (int i = 0; i < 4; ++i) r.typeCode[i] = ch(11 + i) == -1 ? '\0' : static_cast<char>(ch(11 + i));
    r.lengthInches = static_cast<uint16_t>(num(15, 3) * 12 + num(18, 2));
    if (ch(11) == 'D') {
        r.axles = static_cast<uint8_t>(count(ch(22), true));
    } else {
        r.axles = static_cast<uint8_t>(count(ch(20), true));
        r.platforms = static_cast<uint8_t>(count(ch(21), false));
        r.tare = static_cast<uint16_t>(num(22, 4));
        r.capacity = static_cast<uint16_t>(num(26, 4));
    }
    return r;
}

bool SameRecord(const velmora::UmlerRecord& a, const velmora::UmlerRecord& b) {
    return a.initialCode == b.initialCode && a.number == b.number &&
           std::memcmp(a.typeCode, b.typeCode, sizeof a.typeCode) == 0 && a.lengthInches == b.lengthInches &&
           a.axles == b.axles && a.platforms == b.platforms && a.tare == b.tare && a.capacity == b.capacity;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    // The parser on every line (CR, LF and CR LF each end one), each in its
    // own exactly-sized buffer so that the sanitizer sees any read past its end.
    std::vector<UmlerRecord> expected;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find_first_of("\r\n", start);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::vector<char> own(text.begin() + static_cast<long>(start), text.begin() + static_cast<long>(end));
        std::string_view line(own.data(), own.size());
        UmlerRecord r = ParseUmlerLine(line);
        CheckFields(r, line);
        Check(SameRecord(r, Reference(line)));
        std::string_view bare = line;
        if (!bare.empty() && bare.back() == '\r') bare.remove_suffix(1);
        if (!bare.empty()) expected.push_back(r);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
        if (text[nl] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }

    // The loader between memory streams.
    if (size == 0) return 0; // a memory stream needs at least one byte
    std::vector<uint8_t> inBuf(data, data + size);
    std::vector<uint8_t> outBuf((expected.size() + 1) * kUmlerRecordSize);
    std::FILE* in = fmemopen(inBuf.data(), inBuf.size(), "rb");
    std::FILE* out = fmemopen(outBuf.data(), outBuf.size(), "wb");
    if (!in || !out) std::abort();
    int last = -1;
    UmlerLoadResult res = ConvertUmlerExtract(in, out, size, [&](int p) {
        Check(p > last && p >= 0 && p <= 100);
        last = p;
        return true;
    });
    long written = std::ftell(out);
    std::fclose(in);
    std::fclose(out);
    Check(res.Ok());
    Check(last == 100);
    Check(res.recordsWritten == expected.size());
    Check(written == static_cast<long>(expected.size() * kUmlerRecordSize));
    for (std::size_t i = 0; i < expected.size(); ++i)
        Check(SameRecord(DecodeUmlerRecord(outBuf.data() + i * kUmlerRecordSize), expected[i]));
    return 0;
}
