#include "print/LabelLayout.h"

#include "data/AEIData.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace velmora {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The integer value of a text: its leading decimal number after blanks and an
// optional sign, 0 when there is none; held within the int range.
int IntegerValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > std::numeric_limits<int>::max()) {
            v = std::numeric_limits<int>::max();
            break;
        }
    }
    return static_cast<int>(negative ? -v : v);
}

bool IsRailOrLoco(const TagFormatData& f) { return f.dataFormatCode == 41 || f.dataFormatCode == 51; }

uint8_t RowType(const TagFormatData& f, int row) { return f.type[row]; }

// A length in feet-inches as the label shows it: 50-6 as 50' 6" and 50 as
// 50' 0", each followed by two blanks.
std::string FeetInchesItem(std::string_view text) {
    const auto dash = text.find('-');
    if (dash == std::string_view::npos) return std::string(text) + "' 0\"  ";
    return std::string(text.substr(0, dash)) + "' " + std::string(text.substr(dash + 1)) + "\"  ";
}

class LayoutBuilder {
public:
    LayoutBuilder(const LabelInput& in, const LabelMetrics& m) : in_(in), m_(m) {}

    LabelLayout Build();

private:
    int Lh(LabelFont f) const { return std::max(0, m_.LineHeight(f)); }
    int Aw(LabelFont f) const { return std::max(0, m_.AverageWidth(f)); }
    void Draw(LabelFont font, std::string text, LabelRect rect, LabelAlign align = LabelAlign::Left) {
        out_.lines.push_back(LabelLine{font, std::move(text), rect, align});
    }
    std::string_view Field(int row) const { return in_.record.FieldText(row); }

    bool WabtecLines();        // false: no parts-list entry, the page stays empty
    int FirstLine();           // returns the row after the one the walk stopped at
    void NormalLines(int nextRow);
    void CertificationBlock(bool titleOnItsOwnLine);
    void Footer();

    const LabelInput& in_;
    const LabelMetrics& m_;
    LabelLayout out_;
    LabelFont font_ = LabelFont::Large;
    LabelRect rect_;
};

LabelLayout LayoutBuilder::Build() {
    const TagFormatData& f = in_.format;
    const LastTagRecord& r = in_.record;

    font_ = IsRailOrLoco(f) ? LabelFont::Large : LabelFont::SmallTitle;
    rect_ = LabelRect{0, 0, 2 * std::max(0, m_.pageWidth), Lh(LabelFont::Large)};

    const bool certificationOnly = r.certify && f.dataFormatCode == 51;
    bool wabtec = false;
    if (certificationOnly) {
        out_.kind = LabelKind::Certification;
    } else if (IsWabtecFormat(f)) {
        wabtec = true;
        if (!WabtecLines()) {
            out_.kind = LabelKind::WabtecEmpty;
            return std::move(out_);
        }
        out_.kind = LabelKind::Wabtec;
    } else {
        NormalLines(FirstLine());
    }

    // A certified tag that is not a railcar gets its lines above and then the
    // certification block, which starts on the line below them rather than
    // on top of the last one.
    if (r.certify) CertificationBlock(!certificationOnly);
    if (!wabtec) Footer();
    return std::move(out_);
}

bool LayoutBuilder::WabtecLines() {
    if (!in_.wabtec) return false;
    const std::string part = std::to_string(in_.wabtec->partNumber);
    const std::string eotNumber(Field(1));

    const int numberLine = Lh(LabelFont::Number);
    LabelRect number{0, 0, 20 * Aw(LabelFont::Number), numberLine};
    Draw(LabelFont::Number, part + "    " + eotNumber, number, LabelAlign::Center);
    out_.boxes.push_back(number);

    // One number line is left empty under the number line.
    const int bigLine = Lh(LabelFont::BigNumber);
    LabelRect first{0, 2 * numberLine, 8 * Aw(LabelFont::BigNumber), bigLine};
    Draw(LabelFont::BigNumber, eotNumber, first, LabelAlign::Center);
    out_.boxes.push_back(first);
    LabelRect second{0, first.top + bigLine, first.width, bigLine};
    Draw(LabelFont::BigNumber, part, second, LabelAlign::Center);

    font_ = LabelFont::BigNumber;
    rect_ = second;
    return true;
}

int LayoutBuilder::FirstLine() {
    const TagFormatData& f = in_.format;
    const bool track = IsTrackTagFormat(f);
    const int stopAfter = IsSaraFormat(f) ? 4 : 3;
    std::string line;
    int found = 0;
    int row = 0;
    for (; row < kFieldRows; ++row) {
        const std::string_view text = Field(row);
        if (text.empty()) continue;
        if (track) {
            line = "TRK " + std::string(Field(3)) + std::string(Field(4)) + " " +
                   TrackDirectionWord(Field(1), Field(2)) + "-End";
            ++row;
            break;
        }
        if (found == 0) {
            line = text;
            if (f.dataFormatCode != 0) line += ' ';
        } else if (RowType(f, row) == kTypeLength && !in_.feetInches) {
            line += std::string(text) + "dm  ";
        } else {
            line += std::string(text) + "  ";
        }
        if (++found == stopAfter) {
            ++row;
            break;
        }
    }
    Draw(font_, line, rect_);
    return row;
}

