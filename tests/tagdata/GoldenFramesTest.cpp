// Golden frames, one per built-in format, region and half-frame mode, worked out by hand from the bit layout (bit
// positions, base-27 initials, minimum offsets, header bits), not by the encoder. Each frame is built from the typed
// values, and a frame the reader identifies decodes to texts that build the same frame again.
#include "TestSupport.h"

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

struct Golden {
    int32_t region;
    bool halfFrame, feetInches;
    const char* format;
    std::vector<std::pair<const char*, const char*>> values; // field name, typed text
    const char* frame;
    bool decodes; // the reader identifies it as this format
};

const Golden kGolden[] = {
    {kRegionNorthAmerica, false, false, "Railcar",
     {{"Equipment Initial", "ABCD"}, {"Car Number", "42"}, {"Side Indicator Code", "RIGHT"}, {"Length", "610"},
      {"Number of Axles", "4"}, {"Bearing Type Code", "1"}, {"Platform Identifier Code", "0"}},
     "9A0181C000AA621900000008000033", true},
    {kRegionNorthAmerica, false, true, "Railcar",
     {{"Equipment Initial", "ttx"}, {"Car Number", "7"}, {"Side Indicator Code", "LEFT"}, {"Length", "89-6"},
      {"Number of Axles", "6"}, {"Bearing Type Code", "1"}, {"Platform Identifier Code", "2"}},
     "9B7C1540001D102920000000000033", true},
    {kRegionNorthAmerica, false, true, "Locomotive",
     {{"Equipment Initial", "UP"}, {"Locomotive Number", "8765"}, {"Side Indicator Code", "RIGHT"},
      {"Length", "74-0"}, {"Number of Axles", "6"}, {"Bearing Type Code", "1"}},
     "2B8BD30088F6E12900000000000033", true},
    {kRegionNorthAmerica, false, true, "EOT Device",
     {{"EOT Initial", "BNQ"}, {"EOT Number", "12345"}, {"EOT Type Code", "2"}, {"Side Indicator Code", "LEFT"}},
     "321DA300C0E6000000000000000033", true},
    {kRegionNorthAmerica, false, true, "Container",
     {{"Owner's Code", "ABCU"}, {"Number", "123456"}, {"Check Digit", "7"}, {"Length", "1219"}, {"Height", "259"},
      {"Width", "244"}, {"Type Code", "22"}, {"Max Gross Weight", "300"}, {"Tare Weight", "40"}, {"Spare", "0"}},
     "520186078901E61C0D6157FA800033", true},
    {kRegionNorthAmerica, false, true, "ASCII", // runs across the unused bits 60-63
     {{"Characters 1 to 10", "hello worl"}, {"Characters 11 to 20", "d 01234567"}},
     "A25B2CBC0DEFCAC900411493515597", false},
    {kRegionNorthAmerica, false, true, "Hex", // carries no format code
     {{"Charcters 1 to 10", "0123456789"}, {"Charcters 11 to 20", "abcdef0123"}, {"Charcters 21 to 30", "456789ABCD"}},
     "0123456789ABCDEF0123456789ABCD", false},
    {kRegionAustralia, false, false, "Rail Wagon",
     {{"Vehicle Class", "ABCD"}, {"Vehicle Number", "42"}, {"Side Indicator Code", "RIGHT"}, {"Length", "610"},
      {"Number of Axles", "4"}, {"Bearing Type Code", "1"}, {"Platform Identifier Code", "0"}, {"Owner's ID", "Q"}},
     "9A0181C000AA621908000008000033", true},
    {kRegionSARA, false, true, "SARA",
     {{"Asset Type", "WAGON1"}, {"Owner Code", "AB"}, {"Wagon Number", "12345678"}, {"Orientation", "N"}},
     "DE19EFB910218804524D45565D802E", true},
    {kRegionNorthAmerica, true, true, "ASCII Half Frame", {{"Characters 1 to 10", "half frame"}},
     "A21B26026CA1B65000000000000000", true},
    {kRegionNorthAmerica, true, true, "Hex Half Frame ",
     {{"Charcters 1 to 10", "0123456789"}, {"Charcters 11 to 15", "ABCDE"}}, "0123456789ABCDE000000000000000",
     false},
};

TEST(GoldenFrames, EveryBuiltInBuildsItsFrameAndReadsBack) {
    for (const Golden& g : kGolden) {
        SCOPED_TRACE(std::string(g.format) + (g.feetInches ? " feet-inches" : " decimeters"));
        test::ScriptedOperator op;
        test::FakeClock clock;
        AEIData data(op, clock);
        data.SetMarketRegion(g.region);
        SettingsBlock s = data.GetSettings();
        s.programmerModel = g.halfFrame ? 1 : 2;
        data.UpdateSettings(s);
        data.BuildBuiltInFormats();
        const int slot = data.FindTagFormatByName(g.format);
        ASSERT_GE(slot, 0);
        const TagFormatData f = data.GetTagFormatData(slot);

        FieldTexts typed;
        const auto shown = ShownRows(f);
        for (const auto& [name, text] : g.values) {
            int row = 0;
            while (row < kFieldRows && (f.FieldName(row) != name || !shown[row])) ++row;
            ASSERT_LT(row, kFieldRows) << name;
            typed[row] = text;
        }
        for (int r = 0; r < f.RowCount(); ++r)
            if (shown[r] && typed[r].empty()) typed[r] = f.Default(r);
        const ValueCheckResult check = CheckFieldValues(f, typed, shown, g.feetInches);
        ASSERT_FALSE(check.anyError) << FieldErrorText(f, check);
        ASSERT_EQ(BuildTagFrame(f, typed, g.feetInches, g.halfFrame).frameText, g.frame);

        const std::string read = g.halfFrame ? std::string(g.frame).substr(0, kHalfFrameDigits) : g.frame;
        const DecodedFrame d = DecodeTagFrame(data, read, g.halfFrame, g.region, g.feetInches);
        if (d.identified) EXPECT_EQ(BitsToFrameText(d.bits), g.frame);
        if (!g.decodes) continue;
        ASSERT_TRUE(d.identified);
        EXPECT_EQ(d.formatIndex, slot);
        EXPECT_EQ(BuildTagFrame(f, d.texts, g.feetInches, g.halfFrame).frameText, g.frame);
    }
}

} // namespace
} // namespace velmora
