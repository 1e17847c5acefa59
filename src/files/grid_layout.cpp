#include "files/grid_layout.h"

namespace zz {

namespace {
constexpr int kAddressWidth = 48;
constexpr int kSpacerWidth = 13;
constexpr int kViewWidth = 14;
constexpr int kSpacerColumn = 9;
constexpr int kSelectionColumn = 18;
} // namespace

GridLayout grid_layout(const ChipParams& chip) {
    GridLayout layout;
    layout.row_count = buffer_shape(chip).row_count();
    layout.column_widths.fill(GridLayout::kDefaultColumnWidth);
    layout.column_widths[0] = kAddressWidth;
    layout.column_widths[kSpacerColumn] = kSpacerWidth;
    for (int c = kSpacerColumn + 1; c < kSelectionColumn; ++c)
        layout.column_widths[c] = kViewWidth;
    layout.column_widths[kSelectionColumn] = 0;
    return layout;
}

bool is_header_cell(const BufferShape& shape, int row, int column) {
    return (row == 0 || row == shape.eeprom_header_row()) && column >= 1 && column <= 4;
}

} // namespace zz