void LayoutBuilder::NormalLines(int nextRow) {
    const TagFormatData& f = in_.format;
    const bool track = IsTrackTagFormat(f);

    font_ = LabelFont::Text;
    rect_.top += Lh(LabelFont::Large) - 4;
    rect_.height = Lh(LabelFont::Text);

    const std::string date = LabelDateText(in_.now);
    std::string line = date + "  " + std::string(f.Name());
    if (IsSaraFormat(f)) line += "  ";
    else line += "(" + std::to_string(f.equipmentGroupCode) + ")  ";
    for (int row = nextRow; row < kFieldRows; ++row) {
        const std::string_view text = Field(row);
        if (text.empty()) continue;
        if (track) {
            line += text;
            continue;
        }
        const uint8_t type = RowType(f, row);
        if (type == kTypeBlank) continue;
        if (type == kTypeLength) line += in_.feetInches ? FeetInchesItem(text) : std::string(text) + "dm  ";
        else line += std::string(text) + "  ";
    }
    Draw(font_, line, rect_);
    rect_.top += Lh(LabelFont::Text);

    Draw(font_, LabelRfText(in_.record, f), rect_);
    rect_.top += Lh(LabelFont::Text);

    Draw(font_, "Prog by " + in_.programmedBy, rect_);
}

void LayoutBuilder::CertificationBlock(bool titleOnItsOwnLine) {
    const TagFormatData& f = in_.format;
    const bool recond = in_.record.reconditioned != 0;
    if (titleOnItsOwnLine) {
        rect_.top += rect_.height;
        rect_.left = 0;
        rect_.width = 2 * std::max(0, m_.pageWidth);
    }
    Draw(font_, recond ? "RECONDITIONED" : "CERTIFIED FOR REUSE", rect_);

    font_ = LabelFont::Text;
    rect_.top += Lh(LabelFont::Large) - 4;
    rect_.height = Lh(LabelFont::Text);
    rect_.left = 0;
    rect_.width = 2 * std::max(0, m_.pageWidth);

    std::string line = LabelDateText(in_.now) + " ";
    for (int row = 0; row < kFieldRows; ++row) {
        const std::string_view text = Field(row);
        if (text.empty()) continue;
        const uint8_t type = RowType(f, row);
        if (type == kTypeLength && in_.feetInches) line += FeetInchesItem(text);
        else if (type == kTypeSide) line += std::string(1, text[0]) + "  ";
        else if (type == kTypeLength) line += std::string(text) + "dm  ";
        else line += std::string(text) + "  ";
    }
    Draw(font_, line, rect_);
    rect_.top += Lh(LabelFont::Text);

    Draw(font_, (recond ? "Reconditioned by " : "Certified by ") + in_.programmedBy, rect_);
}

void LayoutBuilder::Footer() {
    const int footerLine = Lh(LabelFont::Footer);
    rect_.top += footerLine * 3 / 2;
    rect_.height = footerLine;
    rect_.left = 0;
    rect_.width = 2 * std::max(0, m_.pageWidth);
    Draw(LabelFont::Footer, kLabelFooterText, rect_);
    out_.hasFooter = true;
}

} // namespace

int LabelFontPixelHeight(int points, int dpiY) {
    // Multiply, then divide rounding halves away from zero.
    const int64_t product = static_cast<int64_t>(points) * dpiY;
    const int64_t half = 36;
    const int64_t v = product >= 0 ? (product + half) / 72 : -((-product + half) / 72);
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

std::vector<std::string> LabelLayout::Texts() const {
    std::vector<std::string> t;
    t.reserve(lines.size());
    for (const auto& l : lines) t.push_back(l.text);
    return t;
}

std::string LabelDateText(const LocalDateTime& now) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d/%d/%02d %d:%02d", now.month, now.day, now.year % 100, now.hour,
                  now.minute);
    return buf;
}

std::string LabelRfText(const LastTagRecord& r, const TagFormatData& f) {
    if (!IsRailOrLoco(f)) return {};
    switch (r.rfResult) {
    case kRfNotChecked: return "RF not checked  ";
    case kRfOk: return "RF Ok  ";
    case kRfIdOnly: return "RF ID only  ";
    default: return {};
    }
}

std::string TrackDirectionWord(std::string_view directionField, std::string_view milepostField) {
    const char c = directionField.empty() ? '\0' : directionField[0];
    const bool low = IntegerValue(milepostField) < 50;
    switch (c) {
    case 'N': return low ? "North" : "South";
    case 'S': return low ? "South" : "North";
    case 'W': return low ? "West" : "East";
    case 'E': return low ? "East" : "West";
    default: return "Unknown";
    }
}

bool IsWabtecFormat(const TagFormatData& f) { return StartsWith(f.Name(), "EOT WABTE"); }
bool IsTrackTagFormat(const TagFormatData& f) { return StartsWith(f.Name(), "Track Tag"); }
bool IsSaraFormat(const TagFormatData& f) { return StartsWith(f.Name(), "SARA"); }

std::string WabtecMark(const LastTagRecord& r) {
    std::string mark(r.FieldText(0));
    if (mark.size() < 4) mark.resize(4, ' ');
    return mark;
}

int WabtecTagTypeFlag(const LastTagRecord& r) { return r.TagType() == "AT5541" ? 1 : 0; }

LabelInput MakeLabelInput(AEIData& data) {
    LabelInput in;
    in.record = data.GetLastTagRecord();
    in.format = data.GetTagFormatData(in.record.formatIndex);
    const SettingsBlock s = data.GetSettings();
    in.feetInches = in.record.LengthsInFeetInches(s.feetInches != 0);
    in.programmedBy = std::string(GetText(s.programmedByCompany));
    in.now = data.GetClock().Now();
    if (IsWabtecFormat(in.format)) {
        const int index = data.FindWABTEC(WabtecMark(in.record), WabtecTagTypeFlag(in.record));
        if (index >= 0) in.wabtec = data.GetWABTECData(index);
    }
    return in;
}

LabelLayout BuildLabelLayout(const LabelInput& input, const LabelMetrics& metrics) {
    return LayoutBuilder(input, metrics).Build();
}

} // namespace velmora
