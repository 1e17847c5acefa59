#include "files/grid_layout.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

TEST(GridLayout, WidthsAndRowsForTheChip) {
    ChipParams chip;
    const GridLayout layout = grid_layout(chip);
    EXPECT_EQ(layout.row_count, 1058);
    const std::array<int, 19> widths{48, 34, 34, 34, 34, 34, 34, 34, 34, 13,
                                     14, 14, 14, 14, 14, 14, 14, 14, 0};
    EXPECT_EQ(layout.column_widths, widths);
    chip.EEPROMsize = 0;
    EXPECT_EQ(grid_layout(chip).row_count, 1025);
}

TEST(GridLayout, HeaderCellsIncludeTheEepromHeaderPositionWithoutEeprom) {
    ChipParams chip;
    chip.ROMsize = 16;
    chip.EEPROMsize = 0;
    const BufferShape shape = buffer_shape(chip);
    EXPECT_TRUE(is_header_cell(shape, 0, 1));
    EXPECT_TRUE(is_header_cell(shape, 0, 4));
    EXPECT_FALSE(is_header_cell(shape, 0, 5));
    EXPECT_FALSE(is_header_cell(shape, 0, 0));
    EXPECT_FALSE(is_header_cell(shape, 1, 2));
    EXPECT_TRUE(is_header_cell(shape, 3, 2)); // R + 1, past the last row
}

} // namespace
} // namespace zz
