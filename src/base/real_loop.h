#pragma once

#include "base/loop.h"

#include <condition_variable>
#include <mutex>

namespace zz {

// The loop on the real clock. Worker threads (a port's reader) call wake() after queueing data so
// that a polling pause ends at once.
class RealLoop : public Loop {
public:
    std::int64_t now_ms() const override;
    std::int64_t now_us() const override;
    void sleep_ms(int ms) override;
    void poll_pause(int ms) override;
    void wake() override;

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = false;
};

} // namespace zz
