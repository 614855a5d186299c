#include "ReaderFrames.h"

#include "data/AEIData.h"
#include "platform/Operator.h"
#include "tagdata/TagFrame.h"

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

// The first row in use with this Starting Bit; -1 when none.
int RowAt(const TagFormatData& f, int bit) {
    for (int r = 0; r < f.RowCount(); ++r)
        if (!f.IsContinuation(r) && f.startingBit[r] == bit) return r;
    return -1;
}

int RowOfType(const TagFormatData& f, int type) {
    for (int r = 0; r < f.RowCount(); ++r)
        if (!f.IsContinuation(r) && f.type[r] == type) return r;
    return -1;
}

long Number(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

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
    SilentOperator op;
    SystemClock clock;
    AEIData data(op, clock);
    data.BuildBuiltInFormats();
    const DecodedFrame d = DecodeTagFrame(data, digits, false, kRegionNorthAmerica, false);
    if (!d.identified) {
        problem = "the tag " + digits + " is of no format the reader knows";
        return std::nullopt;
    }
    const TagFormatData f = data.GetTagFormatData(d.formatIndex);
    const int initialRow = RowAt(f, 7);
    const int numberRow = RowAt(f, 26);
    if (initialRow < 0 || numberRow < 0) {
        problem = "the tag " + digits + " (" + std::string(f.Name()) + ") has no equipment initial and number";
        return std::nullopt;
    }
    TagFields t;
    t.initial = Fit(d.texts[initialRow], 4);
    t.number = Number(d.texts[numberRow]);
    t.group = f.equipmentGroupCode;
    t.full = t.group == 19 || t.group == 5;
    const int side = RowOfType(f, kTypeSide);
    t.side = side >= 0 && d.texts[side] == "RIGHT" ? 'R' : 'L';
    const int length = RowOfType(f, kTypeLength);
    if (length >= 0) t.lengthDm = Number(d.texts[length]);
    if (const int r = RowAt(f, 56); r >= 0) t.axles = Number(d.texts[r]);
    if (const int r = RowAt(f, 65); r >= 0) t.bearing = Number(d.texts[r]);
    if (const int r = RowAt(f, 68); r >= 0) t.platform = Number(d.texts[r]);
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
