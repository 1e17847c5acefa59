#pragma once

#include "device/chip_params.h"

#include <cstddef>

namespace zz {

// How the buffer of a chip is laid out in rows of eight cells: row 0 is the program memory
// header, rows 1 ... R the program memory, then (when the chip has EEPROM) the EEPROM header
// and E EEPROM rows. A size that is no multiple of 8 loses its remainder.
struct BufferShape {
    int rom_rows = 0;    // R
    int eeprom_rows = 0; // E
    bool eeprom = false; // EEPROMsize is not 0: the EEPROM header row exists
    int chip_bit = 2;

    static constexpr int kCellsPerRow = 8;
    // A bound on either memory (cells) so that a damaged database cannot demand gigabytes; the
    // largest chip has 131072 cells.
    static constexpr std::int64_t kMaxCells = std::int64_t{1} << 20;

    std::size_t rom_cells() const { return static_cast<std::size_t>(rom_rows) * kCellsPerRow; }
    std::size_t eeprom_cells() const {
        return static_cast<std::size_t>(eeprom_rows) * kCellsPerRow;
    }
    int eeprom_header_row() const { return rom_rows + 1; }
    int first_eeprom_row() const { return rom_rows + 2; }
    int row_count() const { return eeprom ? rom_rows + eeprom_rows + 2 : rom_rows + 1; }

    bool operator==(const BufferShape&) const = default;
};

BufferShape buffer_shape(const ChipParams& chip);

} // namespace zz
