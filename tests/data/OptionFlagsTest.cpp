// Every 0/1 flag of the options file loads as 0 or 1, whatever byte a damaged
// file or another tool left there, so that every reader of a flag sees the
// same thing.
#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr std::size_t kSettingsAt = 1387;   // the settings block in the file
constexpr std::size_t kProgrammerAt = 300;  // the programmer state record

struct Flag {
    const char* name;
    std::size_t offset; // in the file
    int (*value)(AEIData&);
};

const Flag kFlags[] = {
    {"sound on", kSettingsAt + 0, [](AEIData& d) { return int(d.GetSettings().soundOn); }},
    {"label printing on", kSettingsAt + 1, [](AEIData& d) { return int(d.GetSettings().labelPrintingOn); }},
    {"lengths in feet-inches", kSettingsAt + 3, [](AEIData& d) { return int(d.GetSettings().feetInches); }},
    {"log file on", kSettingsAt + 16, [](AEIData& d) { return int(d.GetSettings().logFileOn); }},
    {"UMLER window shown", kSettingsAt + 129, [](AEIData& d) { return int(d.GetSettings().umlerWindowShown); }},
    {"tag log window shown", kSettingsAt + 130, [](AEIData& d) { return int(d.GetSettings().tagLogWindowShown); }},
    {"programmed-by entry", kSettingsAt + 131, [](AEIData& d) { return int(d.GetSettings().programmedByEntry); }},
    {"automatic RF check", kSettingsAt + 132, [](AEIData& d) { return int(d.GetSettings().autoRfCheck); }},
    {"automatic UMLER check", kSettingsAt + 133, [](AEIData& d) { return int(d.GetSettings().autoUmlerCheck); }},
    {"recondition check", kSettingsAt + 183, [](AEIData& d) { return int(d.GetSettings().reconditionCheck); }},
    {"import list window shown", kSettingsAt + 185,
     [](AEIData& d) { return int(d.GetSettings().importWindowShown); }},
    {"programmer on", kProgrammerAt + 84, [](AEIData& d) { return int(d.GetProgrammerRecord().on); }},
    {"search started", kProgrammerAt + 291, [](AEIData& d) { return int(d.GetProgrammerRecord().searchStarted); }},
    {"search requested", kProgrammerAt + 292,
     [](AEIData& d) { return int(d.GetProgrammerRecord().searchRequested); }},
};

TEST(OptionFlags, EveryFlagLoadsAsZeroOrOne) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    SetOptionDefaults(data);
    const std::vector<uint8_t> image = OptionsToBytes(data);
    ASSERT_EQ(image.size(), kOptionsFileSize);
    const struct {
        uint8_t stored;
        int loaded;
    } values[] = {{0, 0}, {1, 1}, {2, 1}, {0x80, 1}, {0xFF, 1}};
    for (const Flag& flag : kFlags) {
        for (const auto& v : values) {
            SCOPED_TRACE(std::string(flag.name) + " stored as " + std::to_string(v.stored));
            std::vector<uint8_t> bytes = image;
            bytes[flag.offset] = v.stored;
            ASSERT_EQ(LoadOptionsFromBytes(data, bytes.data(), bytes.size()), 0);
            EXPECT_EQ(flag.value(data), v.loaded);
        }
    }
}

} // namespace
} // namespace velmora
