#pragma once

#include "device/buffer_shape.h"
#include "device/chip_params.h"

#include <array>

namespace zz {

// The buffer grid's layout for a chip: row count and column widths in pixels.
struct GridLayout {
    static constexpr int kColumnCount = 19;
    static constexpr int kDefaultColumnWidth = 34;
    static constexpr int kRowHeight = 15;

    int row_count = 1;
    std::array<int, kColumnCount> column_widths{};

    bool operator==(const GridLayout&) const = default;
};

// Address column 48, data columns 34, spacer 13, printable columns 14, selection column hidden.
GridLayout grid_layout(const ChipParams& chip);

// The cells drawn in red: columns 1-4 of row 0 and of the EEPROM header position R + 1, which
// counts even when the chip has no EEPROM.
bool is_header_cell(const BufferShape& shape, int row, int column);

} // namespace zz
