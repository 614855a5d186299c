#include "tagwindow/ImportList.h"

#include "data/AEIData.h"
#include "data/ReplaceFile.h"
#include "data/TagLog.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/ProgramRequest.h"
#include "util/FixedText.h"

#include <map>
#include <sstream>

namespace velmora {

namespace {

bool Blank(std::string_view s) { return TrimBlanks(s).empty(); }

// The rows a form shows, in form order: the columns of a list without header.
std::vector<int> ShownRowsInOrder(const TagFormatData& f) {
    std::vector<int> rows;
    for (int r = 0; r < f.RowCount(); ++r)
        if (f.IsShown(r)) rows.push_back(r);
    return rows;
}

int RowNamed(const TagFormatData& f, std::string_view name) {
    for (int r = 0; r < f.RowCount(); ++r)
        if (f.IsShown(r) && f.FieldName(r) == name) return r;
    return -1;
}

struct FormatInfo {
    TagFormatData format;
    std::vector<int> shown;
    std::string tagType;
};

class FormatCache {
public:
    FormatCache(AEIData& data, const ImportListOptions& o) : data_(data), options_(o) {}
    const FormatInfo* Get(int index) {
        auto it = cache_.find(index);
        if (it != cache_.end()) return it->second.format.defined == 1 ? &it->second : nullptr;
        FormatInfo info;
        info.format = data_.GetTagFormatData(index);
        info.shown = ShownRowsInOrder(info.format);
        info.tagType = options_.tagType.empty() ? data_.GetAchTagType(info.format.defaultTag) : options_.tagType;
        auto& stored = cache_[index] = std::move(info);
        return stored.format.defined == 1 ? &stored : nullptr;
    }

private:
    AEIData& data_;
    const ImportListOptions& options_;
    std::map<int, FormatInfo> cache_;
};

void Refuse(ImportLine& line, std::string reason) {
    line.state = ImportLineState::Refused;
    line.reason = std::move(reason);
}

// The check of a line whose texts are in place.
void CheckLine(AEIData& data, const FormatInfo& info, const ImportListOptions& o, ImportLine& line) {
    ProgramRequestInput in;
    in.formatIndex = line.formatIndex;
    in.texts = line.texts;
    in.hasControl = line.hasControl;
    in.tagType = line.tagType;
    in.feetInches = o.feetInches;
    in.halfFrame = o.halfFrame;
    const ProgramRequest r = CheckProgramValues(data, info.format, in);
    if (r.outcome != ProgramRequestOutcome::Ready) {
        line.fieldErrors = r.check.error;
        Refuse(line, r.message);
        return;
    }
    line.record = r.record;
    FieldTexts texts;
    for (int row = 0; row < kFieldRows; ++row) texts[static_cast<std::size_t>(row)] = std::string(r.record.FieldText(row));
    line.frameText = BuildTagFrame(info.format, texts, o.feetInches, o.halfFrame).frameText;
    line.record.SetFrameText(line.frameText);
}

} // namespace

std::vector<std::string> SplitImportLine(std::string_view line, char delimiter) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string> cells;
    std::size_t i = 0;
    for (;;) {
        std::string cell;
        std::size_t start = i;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t') && line[i] != delimiter) ++i;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size()) break; // an open quote runs to the end of the line
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            // Anything between the closing quote and the delimiter is kept.
            const std::size_t end = line.find(delimiter, i);
            cell += std::string(TrimBlanks(line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i)));
            cells.push_back(std::move(cell));
            if (end == std::string_view::npos) break;
            i = end + 1;
            continue;
        }
        const std::size_t end = line.find(delimiter, start);
        cells.emplace_back(TrimBlanks(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
        if (end == std::string_view::npos) break;
        i = end + 1;
    }
    return cells;
}

ImportList ReadImportList(AEIData& data, std::string_view text, const ImportListOptions& o) {
    ImportList list;
    FormatCache formats(data, o);
    const FormatInfo* defaultInfo = formats.Get(o.formatIndex);
    if (!defaultInfo) {
        list.error = "The tag format of the list is not defined.";
        return list;
    }

    // The header: which column is which.
    int formatColumn = -1;
    std::vector<std::string> columnNames; // empty without a header
    bool headerRead = !o.header;

    std::size_t pos = 0;
    int fileLine = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view raw = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++fileLine;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (Blank(raw)) continue;

        if (!headerRead) {
            headerRead = true;
            columnNames = SplitImportLine(raw, o.delimiter);
            for (std::size_t c = 0; c < columnNames.size(); ++c) {
                const std::string& name = columnNames[c];
                for (std::size_t d = 0; d < c; ++d)
                    if (columnNames[d] == name && !name.empty()) {
                        list.error = "The column \"" + name + "\" is named twice in the first line.";
                        return list;
                    }
                if (name == kImportFormatColumn) formatColumn = static_cast<int>(c);
            }
            // Without a "Format" column every column must be a field of the
            // list's format.
            if (formatColumn < 0)
                for (const auto& name : columnNames)
                    if (!name.empty() && RowNamed(defaultInfo->format, name) < 0) {
                        list.error = "The column \"" + name + "\" is not a field of the format \"" +
                                     std::string(defaultInfo->format.Name()) + "\".";
                        return list;
                    }
            continue;
        }

        ImportLine line;
        line.fileLine = fileLine;
        if (raw.size() > kImportLineMax) {
            line.formatIndex = o.formatIndex;
            Refuse(line, "The line is longer than " + std::to_string(kImportLineMax) + " characters.");
            list.lines.push_back(std::move(line));
            continue;
        }
        const std::vector<std::string> cells = SplitImportLine(raw, o.delimiter);

        // The line's format.
        line.formatIndex = o.formatIndex;
        if (formatColumn >= 0 && static_cast<std::size_t>(formatColumn) < cells.size() &&
            !cells[static_cast<std::size_t>(formatColumn)].empty()) {
            const std::string& name = cells[static_cast<std::size_t>(formatColumn)];
            line.formatIndex = data.FindTagFormatByName(name);
            if (line.formatIndex < 0) {
                Refuse(line, "There is no tag format named \"" + name + "\".");
                list.lines.push_back(std::move(line));
                continue;
            }
        }
        const FormatInfo* info = formats.Get(line.formatIndex);
        if (!info) {
            Refuse(line, "The tag format of the line is not defined.");
            list.lines.push_back(std::move(line));
            continue;
        }
        line.hasControl = ShownRows(info->format);
        line.tagType = info->tagType;
        for (int r = 0; r < info->format.RowCount(); ++r)
            line.texts[static_cast<std::size_t>(r)] = std::string(info->format.Default(r));

        // The cells into their rows.
        std::string problem;
        const std::size_t columns = columnNames.empty() ? info->shown.size() : columnNames.size();
        if (cells.size() > columns) {
            problem = "The line has " + std::to_string(cells.size()) + " fields; the list has " +
                      std::to_string(columns) + " columns.";
        }
        for (std::size_t c = 0; c < cells.size() && problem.empty(); ++c) {
            if (static_cast<int>(c) == formatColumn) continue;
            int row = -1;
            if (columnNames.empty()) {
                row = info->shown[c];
            } else {
                row = RowNamed(info->format, columnNames[c]);
                if (row < 0) {
                    if (!cells[c].empty())
                        problem = "The format \"" + std::string(info->format.Name()) + "\" has no field \"" +
                                  columnNames[c] + "\".";
                    continue;
                }
            }
            if (cells[c].size() >= kRecordFieldTextWidth) {
                problem = "The field \"" + std::string(info->format.FieldName(row)) + "\" is longer than " +
                          std::to_string(kRecordFieldTextWidth - 1) + " characters.";
                line.fieldErrors[static_cast<std::size_t>(row)] = true;
                continue;
            }
            line.texts[static_cast<std::size_t>(row)] = cells[c];
        }
        if (!problem.empty()) Refuse(line, problem);
        else CheckLine(data, *info, o, line);
        list.lines.push_back(std::move(line));
    }
    if (!headerRead) list.error = "The list is empty.";
    return list;
}

std::string VehicleKeyOfLogLine(std::string_view logLine) {
    const std::size_t open = logLine.find(" - \"");
    if (open == std::string_view::npos) return {};
    std::string_view rest = logLine.substr(open + 4);
    std::size_t cut = 0;
    for (int commas = 0; cut < rest.size(); ++cut) {
        if (rest[cut] == ',' && ++commas == 3) break;
        if (rest[cut] == '"' && (cut + 1 == rest.size() || rest[cut + 1] == ' ')) break;
    }
    return std::string(rest.substr(0, cut));
}

std::string VehicleKeyOfRecord(AEIData& data, const LastTagRecord& record, bool feetInches) {
    const TagFormatData f = data.GetTagFormatData(record.formatIndex);
    return VehicleKeyOfLogLine(BuildTagLogLine(record, f, feetInches, LocalDateTime{}));
}

void MarkVehiclesInTagLog(AEIData& data, ImportList& list, const std::unordered_set<std::string>& logKeys,
                          bool feetInches) {
    if (logKeys.empty()) return;
    for (auto& line : list.lines)
        if (line.state == ImportLineState::Waiting)
            line.inTagLog = logKeys.count(VehicleKeyOfRecord(data, line.record, feetInches)) != 0;
}

std::string ReadImportListFile(const std::string& path, std::string& text) {
    constexpr std::size_t kListSizeMax = 64u << 20;
    std::string problem;
    if (ReadRegularFile(path, text, &problem, kListSizeMax)) return {};
    return problem;
}

std::unordered_set<std::string> TagLogVehicleKeys(const std::string& tagLogPath) {
    std::unordered_set<std::string> keys;
    std::string text;
    if (!ReadRegularFile(tagLogPath, text)) return keys;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::string key = VehicleKeyOfLogLine(line);
        if (!key.empty()) keys.insert(std::move(key));
    }
    return keys;
}

} // namespace velmora
