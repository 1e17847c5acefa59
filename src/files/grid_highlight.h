#pragma once

#include "device/buffer_shape.h"

namespace zz {

// Where the serial number sits, as the serial-number settings give it: the first and last cell
// address of the number (inclusive) inside program memory or inside data EEPROM.
struct SerialHighlight {
    bool enabled = false; // SerialNumberEnabled
    bool inc_rom = true;
    bool inc_eeprom = false;
    int inc_start_add = 0;
    int inc_end_add = 0;

    bool operator==(const SerialHighlight&) const = default;
};

// Whether the grid draws cell (row, column) as part of the serial number: only data columns 1-8
// of the rows the number covers. A number in the user ID (neither program memory nor EEPROM) is
// not in the grid and marks nothing, nor does a range that ends before it starts.
bool is_serial_cell(const SerialHighlight& serial, const BufferShape& shape, int row, int column);

} // namespace zz
