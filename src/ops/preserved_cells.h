#pragma once

#include "ops/chip_context.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// Cells of one memory, first to last (inclusive): words of program memory, bytes of EEPROM.
struct CellRange {
    Area area = Area::eeprom;
    std::size_t first = 0;
    std::size_t last = 0;
};

// The texts of the chip's cells in each range, as buffer cells hold them, read inside the open
// operation before anything is written: each memory is read once, and only when a range lies in
// it. Nullopt when a read failed; the failure has been reported.
std::optional<std::vector<std::vector<std::string>>>
read_cell_ranges(ChipContext& ctx, const std::vector<CellRange>& ranges);

} // namespace zz
