// The tag label, laid out without a printer: from the last tag record, its
// format, the options and (for WABTEC end-of-train tags) the parts list, the
// lines of the label with their font, rectangle and alignment, and the framed
// boxes. The printout only measures the fonts and paints what this says.
#pragma once

#include "data/LastTagRecord.h"
#include "data/ReferenceTables.h"
#include "platform/Clock.h"
#include "tagdata/TagFormatData.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class AEIData;

// The six fonts of the label, all one face, no italics.
enum class LabelFont : int { Large = 0, Number, BigNumber, SmallTitle, Text, Footer };
inline constexpr int kLabelFontCount = 6;

struct LabelFontSpec {
    const char* role;
    int points;
    int weight; // 700 bold, 400 normal
};
inline constexpr std::array<LabelFontSpec, kLabelFontCount> kLabelFontSpecs{{
    {"large", 20, 700},
    {"number", 18, 700},
    {"big number", 22, 700},
    {"small title", 14, 700},
    {"text", 10, 400},
    {"footer", 8, 400},
}};
inline constexpr const char* kLabelFontFace = "Arial";

inline const LabelFontSpec& SpecOf(LabelFont f) { return kLabelFontSpecs[static_cast<int>(f)]; }

// The character height in device pixels of a font of `points` on a device of
// `dpiY` pixels per inch: points * dpiY / 72, rounded to the nearest (halves
// away from zero). The platform takes it as a negative font height.
int LabelFontPixelHeight(int points, int dpiY);

// What the printout measured on the printer: the page width and, for each
// font, the line height (character height plus external leading) and the
// average character width. All in device pixels.
struct LabelMetrics {
    int pageWidth = 0;
    std::array<int, kLabelFontCount> lineHeight{};
    std::array<int, kLabelFontCount> averageWidth{};
    int LineHeight(LabelFont f) const { return lineHeight[static_cast<int>(f)]; }
    int AverageWidth(LabelFont f) const { return averageWidth[static_cast<int>(f)]; }
};

struct LabelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LabelRect&) const = default;
};

enum class LabelAlign { Left, Center };

// One line: drawn as a single line, vertically centred in its rectangle.
struct LabelLine {
    LabelFont font = LabelFont::Text;
    std::string text; // single-byte, as the records hold it
    LabelRect rect;
    LabelAlign align = LabelAlign::Left;
};

enum class LabelKind {
    Standard,      // railcar, locomotive and the other formats
    Certification, // a certified railcar: only the certification block
    Wabtec,        // the boxed end-of-train layout
    WabtecEmpty,   // a WABTEC tag with no parts-list entry: an empty page
};

struct LabelLayout {
    LabelKind kind = LabelKind::Standard;
    std::vector<LabelLine> lines;
    std::vector<LabelRect> boxes; // black frames, drawn inside the rectangles
    bool hasFooter = false;

    // The text of every line, top to bottom (for tests and tools).
    std::vector<std::string> Texts() const;
};

// Everything the label is drawn from.
struct LabelInput {
    LastTagRecord record;
    TagFormatData format;
    bool feetInches = true;
    std::string programmedBy; // the programmed-by company text
    LocalDateTime now;        // the local date and time of printing
    // For a WABTEC format: the parts-list entry for the first field and the
    // tag type, when there is one.
    std::optional<WABTECData> wabtec;
};

inline constexpr const char* kLabelFooterText = "   Nordavex's Velmora Tel. 555 014-2290";

// The record, its format, the options, the parts-list entry and the clock's
// local time from the application data.
LabelInput MakeLabelInput(AEIData& data);

// Texts of the label.
std::string LabelDateText(const LocalDateTime& now);              // "%d/%d/%02d %d:%02d"
std::string LabelRfText(const LastTagRecord& r, const TagFormatData& f); // "RF Ok  " ...
// "North", "South", "West", "East" or "Unknown" from the direction letter and
// the milepost.
std::string TrackDirectionWord(std::string_view directionField, std::string_view milepostField);
bool IsWabtecFormat(const TagFormatData& f);   // name begins with "EOT WABTE"
bool IsTrackTagFormat(const TagFormatData& f); // name begins with "Track Tag"
bool IsSaraFormat(const TagFormatData& f);     // name begins with "SARA"
// The parts-list lookup of a WABTEC tag: the first field's text padded with
// blanks to four characters, and 1 when the tag type is "AT5541".
std::string WabtecMark(const LastTagRecord& r);
int WabtecTagTypeFlag(const LastTagRecord& r);

// The label's lines and boxes for the measured fonts.
LabelLayout BuildLabelLayout(const LabelInput& input, const LabelMetrics& metrics);

} // namespace velmora
