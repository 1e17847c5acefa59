#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <functional>
#include <optional>
#include <vector>

namespace zz {

class Timer;

// Something that hands events to the logic thread: a port's received bytes, a virtual board's
// replies. Sources deliver only from inside Loop::process_events().
class EventSource {
public:
    virtual ~EventSource() = default;
    // Delivers everything that is due at `now_ms`.
    virtual void dispatch(std::int64_t now_ms) = 0;
    // When the next delivery falls due (ms on the loop's clock); nullopt when nothing is pending.
    virtual std::optional<std::int64_t> next_due_ms() const = 0;
};

// The one thread of logic: a clock, sleeps, and the delivery of events and due timers.
// Waits for the board poll: they call process_events() and pause between polls.
class Loop {
public:
    virtual ~Loop() = default;

    virtual std::int64_t now_ms() const = 0; // monotonic
    // The same clock in microseconds, for what must be timed finer than a poll step.
    virtual std::int64_t now_us() const { return now_ms() * 1000; }
    // Sleeps exactly `ms`; delivers nothing.
    virtual void sleep_ms(int ms) = 0;
    // A polling pause of at most `ms` that ends early once an event source has something due, a
    // timer falls due or a worker thread wakes the loop, so a wait notices data as soon as it
    // arrives instead of sleeping out its poll step.
    virtual void poll_pause(int ms) = 0;
    // Delivers due events of every source, then fires due timers.
    virtual void process_events();
    // Thread-safe: a worker thread has queued something for a source; ends a polling pause.
    virtual void wake() {}

    void add_source(EventSource* source);
    void remove_source(EventSource* source);
    void add_timer(Timer* timer);
    void remove_timer(Timer* timer);

protected:
    // Earliest due time over all sources and enabled timers, if any: a pause ends there.
    std::optional<std::int64_t> next_due() const;

private:
    void dispatch_sources();
    void fire_due_timers();

    std::vector<EventSource*> sources_;
    std::vector<Timer*> timers_;
};

// Runs `work` on a thread of its own while `loop` processes its events every few ms, so that a
// window stays alive while a database takes its time (its calls have deadlines of their own).
// Returns what `work` returns, or throws what it throws.
template <class Work> auto while_processing_events(Loop& loop, Work&& work) -> decltype(work()) {
    auto done = std::async(std::launch::async, std::forward<Work>(work));
    while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        loop.process_events();
    return done.get();
}

// `pump_delay(n)`: processes events for n+1 ms, in rounds of at most 1 ms that end early when
// something falls due, so what arrives is handed over at once; n = 0 processes events once.
void pump_delay(Loop& loop, int n);
// Processes events as pump_delay does for at most `ms`, ending as soon as `done` holds (it is
// asked after each round). Returns whether it held.
bool pump_until(Loop& loop, int ms, const std::function<bool()>& done);

} // namespace zz
