#include "base/timer.h"

#include "base/loop.h"

namespace zz {

Timer::Timer(Loop& loop, int interval_ms, std::function<void()> handler)
    : loop_(loop), interval_ms_(interval_ms), handler_(std::move(handler)) {
    loop_.add_timer(this);
}

Timer::~Timer() {
    loop_.remove_timer(this);
}

void Timer::set_interval(int ms) {
    if (ms == interval_ms_)
        return;
    interval_ms_ = ms;
    if (enabled_)
        due_ms_ = loop_.now_ms() + interval_ms_;
}

void Timer::set_enabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled)
        due_ms_ = loop_.now_ms() + interval_ms_;
}

void Timer::fire_if_due(std::int64_t now_ms) {
    if (!enabled_ || now_ms < due_ms_ || interval_ms_ <= 0)
        return;
    due_ms_ = now_ms + interval_ms_;
    if (handler_)
        handler_();
}

} // namespace zz
