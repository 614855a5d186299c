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
        index = data.FindTagFormatByName(formatName);
        ASSERT_GE(index, 0) << formatName;
        format = data.GetTagFormatData(index);
        tag = LastTagRecord{};
        tag.formatIndex = static_cast<uint8_t>(index);
        FieldTexts ft;
        for (std::size_t row = 0; row < texts.size(); ++row) {
            tag.SetFieldText(static_cast<int>(row), texts[row]);
            ft[row] = texts[row];
        }
        tag.SetFrameText(BuildTagFrame(format, ft, feetInches, false).frameText);
        units = feetInches;
    }
    R Check(const std::string& line) const { return CheckTagReading(line, tag, format, units); }

    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    int index = -1;
    TagFormatData format;
    LastTagRecord tag;
    bool units = false;
};

TEST_F(TagReading, RailcarInDecimeters) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,LEFT,150,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 0123456, 19, L, 150, 4, 1, 0"), R::Agrees);
    EXPECT_EQ(Check("ABCD123456,19,L,150,4,1,0"), R::Agrees) << "number right after the initial";
    EXPECT_EQ(Check("ABCD-123456,19,L,150,4,1,0"), R::Agrees) << "one separator of any kind";
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1,0,extra"), R::Agrees);
}

TEST_F(TagReading, LengthWithinOneDecimeter) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    EXPECT_EQ(Check("ABCD 123456,19,L,149,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,151,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,148,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,152,4,1,0"), R::Disagrees);
}

TEST_F(TagReading, FeetAndInchesConvertedToDecimeters) {
    // 50 feet 6 inches = 606 inches = 153.9 dm, truncated to 153.
    Program("Railcar", {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, true);
    EXPECT_EQ(Check("ABCD 123456,19,R,153,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,154,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,152,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,155,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,151,4,1,0"), R::Disagrees);
    // Plain feet: 60 feet = 720 inches = 182.88 dm.
    Program("Railcar", {"ABCD", "123456", "RIGHT", "60", "", "4", "1", "0"}, true);
    EXPECT_EQ(Check("ABCD 123456,19,R,182,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,60,4,1,0"), R::Disagrees);
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

TEST_F(TagReading, LocomotiveHasNoPlatform) {
    Program("Locomotive", {"UP  ", "4014", "RIGHT", "406", "6", "1"}, false);
    EXPECT_EQ(Check("UP   4014,5,R,405,6,1"), R::Agrees);
    EXPECT_EQ(Check("UP   4014,5,R,406,6,1,0"), R::Agrees);
    EXPECT_EQ(Check("UP   4014,5,R,406,6"), R::Disagrees) << "bearing missing";
    EXPECT_EQ(Check("UP   4014,5,R,406,4,1"), R::Disagrees) << "axles";
    EXPECT_EQ(Check("UP   4014,5,R,406,6,2"), R::Disagrees) << "bearing";
    EXPECT_EQ(Check("UP   4014,19,R,406,6,1,0"), R::Disagrees) << "equipment group";
}

TEST_F(TagReading, ShortInitialIsComparedBlankPadded) {
    Program("Locomotive", {"UP", "4014", "RIGHT", "406", "6", "1"}, false);
    EXPECT_EQ(Check("UP   4014,5,R,406,6,1"), R::Agrees);
    EXPECT_EQ(Check("UP 4014,5,R,406,6,1"), R::Disagrees);
}

TEST_F(TagReading, InitialAndNumberOnly) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    EXPECT_EQ(Check("ABCD 123456"), R::InitialAndNumber);
    EXPECT_EQ(Check("ABCD 00123456  "), R::InitialAndNumber);
    EXPECT_EQ(Check("ABCD 123457"), R::Disagrees);
    EXPECT_EQ(Check("ABCE 123456"), R::Disagrees);
    EXPECT_EQ(Check("ABCD"), R::Disagrees);
    EXPECT_EQ(Check("ABCD X"), R::Disagrees);
    EXPECT_EQ(Check("AB"), R::Disagrees);
    EXPECT_EQ(Check(""), R::Disagrees);
}

TEST_F(TagReading, EndOfTrainDevice) {
    Program("EOT Device", {"WABC", "12345", "0", "RIGHT"}, false);
    EXPECT_EQ(Check("WABC 12345"), R::InitialAndNumber);
    EXPECT_EQ(Check("WABC 12346"), R::Disagrees);
    // A full reading of any group but railcar and locomotive disagrees.
    EXPECT_EQ(Check("WABC 12345,6,R,0"), R::Disagrees);
}

TEST_F(TagReading, EveryFieldMustAgree) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1,0"), R::Agrees);
    EXPECT_EQ(Check("ABCD 123455,19,L,150,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,5,L,150,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,R,150,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,,150,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,,4,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,6,1,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,2,0"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1,1"), R::Disagrees);
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1,"), R::Disagrees) << "a field without digits";
    EXPECT_EQ(Check("ABCD 123456,19,L,150,4,1"), R::Disagrees) << "platform missing";
    EXPECT_EQ(Check("ABCD 123456,"), R::Disagrees);
    EXPECT_EQ(Check("abcd 123456,19,L,150,4,1,0"), R::Disagrees);
}

TEST_F(TagReading, LinesStartingWithADigitAreIgnored) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    EXPECT_EQ(Check("0 readings stored"), R::Ignore);
    EXPECT_EQ(Check("9ABCD 123456"), R::Ignore);
    EXPECT_EQ(Check(" ABCD 123456"), R::Disagrees);
}

TEST_F(TagReading, FromTheDataObject) {
    Program("Railcar", {"ABCD", "123456", "LEFT", "150", "", "4", "1", "0"}, false);
    data.UpdateLastTagRecord(tag);
    SettingsBlock s = data.GetSettings();
    s.feetInches = 0;
    data.UpdateSettings(s);
    EXPECT_EQ(CheckTagReading(data, "ABCD 123456,19,L,150,4,1,0"), R::Agrees);
    LastTagRecord broken = tag;
    broken.formatIndex = 200;
    data.UpdateLastTagRecord(broken);
    EXPECT_EQ(CheckTagReading(data, "ABCD 123456,19,L,150,4,1,0"), R::Disagrees);
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora::test
