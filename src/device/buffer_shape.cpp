#include "device/buffer_shape.h"

#include <algorithm>

namespace zz {

namespace {
int rows_for(std::int64_t cells) {
    return static_cast<int>(std::clamp<std::int64_t>(cells, 0, BufferShape::kMaxCells) /
                            BufferShape::kCellsPerRow);
}
} // namespace

BufferShape buffer_shape(const ChipParams& chip) {
    BufferShape shape;
    shape.rom_rows = rows_for(chip.ROMsize);
    shape.eeprom_rows = rows_for(chip.EEPROMsize);
    shape.eeprom = chip.EEPROMsize != 0;
    shape.chip_bit = chip.CHIPbit;
    return shape;
}

} // namespace zz
