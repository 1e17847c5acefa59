#pragma once
// Records the longest gap between the ticks of a 5 ms timer on the window's event loop: how long
// the window stays frozen.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace zz::bench {

class StallMeter : public QObject {
public:
    StallMeter() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, &StallMeter::tick);
    }
    void start() {
        clock_.start();
        last_ = 0;
        worst_ = 0;
        timer_.start();
    }
    // The longest gap since start() or the last call (ms).
    qint64 take_worst_ms() { return std::exchange(worst_, 0); }
    qint64 worst_ms() const { return worst_; }

private:
    void tick() {
        const qint64 now = clock_.elapsed();
        worst_ = std::max(worst_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

} // namespace zz::bench
