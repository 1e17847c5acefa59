#pragma once

#include <cstdint>
#include <map>

namespace zz {

// The time a set of intervals covers, each moment counted once however the intervals overlap or
// the order they come in (us).
class BusyTime {
public:
    void add(std::int64_t from_us, std::int64_t to_us);
    std::int64_t total_us() const;
    // The time covered by this set or by `other`.
    std::int64_t total_with_us(const BusyTime& other) const;
    // Adds every interval of `other`.
    void merge(const BusyTime& other);
    void clear() { spans_.clear(); }

private:
    std::map<std::int64_t, std::int64_t> spans_; // from -> to; disjoint and not touching
};

} // namespace zz
