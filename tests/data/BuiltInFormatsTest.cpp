// The built-in formats of system slots 0 to 5 for each programmer mode and
// market region.
#include "data/AEIData.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct Fixture : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
};

using BuiltInFormats = Fixture;

TEST_F(BuiltInFormats, NorthAmericaSetFillsAllSixSystemSlots) {
    const char* names[] = {"Railcar", "Locomotive", "ASCII", "EOT Device", "Hex", "Container"};
    for (int i = 0; i < 6; ++i) {
        TagFormatData f = data.GetTagFormatData(i);
        EXPECT_EQ(f.defined, 1) << i;
        EXPECT_EQ(f.systemSlot, 1) << i;
        EXPECT_EQ(f.Name(), names[i]);
    }
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora
