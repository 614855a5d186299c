// CheckTagReading over railcar, locomotive and EOT tags and mismatching
// readings, with lengths in decimeters and in feet and inches.
#include "ReaderRig.h"

#include "tagdata/TagFrame.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using R = TagReadingResult;

class TagReading : public ::testing::Test {
protected:
    // A tag as the program-tag workflow leaves it: the row texts (initial
    // padded to four characters) and the frame built from them.
    void Program(const std::string& formatName, std::vector<std::string> texts, bool feetInches) {
        const int index = data.FindTagFormatByName(formatName);
        ASSERT_GE(index, 0) << formatName;
        format = data.GetTagFormatData(index);
        tag = LastTagRecord{};
        tag.formatIndex = static_cast<uint8_t>(index);
        FieldTexts ft;
        for (std::size_t row = 0; row < texts.size(); ++row)
            tag.SetFieldText(static_cast<int>(row), ft[row] = texts[row]);
        tag.SetFrameText(BuildTagFrame(format, ft, feetInches, false).frameText);
        units = feetInches;
    }
    R Check(const std::string& line) const { return CheckTagReading(line, tag, format, units); }

    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TagFormatData format;
    LastTagRecord tag;
    bool units = false;
};

// The tags as the program-tag workflow leaves them, and the readings held
// against each: lengths within one decimeter, feet and inches converted
// (50 ft 6 in = 153.9 dm, truncated; 60 ft = 182.88 dm), the number right
// after the initial or after one separator of any kind, initials compared
// blank padded, every field compared, lines starting with a digit ignored.
TEST_F(TagReading, ReadingsAgainstTheTagProgrammed) {
    struct Tag {
        const char* format;
        std::vector<std::string> texts;
        bool feetInches;
        std::vector<std::pair<std::string, R>> readings;
    };
    const Tag tags[] = {
        {"Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false,
         {{"ABCD 123456,19,L,150,4,1,0", R::Agrees}, {"ABCD 123456,19,LEFT,150,4,1,0", R::Agrees},
          {"ABCD 0123456, 19, L, 150, 4, 1, 0", R::Agrees}, {"ABCD123456,19,L,150,4,1,0", R::Agrees},
          {"ABCD-123456,19,L,150,4,1,0", R::Agrees}, {"ABCD 123456,19,L,150,4,1,0,extra", R::Agrees},
          {"ABCD 123456,19,L,149,4,1,0", R::Agrees}, {"ABCD 123456,19,L,151,4,1,0", R::Agrees},
          {"ABCD 123456,19,L,148,4,1,0", R::Disagrees}, {"ABCD 123456,19,L,152,4,1,0", R::Disagrees},
          {"ABCD 123456", R::InitialAndNumber}, {"ABCD 00123456  ", R::InitialAndNumber},
          {"ABCD 123457", R::Disagrees}, {"ABCE 123456", R::Disagrees}, {"ABCD", R::Disagrees},
          {"ABCD X", R::Disagrees}, {"AB", R::Disagrees}, {"", R::Disagrees},
          {"ABCD 123455,19,L,150,4,1,0", R::Disagrees},
          {"ABCD 123456,5,L,150,4,1,0", R::Disagrees}, {"ABCD 123456,19,R,150,4,1,0", R::Disagrees},
          {"ABCD 123456,19,,150,4,1,0", R::Disagrees}, {"ABCD 123456,19,L,,4,1,0", R::Disagrees},
          {"ABCD 123456,19,L,150,6,1,0", R::Disagrees}, {"ABCD 123456,19,L,150,4,2,0", R::Disagrees},
          {"ABCD 123456,19,L,150,4,1,1", R::Disagrees}, {"ABCD 123456,19,L,150,4,1,", R::Disagrees},
          {"ABCD 123456,19,L,150,4,1", R::Disagrees}, {"ABCD 123456,", R::Disagrees},
          {"abcd 123456,19,L,150,4,1,0", R::Disagrees}, {"0 readings stored", R::Ignore},
          {"9ABCD 123456", R::Ignore}, {" ABCD 123456", R::Disagrees}}},
        {"Railcar", {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, true,
         {{"ABCD 123456,19,R,153,4,1,0", R::Agrees}, {"ABCD 123456,19,R,154,4,1,0", R::Agrees},
          {"ABCD 123456,19,R,152,4,1,0", R::Agrees}, {"ABCD 123456,19,R,155,4,1,0", R::Disagrees},
          {"ABCD 123456,19,R,151,4,1,0", R::Disagrees}}},
        {"Railcar", {"ABCD", "123456", "RIGHT", "60", "", "4", "1", "0"}, true,
         {{"ABCD 123456,19,R,182,4,1,0", R::Agrees}, {"ABCD 123456,19,R,60,4,1,0", R::Disagrees}}},
        {"Locomotive", {"UP  ", "4014", "RIGHT", "406", "6", "1"}, false,
         {{"UP   4014,5,R,405,6,1", R::Agrees}, {"UP   4014,5,R,406,6,1,0", R::Agrees},
          {"UP   4014,5,R,406,6", R::Disagrees}, {"UP   4014,5,R,406,4,1", R::Disagrees},
          {"UP   4014,5,R,406,6,2", R::Disagrees}, {"UP   4014,19,R,406,6,1,0", R::Disagrees}}},
        {"Locomotive", {"UP", "4014", "RIGHT", "406", "6", "1"}, false,
         {{"UP   4014,5,R,406,6,1", R::Agrees}, {"UP 4014,5,R,406,6,1", R::Disagrees}}},
        {"EOT Device", {"WABC", "12345", "0", "RIGHT"}, false,
         {{"WABC 12345", R::InitialAndNumber}, {"WABC 12346", R::Disagrees}, {"WABC 12345,6,R,0", R::Disagrees}}},
    };
    for (const Tag& t : tags) {
        Program(t.format, t.texts, t.feetInches);
        for (const auto& [line, want] : t.readings) EXPECT_EQ(Check(line), want) << t.format << ": " << line;
    }
}

TEST_F(TagReading, UnitsSwitchedAfterProgrammingKeepTheTagsOwn) {
    Program("Railcar", {"ABCD", "123456", "RIGHT", "60", "", "4", "1", "0"}, true);
    units = false; // the operator switched to decimeters while the tag waits
    EXPECT_EQ(Check("ABCD 123456,19,R,182,4,1,0"), R::Agrees);
    Program("Railcar", {"ABCD", "123456", "RIGHT", "150", "", "4", "1", "0"}, false);
    units = true;
    EXPECT_EQ(Check("ABCD 123456,19,R,150,4,1,0"), R::Agrees);
    // Without a frame the options' units decide.
    tag.SetFrameText("");
    EXPECT_EQ(Check("ABCD 123456,19,R,150,4,1,0"), R::Disagrees);
    EXPECT_EQ(TagLengthDecimeters(tag, format, true), 150 * 12 * 254 / 1000);
}

// The check through the data object is the RF recordings'; a damaged
// record's format is no match.
TEST_F(TagReading, DamagedRecordFromTheDataObjectDisagrees) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    tag.formatIndex = 200;
    data.UpdateLastTagRecord(tag);
    EXPECT_EQ(CheckTagReading(data, "ABCD 123456,19,L,150,4,1,0"), R::Disagrees);
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora::test
