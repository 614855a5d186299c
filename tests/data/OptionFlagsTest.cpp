// Every 0/1 flag of the options file loads as 0 or 1, whatever byte a damaged
// file or another tool left there, so that every reader of a flag sees the
// same thing (the loaded value is read back through the image it writes).
#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr std::size_t kSettingsAt = 1387;   // the settings block in the file
constexpr std::size_t kProgrammerAt = 300;  // the programmer state record

const std::pair<const char*, std::size_t> kFlags[] = {
    {"sound on", kSettingsAt + 0},          {"label printing on", kSettingsAt + 1},
    {"lengths in feet-inches", kSettingsAt + 3}, {"log file on", kSettingsAt + 16},
    {"UMLER window shown", kSettingsAt + 129}, {"tag log window shown", kSettingsAt + 130},
    {"programmed-by entry", kSettingsAt + 131}, {"automatic RF check", kSettingsAt + 132},
    {"automatic UMLER check", kSettingsAt + 133}, {"recondition check", kSettingsAt + 183},
    {"import list window shown", kSettingsAt + 185}, {"programmer on", kProgrammerAt + 84},
    {"search started", kProgrammerAt + 291}, {"search requested", kProgrammerAt + 292},
};

TEST(OptionFlags, EveryFlagLoadsAsZeroOrOne) {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data(op, clock);
    SetOptionDefaults(data);
    const std::vector<uint8_t> image = OptionsToBytes(data);
    for (const auto& [name, offset] : kFlags) {
        for (const auto& [stored, loaded] : {std::pair<uint8_t, uint8_t>{0, 0}, {1, 1}, {2, 1}, {0x80, 1}, {0xFF, 1}}) {
            SCOPED_TRACE(std::string(name) + " stored as " + std::to_string(stored));
            std::vector<uint8_t> bytes = image;
            bytes[offset] = stored;
            ASSERT_EQ(LoadOptionsFromBytes(data, bytes.data(), bytes.size()), 0);
            EXPECT_EQ(OptionsToBytes(data)[offset], loaded);
        }
    }
}

} // namespace
} // namespace velmora
