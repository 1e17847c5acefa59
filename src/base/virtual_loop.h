#pragma once

#include "base/loop.h"

namespace zz {

// A loop on a virtual clock for tests and benchmarks: sleeping advances the clock, nothing waits
// in real time, and a run repeats exactly.
class VirtualLoop : public Loop {
public:
    explicit VirtualLoop(std::int64_t start_ms = 0) : now_(start_ms) {}

    std::int64_t now_ms() const override { return now_; }
    void sleep_ms(int ms) override;
    void poll_pause(int ms) override;
    // Advances the clock to `until_ms`, processing events at every millisecond on the way.
    void run_until(std::int64_t until_ms);
    void run_for(int ms) { run_until(now_ + ms); }

private:
    std::int64_t now_;
};

} // namespace zz
