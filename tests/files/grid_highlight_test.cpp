#include "files/grid_highlight.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace zz {
namespace {

using Cells = std::set<std::pair<int, int>>; // (row, column)

BufferShape shape_with_eeprom() {
    BufferShape shape;
    shape.rom_rows = 4;
    shape.eeprom_rows = 2;
    shape.eeprom = true;
    return shape;
}

Cells marked(const SerialHighlight& serial, const BufferShape& shape) {
    Cells out;
    for (int row = 0; row < shape.row_count() + 1; ++row)
        for (int column = 0; column < 19; ++column)
            if (is_serial_cell(serial, shape, row, column))
                out.insert({row, column});
    return out;
}

struct Case {
    const char* name;
    SerialHighlight serial;
    Cells expected;
};

class GridHighlight : public ::testing::TestWithParam<Case> {};

TEST_P(GridHighlight, MarksTheDataCellsOfTheNumber) {
    EXPECT_EQ(marked(GetParam().serial, shape_with_eeprom()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, GridHighlight,
    ::testing::Values(
        Case{"RomAcrossARowBoundary",
             {true, true, false, 5, 10},
             {{1, 6}, {1, 7}, {1, 8}, {2, 1}, {2, 2}, {2, 3}}},
        Case{"EepromFirstTwoBytes", {true, false, true, 0, 1}, {{6, 1}, {6, 2}}},
        Case{"OneCell", {true, true, false, 8, 8}, {{2, 1}}},
        Case{"ThreeRowsFillTheMiddleRow",
             {true, true, false, 7, 16},
             {{1, 8}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {2, 8}, {3, 1}}},
        Case{"Disabled", {false, true, false, 0, 3}, {}},
        Case{"UserIdIsNotInTheGrid", {true, false, false, 0, 3}, {}},
        Case{"EndBeforeStart", {true, true, false, 9, 2}, {}},
        Case{"NegativeStart", {true, true, false, -8, 2}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridHighlightColumns, PrintableAndAddressColumnsAreNeverMarked) {
    const SerialHighlight whole_row{true, true, false, 0, 7};
    const BufferShape shape = shape_with_eeprom();
    EXPECT_FALSE(is_serial_cell(whole_row, shape, 1, 0));
    EXPECT_FALSE(is_serial_cell(whole_row, shape, 1, 9));
    EXPECT_FALSE(is_serial_cell(whole_row, shape, 1, 10));
    EXPECT_TRUE(is_serial_cell(whole_row, shape, 1, 8));
}

} // namespace
} // namespace zz
