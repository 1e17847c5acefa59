#include "sim/board_setup.h"

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

} // namespace zz
