// Every built-in format in every region and in half-frame mode: typed values
// pass the check, build to the frame that a reference encoder in this file
// gives, and read back as the texts the form shows.
#include "FrameTestHelpers.h"
#include "TestSupport.h"

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velmora {
namespace {

using test::RefBase27;
using test::RefFrame;
using test::RefSixBit;

// --- reference encoder: bit numbers, written from the format record ----------

long Number(const std::string& s) { return s.empty() ? 0 : std::atol(s.c_str()); }

// Decimeters of a typed "feet-inches" text.
long RefDecimeters(const std::string& text) {
    long feet = 0, inches = 0;
    if (std::sscanf(text.c_str(), "%ld-%ld", &feet, &inches) < 1) return 0;
    return (feet * 12 + inches) * 254 / 1000;
}

std::string RefFeetInches(long dm) {
    long inches = 0;
    if (dm != 0) {
        inches = dm * 3937 / 1000 + 2;
        if (dm * 3937 % 1000 >= 500) ++inches;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld-%02ld", inches / 12, inches % 12);
    return buf;
}

std::string RefEncode(const TagFormatData& f, const FieldTexts& texts, bool feetInches, bool halfFrame) {
    RefFrame ref;
    int rows = 0;
    while (rows < kFieldRows && f.fieldName[rows][0] != '\0') ++rows;
    for (int r = 0; r < rows; ++r) {
        if (r > 0 && f.FieldName(r) == f.FieldName(r - 1)) continue;
        const bool split = r + 1 < rows && f.FieldName(r + 1) == f.FieldName(r);
        const int start = f.startingBit[r], len = f.length[r];
        std::string text = UpperAscii(texts[r]);
        uint64_t value = 0;
        switch (f.type[r]) {
        case 0: {
            text.resize(len / 6, ' ');
            int bit = start;
            for (char c : text) bit = ref.Put(bit, 6, RefSixBit(c));
            continue;
        }
        case 9: {
            text.resize(len / 4, '0');
            int bit = start;
            for (char c : text) bit = ref.Put(bit, 4, std::strtoul(std::string(1, c).c_str(), nullptr, 16));
            continue;
        }
        case 10:
            ref.Put(start, 6, 0);
            continue;
        case 1:
            text.resize(f.Maximum(r).size(), ' ');
            value = RefBase27(text);
            break;
        case 3:
            value = static_cast<uint64_t>(Number(text) - Number(std::string(f.Minimum(r))));
            break;
        case 7:
            value = static_cast<uint64_t>(feetInches ? RefDecimeters(text) : Number(text));
            break;
        case 8:
            value = text == "LEFT" ? 0 : 1;
            break;
        default:
            continue;
        }
        if (split) {
            const int len2 = f.length[r + 1];
            ref.Put(start, len, value >> len2);
            ref.Put(f.startingBit[r + 1], len2, value & ((uint64_t{1} << len2) - 1));
        } else {
            ref.Put(start, len, value);
        }
    }
    if (f.dataFormatCode == 51 || f.dataFormatCode == 41) {
        ref.Put(0, 5, static_cast<uint64_t>(f.equipmentGroupCode));
        ref.Put(5, 2, static_cast<uint64_t>(f.tagTypeCode - 1));
    }
    if (f.dataFormatCode != 0 && f.dataFormatCode != 99 && !halfFrame)
        ref.Put(118, 6, static_cast<uint64_t>(f.dataFormatCode));
    return ref.Hex();
}

// --- sample values -----------------------------------------------------------------

// Sample texts for a row, several per row, chosen from its limits. `set`
// picks which one; the texts are typed as an operator would (mixed case).
std::string SampleText(const TagFormatData& f, int r, int set, bool feetInches) {
    const std::string minimum(f.Minimum(r)), maximum(f.Maximum(r));
    switch (f.type[r]) {
    case 0: {
        const std::string pool[] = {"Hello, World!  ", "A", "0123456789:;<=>?@[\\]^_", "   x"};
        return pool[set % 4].substr(0, f.length[r] / 6);
    }
    case 9: {
        const std::string pool[] = {"0123456789abcdefABCDEF", "F", "fedcba9876543210", "0"};
        return pool[set % 4].substr(0, f.length[r] / 4);
    }
    case 1: {
        const std::string pool[] = {"ABCD", "zzzz", "A   ", "Tt X", "b"};
        std::string s = pool[set % 5];
        if (s.size() > maximum.size()) s.resize(maximum.size());
        if (LocaleCompare(s, minimum) < 0) s = minimum;
        return s;
    }
    case 3: {
        const long lo = Number(minimum), hi = Number(maximum);
        const long pick[] = {lo, hi, (lo + hi) / 2, lo + 1 <= hi ? lo + 1 : lo};
        return std::to_string(pick[set % 4]);
    }
    case 7: {
        const long hi = Number(maximum);
        if (!feetInches) {
            const long pick[] = {0, hi, 610, 152};
            return std::to_string(pick[set % 4] <= hi ? pick[set % 4] : hi);
        }
        const std::string pool[] = {"50-0", "0", "100-11", "12-3", "1343-9"};
        std::string s = pool[set % 5];
        return RefDecimeters(s) <= hi ? s : "50";
    }
    case 8:
        return set % 2 ? "LEFT" : "RIGHT";
    default:
        return {};
    }
}

// What the form shows after reading back the frame built from `typed`.
std::string ExpectedReadBack(const TagFormatData& f, int r, const std::string& typed, bool feetInches) {
    std::string text = UpperAscii(typed);
    switch (f.type[r]) {
    case 0:
        text.resize(f.length[r] / 6, ' ');
        return text;
    case 9:
        text.resize(f.length[r] / 4, '0');
        return text;
    case 1:
        text.resize(f.Maximum(r).size(), ' ');
        return text;
    case 3:
        return std::to_string(Number(text));
    case 7:
        return feetInches ? RefFeetInches(RefDecimeters(text)) : std::to_string(Number(text));
    case 8:
        return text == "LEFT" ? "LEFT" : "RIGHT";
    default:
        return {};
    }
}

struct Mode {
    int32_t region;
    bool halfFrame;
};

class RoundTrip : public ::testing::TestWithParam<Mode> {
protected:
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};

    void SetUp() override {
        data.SetMarketRegion(GetParam().region);
        SettingsBlock s = data.GetSettings();
        s.programmerModel = GetParam().halfFrame ? 1 : 2;
        data.UpdateSettings(s);
        data.BuildBuiltInFormats();
        ASSERT_TRUE(op.boxes.empty());
    }
};

TEST_P(RoundTrip, EveryBuiltInFormatBuildsTheReferenceFrameAndReadsBack) {
    const Mode mode = GetParam();
    int formatsSeen = 0;
    for (int slot = 0; slot < kSystemSlots; ++slot) {
        const TagFormatData f = data.GetTagFormatData(slot);
        if (!f.defined) continue;
        ++formatsSeen;
        for (bool feetInches : {true, false}) {
            for (int set = 0; set < 5; ++set) {
                SCOPED_TRACE(std::string(f.Name()) + " set " + std::to_string(set) +
                             (feetInches ? " feet-inches" : " decimeters"));
                FieldTexts typed;
                const auto shown = ShownRows(f);
                for (int r = 0; r < f.RowCount(); ++r)
                    if (shown[r]) typed[r] = SampleText(f, r, set, feetInches);
                // SARA: a non-blank orientation that no format claims as its code.
                if (f.Name() == "SARA") typed[6] = set % 2 ? "L" : "r";
                // "ASCII": the 20th character lies on bits 118-123, where a reader
                // looks for the format code; only a blank there reads as code 0.
                if (f.Name() == "ASCII" && typed[1].size() > 9) typed[1].resize(9);

                ValueCheckResult check = CheckFieldValues(f, typed, shown, feetInches);
                ASSERT_FALSE(check.anyError) << FieldErrorText(f, check);

                BuiltFrame built = BuildTagFrame(f, typed, feetInches, mode.halfFrame);
                ASSERT_EQ(built.frameText, RefEncode(f, typed, feetInches, mode.halfFrame));

                const std::string readText =
                    mode.halfFrame ? built.frameText.substr(0, kHalfFrameDigits) : built.frameText;
                DecodedFrame d = DecodeTagFrame(data, readText, mode.halfFrame, mode.region, feetInches);
                if (f.Name() == "Hex") {
                    // No format code: the frame is read as whatever its bits
                    // say, and with no matching code it is not identified.
                    if (d.identified) EXPECT_EQ(BitsToFrameText(d.bits), built.frameText);
                    continue;
                }
                ASSERT_TRUE(d.identified);
                if (mode.halfFrame && slot != 0) {
                    // Every half frame reads as slot 0; its bits come back unchanged.
                    EXPECT_EQ(d.formatIndex, 0);
                    EXPECT_EQ(BitsToFrameText(d.bits), readText + std::string(15, '0'));
                    continue;
                }
                EXPECT_EQ(d.formatIndex, slot);
                for (int r = 0; r < kFieldRows; ++r) {
                    const bool decodes = r < f.RowCount() && shown[r];
                    EXPECT_EQ(d.texts[r], decodes ? ExpectedReadBack(f, r, typed[r], feetInches) : "")
                        << "row " << r << " typed \"" << typed[r] << '"';
                }
            }
        }
    }
    EXPECT_EQ(formatsSeen, mode.halfFrame ? 2 : 6);
}

std::string ModeName(const ::testing::TestParamInfo<Mode>& info) {
    static constexpr const char* kRegionNames[] = {"NorthAmerica", "SARA", "Australia"};
    return std::string(kRegionNames[info.param.region]) + (info.param.halfFrame ? "HalfFrame" : "FullFrame");
}

INSTANTIATE_TEST_SUITE_P(AllModes, RoundTrip,
                         ::testing::Values(Mode{kRegionNorthAmerica, false}, Mode{kRegionSARA, false},
                                           Mode{kRegionAustralia, false}, Mode{kRegionNorthAmerica, true},
                                           Mode{kRegionSARA, true}, Mode{kRegionAustralia, true}),
                         ModeName);

} // namespace
} // namespace velmora
