// The EOT number of an "EOT WABTEC" tag: the parts list's digit in front of a number of up to five digits; a six-digit
// number only when it begins with that digit; otherwise a refusal naming the digit, before anything is programmed.
#include "TestSupport.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagwindow/ProgramRequest.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace velmora::test {
namespace {

TEST(EotNumberRule, FiveDigitsGetThePrefixSixMustBeginWithIt) {
    const std::tuple<const char*, int, const char*> cases[] = { // typed, prefix, framed ("" refused)
        {"23456", 0, "023456"},  {"23456", 1, "123456"},  {"5", 1, "100005"},
        {"0", 0, "000000"},      {"99999", 9, "999999"},  {"123456", 1, "123456"},
        {"123456", 0, ""},       {"023456", 0, "023456"}, {"023456", 1, ""},
        {"999999", 1, ""},       {"0123456", 1, "123456"}, {"1234567", 1, ""},
    };
    for (const auto& [typed, prefix, framed] : cases)
        EXPECT_EQ(EotNumberWithPrefix(typed, prefix), framed) << typed << " prefix " << prefix;
}

TEST(EotNumberRule, PreparationRefusesNamingTheDigitOrFramesSixDigits) {
    struct Yes : ProgramQuestions {
        int asked = 0;
        bool Ask(const std::string&) override { return ++asked, true; }
    } questions;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TagFormatData f = data.GetTagFormatData(3); // the EOT Device rows
    f.systemSlot = 0;
    SetText(f.formatName, "EOT WABTEC");
    data.UpdateTagFormatData(6, f);
    // KCS is listed with prefix 9, type 0, RIGHT, AT5541; BNQ with prefix 0.
    auto prepare = [&](const std::string& mark, const std::string& number) {
        ProgramRequestInput in;
        in.formatIndex = 6;
        in.texts[0] = mark, in.texts[1] = number, in.texts[2] = "0", in.texts[3] = "RIGHT";
        in.hasControl = ShownRows(f);
        in.tagType = "AT5541";
        return PrepareProgramRequest(data, in, true, questions);
    };
    for (const auto& [mark, digit] : {std::pair{"KCS", "\"9\""}, std::pair{"BNQ", "\"0\""}}) {
        const ProgramRequest refused = prepare(mark, "123456");
        EXPECT_EQ(refused.outcome, ProgramRequestOutcome::Refused) << mark;
        EXPECT_NE(refused.message.find(digit), std::string::npos) << refused.message;
        EXPECT_TRUE(refused.frame.frameText.empty()) << mark;
    }
    EXPECT_EQ(data.GetLastTagRecord().FieldText(1), ""); // no record of the attempts

    const ProgramRequest typedFive = prepare("BNQ", "23456");
    ASSERT_EQ(typedFive.outcome, ProgramRequestOutcome::Ready);
    EXPECT_EQ(typedFive.record.FieldText(1), "023456");
    const ProgramRequest typedSix = prepare("KCS", "912345");
    ASSERT_EQ(typedSix.outcome, ProgramRequestOutcome::Ready);
    EXPECT_EQ(typedSix.record.FieldText(1), "912345");
    EXPECT_EQ(typedSix.record.FrameText(), typedSix.frame.frameText);
    EXPECT_EQ(questions.asked, 0);
}

} // namespace
} // namespace velmora::test
