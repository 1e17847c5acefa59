#include "files/grid_highlight.h"

namespace zz {

namespace {
constexpr int kCells = BufferShape::kCellsPerRow;
} // namespace

bool is_serial_cell(const SerialHighlight& serial, const BufferShape& shape, int row, int column) {
    if (!serial.enabled || column < 1 || column > kCells)
        return false;
    if (serial.inc_start_add < 0 || serial.inc_end_add < serial.inc_start_add)
        return false;
    int first_row_of_area = 0;
    if (serial.inc_rom)
        first_row_of_area = 1;
    else if (serial.inc_eeprom)
        first_row_of_area = shape.first_eeprom_row();
    else
        return false;
    const int first = first_row_of_area + serial.inc_start_add / kCells;
    const int last = first_row_of_area + serial.inc_end_add / kCells;
    if (row < first || row > last)
        return false;
    const int from = row == first ? serial.inc_start_add % kCells + 1 : 1;
    const int to = row == last ? serial.inc_end_add % kCells + 1 : kCells;
    return column >= from && column <= to;
}

} // namespace zz
