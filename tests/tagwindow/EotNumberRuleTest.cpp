// The EOT number of an "EOT WABTEC" tag: the parts list's digit in front of a
// number of up to five digits; a six-digit number only when it begins with
// that digit; otherwise a refusal naming the digit, before anything is
// programmed.
#include "TestSupport.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagwindow/ProgramRequest.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

struct EotCase {
    const char* typed;
    int prefix;
    const char* expected; // "" refused
};

TEST(EotNumberRule, FiveDigitsGetThePrefixSixMustBeginWithIt) {
    const EotCase cases[] = {
        {"23456", 0, "023456"},  {"23456", 1, "123456"},  {"5", 1, "100005"},
        {"0", 0, "000000"},      {"99999", 9, "999999"},  {"123456", 1, "123456"},
        {"123456", 0, ""},       {"023456", 0, "023456"}, {"023456", 1, ""},
        {"999999", 1, ""},       {"0123456", 1, "123456"}, {"1234567", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EotNumberWithPrefix(c.typed, c.prefix), c.expected) << c.typed << " prefix " << c.prefix;
}

class EotPreparation : public ::testing::Test {
protected:
    struct Yes : ProgramQuestions {
        int asked = 0;
        bool Ask(const std::string&) override { return ++asked, true; }
    } questions;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    static constexpr int kSlot = 6;

    void SetUp() override {
        TagFormatData f = data.GetTagFormatData(3); // the EOT Device rows
        f.systemSlot = 0;
        SetText(f.formatName, "EOT WABTEC");
        data.UpdateTagFormatData(kSlot, f);
    }
    // KCS is listed with prefix 9, type 0, RIGHT, AT5541; BNQ with prefix 0.
    ProgramRequest Prepare(const std::string& mark, const std::string& number) {
        ProgramRequestInput in;
        in.formatIndex = kSlot;
        in.texts[0] = mark;
        in.texts[1] = number;
        in.texts[2] = "0";
        in.texts[3] = "RIGHT";
        in.hasControl = ShownRows(data.GetTagFormatData(kSlot));
        in.tagType = "AT5541";
        return PrepareProgramRequest(data, in, true, questions);
    }
};

TEST_F(EotPreparation, SixDigitsWithAnotherLeadingDigitAreRefusedNamingTheDigit) {
    const ProgramRequest nine = Prepare("KCS", "123456");
    EXPECT_EQ(nine.outcome, ProgramRequestOutcome::Refused);
    EXPECT_NE(nine.message.find("\"9\""), std::string::npos) << nine.message;
    EXPECT_TRUE(nine.frame.frameText.empty());
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), ""); // no record of the attempt

    const ProgramRequest zero = Prepare("BNQ", "123456");
    EXPECT_EQ(zero.outcome, ProgramRequestOutcome::Refused);
    EXPECT_NE(zero.message.find("\"0\""), std::string::npos) << zero.message;
}

TEST_F(EotPreparation, AcceptedNumbersAreFramedAsSixDigits) {
    const ProgramRequest typedFive = Prepare("BNQ", "23456");
    ASSERT_EQ(typedFive.outcome, ProgramRequestOutcome::Ready);
    EXPECT_EQ(typedFive.record.FieldText(1), "023456");
    const ProgramRequest typedSix = Prepare("KCS", "912345");
    ASSERT_EQ(typedSix.outcome, ProgramRequestOutcome::Ready);
    EXPECT_EQ(typedSix.record.FieldText(1), "912345");
    EXPECT_EQ(typedSix.record.FrameText(), typedSix.frame.frameText);
    EXPECT_EQ(questions.asked, 0);
}

} // namespace
} // namespace velmora::test
