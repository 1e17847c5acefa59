#include "base/loop.h"

#include "base/timer.h"

#include <algorithm>

namespace zz {

void Loop::process_events() {
    dispatch_sources();
    fire_due_timers();
}

void Loop::add_source(EventSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
        sources_.push_back(source);
}

void Loop::remove_source(EventSource* source) {
    std::erase(sources_, source);
}

void Loop::add_timer(Timer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end())
        timers_.push_back(timer);
}

void Loop::remove_timer(Timer* timer) {
    std::erase(timers_, timer);
}

std::optional<std::int64_t> Loop::next_due() const {
    std::optional<std::int64_t> due;
    const auto earlier = [&due](std::int64_t d) {
        if (!due || d < *due)
            due = d;
    };
    for (const EventSource* s : sources_)
        if (auto d = s->next_due_ms())
            earlier(*d);
    for (const Timer* t : timers_)
        if (t->enabled())
            earlier(t->due_ms());
    return due;
}

void Loop::dispatch_sources() {
    // Handlers may add or remove sources (a port closed from a receive handler), so walk a copy
    // and skip any that went away meanwhile.
    const auto snapshot = sources_;
    for (EventSource* s : snapshot) {
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end())
            s->dispatch(now_ms());
    }
}

void Loop::fire_due_timers() {
    // Timer handlers run nested waits that call process_events() again; walking a copy and
    // re-checking registration keeps that safe.
    const auto snapshot = timers_;
    for (Timer* t : snapshot) {
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end())
            continue;
        t->fire_if_due(now_ms());
    }
}

namespace {
// Rounds of (pause of at most 1 ms, process events) until `until_us` or until `done` holds.
bool pump_rounds(Loop& loop, std::int64_t until_us, const std::function<bool()>& done) {
    while (loop.now_us() < until_us) {
        loop.poll_pause(1);
        loop.process_events();
        if (done && done())
            return true;
    }
    return done && done();
}
} // namespace

void pump_delay(Loop& loop, int n) {
    if (n <= 0) {
        loop.process_events();
        return;
    }
    pump_rounds(loop, loop.now_us() + std::int64_t{n + 1} * 1000, {});
}

bool pump_until(Loop& loop, int ms, const std::function<bool()>& done) {
    loop.process_events();
    if (done())
        return true;
    return pump_rounds(loop, loop.now_us() + std::int64_t{std::max(ms, 0)} * 1000, done);
}

} // namespace zz
