#pragma once
// What the Program benchmarks share: the full image every option programs, and the CPU clock.
#include "base/hex_text.h"
#include "device/buffer.h"

#include <ctime>

namespace zz::bench {

// Program memory and EEPROM filled with varied words, an ID and a configuration word, on a
// cleared 16F877A buffer.
inline void fill_full_image(Buffer& buffer) {
    for (std::size_t i = 0; i < buffer.cell_count(Area::rom); ++i)
        buffer.set_cell_and_view(Area::rom, i, to_hex((i * 0x9E37 + 1) & 0x3FFE, 4));
    for (std::size_t i = 0; i < buffer.cell_count(Area::eeprom); ++i)
        buffer.set_cell_and_view(Area::eeprom, i, to_hex((i * 37 + 1) % 255, 2));
    buffer.lab_fuse(1) = "0x3F72";
    buffer.lab_id1 = "0x01020304";
}

// The process's CPU time in ms.
inline double cpu_ms() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace zz::bench
