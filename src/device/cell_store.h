#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zz {

// The texts of one memory area's cells. Cells as long as the blank text lie packed in one
// string (4 bytes per word cell, no per-cell allocation); a cell given a text of another length
// (a malformed file, an edited cell) is kept aside with its exact text.
class CellStore {
public:
    // `count` cells, each holding `fill`.
    void reset(std::size_t count, std::string_view fill);

    std::size_t size() const { return count_; }
    // Valid until the next change. Empty for an index past the end.
    std::string_view get(std::size_t index) const;
    // Ignored for an index past the end.
    void set(std::size_t index, std::string_view text);
    // Appends the first `count` cells (at most all) in order.
    void append_to(std::string& out, std::size_t count) const;

private:
    std::size_t count_ = 0;
    std::size_t width_ = 0;
    std::string packed_;
    std::unordered_map<std::size_t, std::string> odd_;
};

} // namespace zz
