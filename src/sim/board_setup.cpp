#include "sim/board_setup.h"

#include "base/hex_text.h"

namespace zz {

BoardSetup BoardSetup::from_frame(std::span<const std::uint8_t> f) {
    BoardSetup s;
    if (f.size() < 12)
        return s;
    s.rom_size = (std::int64_t{f[1]} << 8) | f[2];
    s.eeprom_size = (std::int64_t{f[3]} << 8) | f[4];
    s.core_type = f[5];
    s.program_flags = f[6];
    s.program_delay = f[7];
    s.power_sequence = f[8];
    s.erase_mode = f[9];
    s.program_tries = f[10];
    s.over_program = f[11];
    return s;
}

void BoardSetup::widen_rom_size(std::size_t chip_cells) {
    if (chip_cells <= 0xFFFF)
        return;
    const std::string chip_digits = to_hex(static_cast<std::uint32_t>(chip_cells), 4);
    if (chip_digits.substr(0, 4) == to_hex(static_cast<std::uint32_t>(rom_size), 4))
        rom_size = static_cast<std::int64_t>(chip_cells);
}

} // namespace zz
