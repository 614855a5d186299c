#include "tagwindow/FormRules.h"

#include "tagdata/ValueCheck.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace velmora {

namespace {

bool ValidRow(int row) { return row >= 0 && row < kFieldRows; }

// The leading decimal number of a text (blanks before it skipped), held below
// 10^9 so that the conversions that follow stay in range.
int64_t LeadingNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > 999999999) v = 999999999;
    }
    return v;
}

std::string Format(const char* fmt, long long a, long long b = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

} // namespace

int FieldTextLimit(const TagFormatData& f, int row) {
    if (!ValidRow(row)) return 1;
    const std::size_t maxChars = f.Maximum(row).size();
    int limit = maxChars == 0 ? 11 : static_cast<int>(maxChars) + 1;
    if (f.type[row] == kTypeAscii) limit = f.length[row] / 6 + 1;
    if (f.type[row] == kTypeHex) limit = f.length[row] / 4 + 1;
    if (f.type[row] == kTypeLength) limit += 2;
    return limit;
}

int FieldAdvanceCount(const TagFormatData& f, int row, bool feetInches) {
    if (!ValidRow(row)) return 0;
    int count = static_cast<int>(f.Maximum(row).size());
    if (f.type[row] == kTypeAscii) count = f.length[row] / 6;
    if (f.type[row] == kTypeHex) count = f.length[row] / 4;
    if (f.type[row] == kTypeLength && feetInches) count += 2;
    return count;
}

std::string FieldFilterClass(const TagFormatData& f, int row, bool feetInches) {
    if (!ValidRow(row)) return {};
    switch (f.type[row]) {
    case kTypeLength: return feetInches ? "0-9-" : "0-9";
    case kTypeAlpha27: return "a-zA-Z \t";
    case kTypeAlpha37: return "0-9a-zA-Z ";
    case kTypeNumeric: return "0-9";
    default: return {};
    }
}

std::string FieldLabel(const TagFormatData& f, int row, bool feetInches) {
    if (!ValidRow(row)) return {};
    std::string label(f.FieldName(row));
    if (f.type[row] == kTypeLength) label += feetInches ? " (Feet-Inches)" : " (Decimeters)";
    return label;
}

FormNotes BuildFormNotes(const TagFormatData& f, const FieldTexts& texts, const TagFormMarks& marks,
                         bool feetInches) {
    FormNotes out;
    const int rows = f.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (!f.IsShown(row)) continue;
        const bool isLength = f.type[row] == kTypeLength;
        const std::string_view text = texts[static_cast<std::size_t>(row)];
        if (!marks.error[static_cast<std::size_t>(row)]) {
            if (!isLength) continue;
            if (feetInches) {
                const std::size_t dash = text.find('-');
                const int64_t feet = LeadingNumber(text.substr(0, dash));
                const int64_t inches = dash == std::string_view::npos ? 0 : LeadingNumber(text.substr(dash + 1));
                if (inches > 11) {
                    out.notes.push_back({row, "Error(inches over 11)", true});
                    out.anyError = true;
                } else {
                    out.notes.push_back(
                        {row, Format("%lld Decimeters", static_cast<long long>(InchesToDecimeters64(feet * 12 + inches))),
                         false});
                }
            } else {
                const int64_t dm = LeadingNumber(text);
                const int64_t inches = static_cast<int64_t>(DecimetersToInches64(static_cast<uint64_t>(dm)));
                out.notes.push_back({row, Format("%lld Feet %lld Inches", inches / 12, inches % 12), false});
            }
            continue;
        }
        out.anyError = true;
        std::string note;
        if (isLength && feetInches) {
            const int64_t lo = static_cast<int64_t>(DecimetersToInches64(LimitNumber(f.Minimum(row)))) / 12;
            const int64_t hi = static_cast<int64_t>(DecimetersToInches64(LimitNumber(f.Maximum(row)))) / 12;
            note = Format("Error (%lld ft to %lld ft)", lo, hi);
        } else if (f.type[row] == kTypeHex) {
            note = "Error (0 to F)";
        } else {
            note = "Error (" + std::string(f.Minimum(row)) + " to " + std::string(f.Maximum(row)) + ")";
        }
        out.notes.push_back({row, note, true});
    }
    if (out.anyError) return out;

    for (int row = 0; row < rows; ++row) {
        if (!f.IsShown(row)) continue;
        const int32_t v = marks.umlerValue[static_cast<std::size_t>(row)];
        if (v == -1) continue;
        if (f.type[row] == kTypeLength) {
            if (feetInches) {
                const long long inches = v < 0 ? 0 : v;
                char buf[64];
                std::snprintf(buf, sizeof buf, "UMLER(%lld'%02lld\")", inches / 12, inches % 12);
                out.notes.push_back({row, buf, true});
            } else {
                out.notes.push_back({row, Format("UMLER(%lld dm)", static_cast<long long>(InchesToDecimeters(v))), true});
            }
        } else {
            out.notes.push_back({row, Format("UMLER (%lld)", static_cast<long long>(v)), true});
        }
    }
    if (marks.umlerClass == 1) out.classNote = "UMLER Railcar";
    else if (marks.umlerClass == 0) out.classNote = "UMLER Locomotive";
    return out;
}

} // namespace velmora
