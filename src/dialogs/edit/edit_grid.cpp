#include "dialogs/edit/edit_grid.h"

#include "base/hex_text.h"
#include "dialogs/hex_entry.h"

#include <algorithm>

namespace zz {

namespace {
constexpr int kCellsPerRow = BufferShape::kCellsPerRow;
} // namespace

EditGrid::EditGrid(const Buffer& buffer, Area area, int rows, std::size_t digits)
    : rows_(std::max(rows, 0)), digits_(digits) {
    const std::size_t count = static_cast<std::size_t>(rows_) * kCellsPerRow;
    cells_.reset(count, std::string(digits_, '0'));
    // Cell by cell, so a cell of another length in the buffer cannot shift its neighbours.
    for (std::size_t i = 0; i < count; ++i)
        cells_.set(i, buffer.cell(area, i));
    if (count > 0)
        selected_ = 0;
}

std::string EditGrid::text(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= kColumnCount)
        return {};
    const auto first = static_cast<std::size_t>(row) * kCellsPerRow;
    if (column == 0)
        return to_hex(static_cast<std::uint32_t>(first), 4) + ":";
    return std::string(cells_.get(first + static_cast<std::size_t>(column) - 1));
}

bool EditGrid::select(int row, int column) {
    if (row < 0 || row >= rows_ || column < 1 || column >= kColumnCount) {
        // Keys must not reach the cell selected before.
        selected_.reset();
        fresh_ = false;
        return false;
    }
    selected_ = static_cast<std::size_t>(row) * kCellsPerRow + static_cast<std::size_t>(column) - 1;
    fresh_ = true;
    return true;
}

bool EditGrid::key(char key) {
    if (!selected_)
        return false;
    const std::string before(cells_.get(*selected_));
    std::string text = before;
    if (fresh_) {
        text.clear();
        fresh_ = false;
    }
    text = type_key(std::move(text), key, digits_, hex_key);
    if (text == before)
        return false;
    cells_.set(*selected_, text);
    return true;
}

void EditGrid::fill(std::size_t first, std::size_t last, std::string_view text) {
    for (std::size_t a = first; a <= last && a < cells_.size(); ++a)
        cells_.set(a, text);
}

} // namespace zz
