// How soon the waits of each loop notice bytes that a port's reader thread hands over: a thread
// queues something at a random moment and wakes the loop, as the reader does; the figures are
// the time from then until the waiting code has it, for the command line's loop (RealLoop) and the
// window's (QtLoop), in a polling pause (the settle pause and poll step of every reply wait) and
// in pump_delay. Prints figures only; runs on Qt's offscreen platform when there is no display.
// Usage: bench_loop_wake [ROUNDS] (default 300)
#include "base/real_loop.h"
#include "gui/qt_loop.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

std::int64_t steady_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// What a reader thread hands over: due from the moment it is queued until dispatched.
class HandOver : public zz::EventSource {
public:
    explicit HandOver(zz::Loop& loop) : loop_(loop) { loop_.add_source(this); }
    ~HandOver() override { loop_.remove_source(this); }

    // Worker thread.
    void queue() {
        queued_us_ = steady_us();
        pending_ = true;
        loop_.wake();
    }
    void dispatch(std::int64_t) override {
        if (pending_.exchange(false))
            taken_us_ = steady_us();
    }
    std::optional<std::int64_t> next_due_ms() const override {
        if (!pending_)
            return std::nullopt;
        return loop_.now_ms();
    }
    bool taken() const { return taken_us_ != 0; }
    std::int64_t latency_us() const { return taken_us_ - queued_us_; }
    void reset() { taken_us_ = 0; }

private:
    zz::Loop& loop_;
    std::atomic<bool> pending_{false};
    std::atomic<std::int64_t> queued_us_{0};
    std::int64_t taken_us_ = 0;
};

enum class Wait { PollPause, PumpDelay };

// One round: the worker hands over 0.2 to 3 ms after the wait began; the wait ends (poll_pause)
// or dispatches (pump_delay) and the latency is taken.
std::vector<std::int64_t> measure(zz::Loop& loop, Wait wait, int rounds) {
    HandOver source(loop);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> delay_us(200, 3000);
    std::vector<std::int64_t> latencies;
    for (int r = 0; r < rounds; ++r) {
        source.reset();
        std::thread worker([&source, after = delay_us(random)] {
            std::this_thread::sleep_for(std::chrono::microseconds(after));
            source.queue();
        });
        if (wait == Wait::PollPause) {
            while (!source.taken()) {
                loop.poll_pause(20);
                loop.process_events();
            }
        } else {
            zz::pump_delay(loop, 5);
            while (!source.taken())
                zz::pump_delay(loop, 1);
        }
        worker.join();
        latencies.push_back(source.latency_us());
    }
    std::sort(latencies.begin(), latencies.end());
    return latencies;
}

void report(const char* loop_name, const char* wait_name, const std::vector<std::int64_t>& l) {
    const auto at = [&l](double q) { return l[static_cast<std::size_t>(q * (l.size() - 1))]; };
    std::printf("  %-8s %-10s median %5lld us, 90%% %5lld us, max %6lld us\n", loop_name, wait_name,
                static_cast<long long>(at(0.5)), static_cast<long long>(at(0.9)),
                static_cast<long long>(l.back()));
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::printf("Bytes handed over by another thread: time until the waiting code has them, %d "
                "rounds\n",
                rounds);
    zz::RealLoop real;
    zz::QtLoop window;
    for (const auto& [name, loop] : {std::pair<const char*, zz::Loop*>{"RealLoop", &real},
                                     std::pair<const char*, zz::Loop*>{"QtLoop", &window}}) {
        report(name, "poll_pause", measure(*loop, Wait::PollPause, rounds));
        report(name, "pump_delay", measure(*loop, Wait::PumpDelay, rounds));
    }
    return 0;
}
