#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zz {

// Byte addresses of image data that the chip has no place for, kept as ranges in the order the
// file brings them; a range that continues the last one extends it. A hostile file cannot make
// the list grow without bound: past kKeptRanges only the count of further ranges is kept.
class DroppedData {
public:
    struct Range {
        std::int64_t first = 0;
        std::int64_t last = 0;
    };
    static constexpr std::size_t kKeptRanges = 16;

    void add(std::int64_t address, std::size_t count);
    bool empty() const { return bytes_ == 0; }
    std::uint64_t bytes() const { return bytes_; }
    const std::vector<Range>& ranges() const { return ranges_; }
    // "0x10000-0x1000F, 0x1E004" and ", and N more ranges" past the kept ones.
    std::string text() const;

private:
    std::vector<Range> ranges_;
    std::int64_t next_ = -1; // the address that would continue the last range
    std::size_t more_ranges_ = 0;
    std::uint64_t bytes_ = 0;
};

} // namespace zz
