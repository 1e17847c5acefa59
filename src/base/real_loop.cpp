#include "base/real_loop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zz {

std::int64_t RealLoop::now_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t RealLoop::now_us() const {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealLoop::sleep_ms(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void RealLoop::poll_pause(int ms) {
    std::int64_t until = now_ms() + std::max(ms, 0);
    if (auto due = next_due())
        until = std::min(until, *due);
    std::unique_lock lock(mutex_);
    const auto wait = std::chrono::milliseconds(std::max<std::int64_t>(until - now_ms(), 0));
    cv_.wait_for(lock, wait, [this] { return woken_; });
    woken_ = false;
}

void RealLoop::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
}

} // namespace zz
