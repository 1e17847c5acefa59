#include "gui/qt_loop.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <thread>

namespace zz {

namespace {
// Longest stretch a polling pause waits without letting the window process its events (ms).
constexpr std::int64_t kEventSliceMs = 5;

struct DepthGuard {
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    int& depth_;
};
} // namespace

QtLoop::QtLoop(QObject* parent) : QObject(parent) {
    idle_.setInterval(kIdleTickMs);
    connect(&idle_, &QTimer::timeout, this, &QtLoop::idle_tick);
}

std::int64_t QtLoop::now_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void QtLoop::sleep_ms(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void QtLoop::poll_pause(int ms) {
    std::int64_t until = now_ms() + std::max(ms, 0);
    if (auto due = next_due())
        until = std::min(until, *due);
    DepthGuard guard(depth_);
    for (;;) {
        QCoreApplication::processEvents();
        const std::int64_t left = until - now_ms();
        if (left <= 0 || wait_for_wake(std::min(left, kEventSliceMs)))
            return;
    }
}

bool QtLoop::wait_for_wake(std::int64_t ms) {
    std::unique_lock lock(mutex_);
    const bool woken = cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return woken_; });
    woken_ = false;
    return woken;
}

void QtLoop::process_events() {
    DepthGuard guard(depth_);
    QCoreApplication::processEvents();
    Loop::process_events();
}

void QtLoop::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
    // Between operations nobody polls: have the window's thread deliver at once.
    if (!tick_posted_.exchange(true))
        QMetaObject::invokeMethod(this, &QtLoop::idle_tick, Qt::QueuedConnection);
}

void QtLoop::start_idle() {
    idle_.start();
}

void QtLoop::idle_tick() {
    tick_posted_ = false;
    if (depth_ > 0)
        return;
    DepthGuard guard(depth_);
    Loop::process_events();
}

} // namespace zz
