#include "sim/busy_time.h"

#include <algorithm>
#include <iterator>

namespace zz {

void BusyTime::add(std::int64_t from_us, std::int64_t to_us) {
    if (to_us <= from_us)
        return;
    // Swallow every span that touches [from, to] into one.
    auto it = spans_.upper_bound(from_us);
    if (it != spans_.begin() && std::prev(it)->second >= from_us)
        --it;
    while (it != spans_.end() && it->first <= to_us) {
        from_us = std::min(from_us, it->first);
        to_us = std::max(to_us, it->second);
        it = spans_.erase(it);
    }
    spans_.emplace(from_us, to_us);
}

std::int64_t BusyTime::total_us() const {
    std::int64_t total = 0;
    for (const auto& [from, to] : spans_)
        total += to - from;
    return total;
}

std::int64_t BusyTime::total_with_us(const BusyTime& other) const {
    BusyTime both = *this;
    both.merge(other);
    return both.total_us();
}

void BusyTime::merge(const BusyTime& other) {
    for (const auto& [from, to] : other.spans_)
        add(from, to);
}

} // namespace zz
