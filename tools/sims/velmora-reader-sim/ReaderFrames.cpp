#include "ReaderFrames.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <cstdlib>

namespace velmora::readersim {

namespace {

std::string Fit(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string LocalText(const char* format) {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &local);
    return buf;
}

// The reader's own reading of a frame, written from the bit layout: 120 data
// bits, four per hexadecimal digit, most significant first; bit numbers 60 to
// 63 are not on the tag, so bit number n >= 64 is data bit n - 4. A field's
// most significant bit comes first.
class FrameBits {
public:
    explicit FrameBits(const std::string& digits) {
        for (std::size_t i = 0; i < digits.size() && i < 30; ++i) {
            const char c = digits[i];
            const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 0;
            for (int b = 0; b < 4; ++b) bits_[i * 4 + b] = (v >> (3 - b)) & 1;
        }
    }
    // `length` bits from bit number `start`, running on past bit number 59
    // at 64.
    long Field(int start, int length) const {
        long value = 0;
        const int first = start < 64 ? start : start - 4;
        for (int i = first; i < first + length && i < 120; ++i) value = value << 1 | bits_[i];
        return value;
    }

private:
    int bits_[120] = {};
};

// Four letters in base 27: blank is 0, A to Z are 1 to 26, the first letter
// stored one lower.
std::string Initial(long value) {
    std::string text(4, ' ');
    for (int i = 3; i >= 0; --i) {
        const long digit = value % 27 + (i == 0 ? 1 : 0);
        value /= 27;
        text[i] = digit == 0 ? ' ' : static_cast<char>('A' + digit - 1);
    }
    return text;
}

} // namespace

std::string Framed(std::string_view body) {
    std::string f(1, kSTX);
    f.append(body.data(), body.size());
    f += kETX;
    return f;
}

std::vector<std::string> FrameAssembler::Feed(std::string_view bytes) {
    std::vector<std::string> frames;
    for (char c : bytes) {
        if (c == kSTX) {
            inFrame_ = true;
            frame_.clear();
        } else if (c == kETX) {
            if (inFrame_) frames.push_back(frame_);
            Reset();
        } else if (inFrame_ && frame_.size() < kMaxFrame) {
            frame_ += c;
        }
    }
    return frames;
}

std::string TodayText() { return LocalText("%m/%d/%y"); }
std::string NowText() { return LocalText("%H:%M:%S"); }

std::string BuildSsp(const ReaderBehaviour& b, bool brokenDate) {
    std::string date = b.date.empty() ? TodayText() : b.date;
    if (brokenDate)
        for (char& c : date)
            if (c == '/') c = '-';
    const std::string time = b.time.empty() ? NowText() : b.time;
    return "SSP" + Fit(b.userId, 8) + Fit(date, 8) + " " + Fit(time, 8) + Fit(b.battery, 3) + Fit(b.alarm1, 3) +
           Fit(b.alarm2, 3) + Fit(b.alarm3, 3) + b.firmware;
}

std::optional<TagFields> DecodeTag(const std::string& digits, std::string& problem) {
    const FrameBits bits(digits);
    const long code = bits.Field(118, 6);
    const long group = bits.Field(0, 5);
    // The standard formats the reader knows carry data format code 51 and one
    // of these equipment groups: railcar, locomotive, end-of-train device,
    // container. The rest are free text (code 0, or 99 with group 0).
    if (code != 51 || (group != 19 && group != 5 && group != 6 && group != 10)) {
        if (code == 0 || (code == 99 && group == 0))
            problem = "the tag " + digits + " (" + (code == 0 ? "ASCII" : "Hex") +
                      ") has no equipment initial and number";
        else
            problem = "the tag " + digits + " is of no format the reader knows";
        return std::nullopt;
    }
    TagFields t;
    t.initial = Initial(bits.Field(7, 19));
    t.number = bits.Field(26, 20);
    t.group = static_cast<int>(group);
    t.full = group == 19 || group == 5;
    if (!t.full) return t;
    t.side = bits.Field(46, 1) ? 'R' : 'L';
    // A railcar's 12-bit length: 3 high bits at 94, 9 low bits at 47.
    t.lengthDm = group == 19 ? bits.Field(94, 3) << 9 | bits.Field(47, 9) : bits.Field(47, 9);
    t.axles = bits.Field(56, 5) + 1;
    t.bearing = bits.Field(65, 3);
    if (group == 19) t.platform = bits.Field(68, 4);
    return t;
}

std::string BuildReading(const TagFields& tag, ReadingKind kind) {
    // A tag with initial and number only is made wrong by its number.
    const bool wrongNumber = kind == ReadingKind::WrongNumber || (kind == ReadingKind::WrongLength && !tag.full);
    const long number = wrongNumber ? tag.number + 1 : tag.number;
    std::string line = tag.initial + " " + std::to_string(number);
    if (kind == ReadingKind::Old || !tag.full) return line;
    const long length = kind == ReadingKind::WrongLength ? tag.lengthDm + 2 : tag.lengthDm;
    line += "," + std::to_string(tag.group) + "," + std::string(1, tag.side) + "," + std::to_string(length) + "," +
            std::to_string(tag.axles) + "," + std::to_string(tag.bearing);
    if (tag.group == 19) line += "," + std::to_string(tag.platform);
    return line;
}

std::string GarbageBytes() {
    static constexpr unsigned char kJunk[] = {0x00, 0xFF, 0x7E, 0x15, kSTX, 'Z', 'Q', 0x80, 0x1B};
    return std::string(reinterpret_cast<const char*>(kJunk), sizeof kJunk);
}

} // namespace velmora::readersim
