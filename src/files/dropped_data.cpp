#include "files/dropped_data.h"

#include <cstdio>

namespace zz {

namespace {
// A linear address and the last record's 255 bytes may pass 32 bits.
std::string address_text(std::int64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(address));
    return text;
}
} // namespace

void DroppedData::add(std::int64_t address, std::size_t count) {
    if (count == 0)
        return;
    const auto end = address + static_cast<std::int64_t>(count);
    bytes_ += count;
    if (address == next_) {
        if (more_ranges_ == 0)
            ranges_.back().last = end - 1;
    } else if (ranges_.size() < kKeptRanges) {
        ranges_.push_back({address, end - 1});
    } else {
        ++more_ranges_;
    }
    next_ = end;
}

std::string DroppedData::text() const {
    std::string out;
    for (const Range& r : ranges_) {
        out += out.empty() ? "" : ", ";
        out += address_text(r.first);
        if (r.last != r.first)
            out += "-" + address_text(r.last);
    }
    if (more_ranges_ > 0)
        out += ", and " + std::to_string(more_ranges_) + " more ranges";
    return out;
}

} // namespace zz
