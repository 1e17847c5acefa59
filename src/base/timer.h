#pragma once

#include <cstdint>
#include <functional>

namespace zz {

class Loop;

// A periodic timer on the logic thread, fired by Loop::process_events(). Like a window timer it
// does not catch up: after firing, the next tick is one interval after the firing time.
// Enabling a disabled timer, or changing its interval while enabled, restarts the period;
// enabling an enabled one changes nothing.
class Timer {
public:
    Timer(Loop& loop, int interval_ms, std::function<void()> handler);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void set_interval(int ms);
    int interval() const { return interval_ms_; }
    void set_enabled(bool enabled);
    bool enabled() const { return enabled_; }
    void start() { set_enabled(true); }
    void stop() { set_enabled(false); }
    void set_handler(std::function<void()> handler) { handler_ = std::move(handler); }
    std::int64_t due_ms() const { return due_ms_; }

    // Called by the loop.
    void fire_if_due(std::int64_t now_ms);

private:
    Loop& loop_;
    int interval_ms_;
    bool enabled_ = false;
    std::int64_t due_ms_ = 0;
    std::function<void()> handler_;
};

} // namespace zz
