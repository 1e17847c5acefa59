#include "base/virtual_loop.h"

#include <algorithm>

namespace zz {

void VirtualLoop::sleep_ms(int ms) {
    if (ms > 0)
        now_ += ms;
}

void VirtualLoop::poll_pause(int ms) {
    std::int64_t until = now_ + std::max(ms, 0);
    if (auto due = next_due())
        until = std::min(until, std::max(*due, now_));
    now_ = until;
}

void VirtualLoop::run_until(std::int64_t until_ms) {
    process_events();
    while (now_ < until_ms) {
        ++now_;
        process_events();
    }
}

} // namespace zz
