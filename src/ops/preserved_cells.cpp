#include "ops/preserved_cells.h"

#include "ops/chip_read.h"
#include "ops/chip_text.h"

#include <algorithm>

namespace zz {

namespace {

bool any_in(const std::vector<CellRange>& ranges, Area area) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [area](const CellRange& r) { return r.area == area; });
}

} // namespace

std::optional<std::vector<std::vector<std::string>>>
read_cell_ranges(ChipContext& ctx, const std::vector<CellRange>& ranges) {
    std::string eeprom;
    std::string rom;
    if (any_in(ranges, Area::eeprom) && !read_bracketed(ctx, read_eeprom_chip, eeprom))
        return std::nullopt;
    if (any_in(ranges, Area::rom) && !read_bracketed(ctx, read_rom_chip, rom))
        return std::nullopt;
    ctx.progress(0, 32);
    std::vector<std::vector<std::string>> cells;
    for (const CellRange& range : ranges) {
        const bool in_rom = range.area == Area::rom;
        const std::string& stream = in_rom ? rom : eeprom;
        const std::size_t width = in_rom ? cell_digits(ctx.chip) : 2;
        std::vector<std::string>& out = cells.emplace_back();
        for (std::size_t k = range.first; k <= range.last; ++k) {
            // A stream that stopped short has been refused by its read: this cannot be short.
            if ((k + 1) * width > stream.size())
                return std::nullopt;
            out.push_back(stream.substr(k * width, width));
        }
    }
    return cells;
}

} // namespace zz
