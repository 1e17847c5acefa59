#pragma once

#include "base/loop.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace zz {

// The loop of the window: the real monotonic clock, and waits that keep the window alive by
// processing its events. Between operations an idle timer delivers received bytes and fires the
// core's timers.
class QtLoop : public QObject, public Loop {
    Q_OBJECT
public:
    static constexpr int kIdleTickMs = 10;

    explicit QtLoop(QObject* parent = nullptr);

    std::int64_t now_ms() const override;
    void sleep_ms(int ms) override;
    void poll_pause(int ms) override;
    void process_events() override;
    void wake() override;

    // Starts the idle delivery; call once the core is set up.
    void start_idle();

private:
    void idle_tick();
    // Waits on the wake signal for at most `ms`; true when woken.
    bool wait_for_wake(std::int64_t ms);

    QTimer idle_;
    int depth_ = 0; // inside a wait or a delivery: an idle tick there has nothing to add
    std::atomic<bool> tick_posted_{false};
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = false;
};

} // namespace zz
