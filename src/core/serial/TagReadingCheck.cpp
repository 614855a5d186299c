#include "serial/TagReadingCheck.h"

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "util/FixedText.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace velmora {

namespace {

constexpr int kBitInitial = 7;
constexpr int kBitNumber = 26;
constexpr int kBitAxles = 56;
constexpr int kBitBearing = 65;
constexpr int kBitPlatform = 68;
constexpr int kGroupRailcar = 19;
constexpr int kGroupLocomotive = 5;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading integer of a text after blanks and an optional sign, clamped
// to 32 bits; nothing when no digit follows.
std::optional<int64_t> IntegerOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
    int64_t v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT32_MAX) v = INT32_MAX + int64_t{1};
    }
    return negative ? -v : v;
}

int64_t TagInteger(std::string_view text) { return IntegerOf(text).value_or(0); }

// The first row in use with this Starting Bit, else `fallback` when that row
// is in use, else -1.
int RowByStartBit(const TagFormatData& f, int bit, int fallback) {
    const int rows = f.RowCount();
    for (int r = 0; r < rows; ++r)
        if (!f.IsContinuation(r) && f.startingBit[r] == bit) return r;
    return fallback < rows ? fallback : -1;
}

int RowOfType(const TagFormatData& f, uint8_t type) {
    const int rows = f.RowCount();
    for (int r = 0; r < rows; ++r)
        if (!f.IsContinuation(r) && f.type[r] == type) return r;
    return -1;
}

std::vector<std::string_view> SplitCommas(std::string_view s) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        if (comma == std::string_view::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, comma - start));
        start = comma + 1;
    }
}

// The length the tag's frame holds, when the frame and the field are usable.
std::optional<int64_t> FrameLength(const LastTagRecord& tag, const TagFormatData& f, int row) {
    TagBitArray bits{};
    if (!FrameTextToBits(tag.FrameText(), kFrameDigits, bits)) return std::nullopt;
    if (f.startingBit[row] == kNotSet || f.length[row] == kNotSet || f.length[row] == 0)
        return std::nullopt;
    int start2 = 0, length2 = 0;
    if (row + 1 < f.RowCount() && f.IsContinuation(row + 1) && f.startingBit[row + 1] != kNotSet &&
        f.length[row + 1] != kNotSet) {
        start2 = f.startingBit[row + 1];
        length2 = f.length[row + 1];
    }
    if (f.length[row] + length2 > 62) return std::nullopt;
    return static_cast<int64_t>(GetFieldBits(f.startingBit[row], f.length[row], bits, start2, length2));
}

} // namespace

std::optional<int64_t> TagLengthDecimeters(const LastTagRecord& tag, const TagFormatData& format,
                                           bool feetInches) {
    const int row = RowOfType(format, kTypeLength);
    if (row < 0) return std::nullopt;
    const std::string_view text = TrimBlanks(tag.FieldText(row));

    // Feet before the "-" and inches after it.
    const std::size_t dash = text.find('-');
    const int64_t feet = TagInteger(text.substr(0, dash));
    const int64_t inches = dash == std::string_view::npos ? 0 : TagInteger(text.substr(dash + 1));
    const int64_t fromFeet = (feet * 12 + inches) * 254 / 1000;
    if (dash != std::string_view::npos) return fromFeet;

    const int64_t asDecimeters = TagInteger(text);
    if (const auto inFrame = FrameLength(tag, format, row)) {
        if (*inFrame == asDecimeters) return asDecimeters;
        if (*inFrame == fromFeet) return fromFeet;
    }
    return feetInches ? fromFeet : asDecimeters;
}

TagReadingResult CheckTagReading(std::string_view line, const LastTagRecord& tag,
                                 const TagFormatData& format, bool feetInches) {
    if (!line.empty() && IsDigit(line.front())) return TagReadingResult::Ignore;

    // The initial, as the tag holds it: four characters, blank-padded.
    std::string initial(tag.FieldText(RowByStartBit(format, kBitInitial, 0)));
    initial.resize(4, ' ');
    if (line.size() < 4 || line.substr(0, 4) != initial) return TagReadingResult::Disagrees;

    std::size_t at = 4;
    if (at < line.size() && !IsDigit(line[at])) ++at; // one separator
    const std::string_view rest = at < line.size() ? line.substr(at) : std::string_view();
    const std::vector<std::string_view> fields = SplitCommas(rest);

    const auto number = IntegerOf(fields[0]);
    const int64_t tagNumber = TagInteger(tag.FieldText(RowByStartBit(format, kBitNumber, 1)));
    if (!number || *number != tagNumber) return TagReadingResult::Disagrees;
    if (fields.size() == 1) return TagReadingResult::InitialAndNumber;

    const int group = format.equipmentGroupCode;
    const std::size_t needed = group == kGroupRailcar ? 7 : group == kGroupLocomotive ? 6 : 0;
    if (needed == 0 || fields.size() < needed) return TagReadingResult::Disagrees;

    const auto readGroup = IntegerOf(fields[1]);
    if (!readGroup || *readGroup != group) return TagReadingResult::Disagrees;

    const std::string_view side = TrimBlanks(fields[2]);
    const std::string_view tagSide = TrimBlanks(tag.FieldText(RowOfType(format, kTypeSide)));
    if (side.empty() || tagSide.empty() || side.front() != tagSide.front())
        return TagReadingResult::Disagrees;

    const auto length = IntegerOf(fields[3]);
    const auto tagLength = TagLengthDecimeters(tag, format, feetInches);
    if (!length || !tagLength || *length < *tagLength - 1 || *length > *tagLength + 1)
        return TagReadingResult::Disagrees;

    const int bits[] = {kBitAxles, kBitBearing, kBitPlatform};
    for (std::size_t i = 4; i < needed; ++i) {
        const auto value = IntegerOf(fields[i]);
        const int row = RowByStartBit(format, bits[i - 4], kFieldRows);
        if (!value || *value != TagInteger(tag.FieldText(row))) return TagReadingResult::Disagrees;
    }
    return TagReadingResult::Agrees;
}

TagReadingResult CheckTagReading(AEIData& data, std::string_view line) {
    const LastTagRecord tag = data.GetLastTagRecord();
    // A record of no format has nothing a reading could agree with.
    const TagFormatData format =
        tag.formatIndex < kFormatSlots ? data.GetTagFormatData(tag.formatIndex) : TagFormatData{};
    return CheckTagReading(line, tag, format, tag.LengthsInFeetInches(data.GetSettings().feetInches != 0));
}

} // namespace velmora
