#include "dialogs/chip_in_time/chip_in_time_model.h"

#include <gtest/gtest.h>

namespace zz::test {
namespace {

// The stored value (as opened), the track bar moved to, and what is stored after OK.
TEST(ChipInTimeModel, OpensOnTheStoredValueInRangeAndStoresOnlyOnOk) {
    const std::tuple<int, int, int, const char*, int> cases[] = {
        // stored, shown, moved to, label, stored after OK
        {1, 1, 4, "Chip In Socket Time(4)", 4},   {7, 7, 10, "Chip In Socket Time(10)", 10},
        {0, 1, 1, "Chip In Socket Time(1)", 1},   {99, 10, 11, "Chip In Socket Time(10)", 10},
        {-5, 1, -2, "Chip In Socket Time(1)", 1},
    };
    for (const auto& [stored, shown, moved, label, after] : cases) {
        SCOPED_TRACE(stored);
        int value = stored;
        ChipInTimeModel model(value);
        EXPECT_EQ(model.TrackBar1(), shown);
        model.TrackBar1Change(moved);
        EXPECT_EQ(model.Label1(), label);
        EXPECT_EQ(value, stored); // Cancel keeps it
        model.Button1Click();
        EXPECT_EQ(value, after);
    }
}

} // namespace
} // namespace zz::test
