// A fleet list: delimited text, one tag a line, read once and checked line by
// line through the same preparation as a typed tag (value check, WABTEC parts
// list rules, frame). Without a header the columns are the format's shown
// fields in form order; with one, the first line names the columns (field
// names as the form shows them, any order, and an optional "Format" column
// naming the tag format of each line). Columns a line does not give take the
// format's default. Fields may be quoted with double quotes ("" is a quote
// inside them). Blank lines are skipped.
#pragma once

#include "data/LastTagRecord.h"
#include "tagdata/TagFormatData.h"
#include "tagdata/TagFrame.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace velmora {

class AEIData;

// A list line longer than this is refused as it stands.
inline constexpr std::size_t kImportLineMax = 2000;
// The name of the column that gives a line's tag format.
inline constexpr const char* kImportFormatColumn = "Format";

struct ImportListOptions {
    char delimiter = ',';
    bool header = false;       // the first line names the columns
    int formatIndex = 0;       // the format of lines that name none
    bool feetInches = true;
    bool halfFrame = false;
    std::string tagType;       // the tag type text; empty: each format's default
};

enum class ImportLineState { Waiting, Programmed, Failed, Refused };

struct ImportLine {
    int fileLine = 0;                    // 1-based line number in the file
    int formatIndex = -1;
    FieldTexts texts{};                  // per row, as the list gives them
    std::array<bool, kFieldRows> hasControl{};
    std::string tagType;
    // The check: Refused with the reason (the fields in error or the rule's
    // message) and the rows in error, or Waiting with the record and frame.
    ImportLineState state = ImportLineState::Waiting;
    std::string reason;
    std::array<bool, kFieldRows> fieldErrors{};
    LastTagRecord record;
    std::string frameText;
    bool inTagLog = false; // the vehicle already has a line in the tag log
    std::string when;      // programmed: the time; failed: nothing
};

struct ImportList {
    std::string error; // the list as a whole cannot be used (its header)
    std::vector<ImportLine> lines;
};

// Splits one line at the delimiter; quoted fields keep delimiters and take ""
// as one quote. A CR at the end is dropped.
std::vector<std::string> SplitImportLine(std::string_view line, char delimiter);

// The text of a list file (a regular file of at most 64 MB); empty when it
// was read, otherwise why it could not be.
std::string ReadImportListFile(const std::string& path, std::string& text);

// Reads and checks a whole list.
ImportList ReadImportList(AEIData& data, std::string_view text, const ImportListOptions& options);

// The vehicle a tag log line or a checked line stands for: the format name and
// the first two fields as the tag log writes them (equipment initial and
// number in the railroad formats).
std::string VehicleKeyOfLogLine(std::string_view logLine);
std::string VehicleKeyOfRecord(AEIData& data, const LastTagRecord& record, bool feetInches);

// Marks the lines whose vehicle is among the keys of the tag log's lines.
void MarkVehiclesInTagLog(AEIData& data, ImportList& list, const std::unordered_set<std::string>& logKeys,
                          bool feetInches);

// The keys of every line of a tag log file (none when it cannot be read).
std::unordered_set<std::string> TagLogVehicleKeys(const std::string& tagLogPath);

} // namespace velmora
