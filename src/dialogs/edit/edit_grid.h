#pragma once

#include "device/buffer.h"
#include "device/cell_store.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

// One grid of the buffer edit dialog: a private copy of one memory area in rows of eight cells
// after a fixed address column, edited key by key.
class EditGrid {
public:
    static constexpr int kColumnCount = 9; // address, eight cells

    // `rows` rows of the area's cells as the buffer holds them; each cell takes `digits`
    // characters.
    EditGrid(const Buffer& buffer, Area area, int rows, std::size_t digits);

    int rows() const { return rows_; }
    std::size_t digits() const { return digits_; }
    std::size_t cell_count() const { return cells_.size(); }
    std::string_view cell(std::size_t index) const { return cells_.get(index); }
    // Column 0: the row's first address, "0008:"; columns 1-8: the cells. Empty outside.
    std::string text(int row, int column) const;

    // At opening the first cell is selected, but not freshly: keys go to it as they are.
    // Selects a cell and marks the selection fresh. False for the address column, which is never
    // edited, and outside the grid: no cell is then selected.
    bool select(int row, int column);
    std::optional<std::size_t> selected() const { return selected_; }
    bool fresh() const { return fresh_; }
    // A key on the selected cell: the first key after a selection empties the cell whatever it
    // is; keys then pass the hex filter while the cell has room. True when the cell changed.
    bool key(char key);

    // Cells `first` to `last` (both included, within the grid) take `text`.
    void fill(std::size_t first, std::size_t last, std::string_view text);

private:
    CellStore cells_;
    int rows_;
    std::size_t digits_;
    std::optional<std::size_t> selected_;
    bool fresh_ = false;
};

} // namespace zz
