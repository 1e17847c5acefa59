#include "base/timer.h"
#include "base/virtual_loop.h"

#include <gtest/gtest.h>

#include <deque>

namespace zz {
namespace {

// A source that delivers scheduled values at their virtual times.
class ScriptedSource : public EventSource {
public:
    explicit ScriptedSource(Loop& loop) : loop_(loop) { loop_.add_source(this); }
    ~ScriptedSource() override { loop_.remove_source(this); }
    void schedule(std::int64_t at, int value) { pending_.push_back({at, value}); }
    void dispatch(std::int64_t now) override {
        while (!pending_.empty() && pending_.front().first <= now) {
            delivered.push_back({now, pending_.front().second});
            pending_.pop_front();
        }
    }
    std::optional<std::int64_t> next_due_ms() const override {
        if (pending_.empty())
            return std::nullopt;
        return pending_.front().first;
    }
    std::vector<std::pair<std::int64_t, int>> delivered;

private:
    Loop& loop_;
    std::deque<std::pair<std::int64_t, int>> pending_;
};

TEST(VirtualLoop, TimersFireOnVirtualTimeWithoutCatchingUp) {
    VirtualLoop loop;
    std::vector<std::int64_t> fired;
    Timer t(loop, 100, [&] { fired.push_back(loop.now_ms()); });
    t.start();
    loop.run_for(350);
    EXPECT_EQ(fired, (std::vector<std::int64_t>{100, 200, 300}));

    // A long sleep without processing does not produce a burst of missed ticks.
    fired.clear();
    loop.sleep_ms(1000);
    loop.process_events();
    EXPECT_EQ(fired.size(), 1u);
}

TEST(VirtualLoop, EnablingAnEnabledTimerKeepsItsPeriod) {
    VirtualLoop loop;
    int fired = 0;
    Timer t(loop, 100, [&] { ++fired; });
    t.start();
    loop.run_for(60);
    t.start(); // no restart
    loop.run_for(40);
    EXPECT_EQ(fired, 1);
    t.stop();
    t.start(); // restart: next tick 100 ms from now
    loop.run_for(99);
    EXPECT_EQ(fired, 1);
    loop.run_for(1);
    EXPECT_EQ(fired, 2);
}

TEST(VirtualLoop, TimerHandlerMayPumpTheLoopAndStopItself) {
    VirtualLoop loop;
    int outer = 0, inner = 0;
    Timer other(loop, 3, [&] { ++inner; });
    Timer t(loop, 10, [&] {
        ++outer;
        t.stop();
        pump_delay(loop, 5); // 6 rounds of 1 ms
    });
    t.start();
    other.start();
    loop.run_for(10);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(loop.now_ms(), 16);
    EXPECT_GE(inner, 4);
}

TEST(VirtualLoop, PollPauseEndsWhenASourceFallsDue) {
    VirtualLoop loop(1000);
    ScriptedSource source(loop);
    source.schedule(1003, 7);
    loop.poll_pause(10);
    EXPECT_EQ(loop.now_ms(), 1003);
    loop.process_events();
    ASSERT_EQ(source.delivered.size(), 1u);
    EXPECT_EQ(source.delivered[0], std::make_pair(std::int64_t{1003}, 7));
    loop.poll_pause(10); // nothing pending: the full pause
    EXPECT_EQ(loop.now_ms(), 1013);
    loop.sleep_ms(5); // exact sleeps ignore sources
    EXPECT_EQ(loop.now_ms(), 1018);
}

TEST(VirtualLoop, PumpDelayCounts) {
    VirtualLoop loop;
    pump_delay(loop, 0);
    EXPECT_EQ(loop.now_ms(), 0);
    pump_delay(loop, 15);
    EXPECT_EQ(loop.now_ms(), 16);
}

// A pump that waits for something ends in the round it comes; pump_delay always takes its time.
TEST(VirtualLoop, PumpUntilEndsWhenItsConditionHoldsAndPumpDelayTakesItsTime) {
    struct Case {
        const char* name;
        std::int64_t due; // when the source delivers
        bool pump_delay;  // pump_delay(10) instead of pump_until(11, delivered)
        bool held;
        std::int64_t end;
    };
    const Case cases[] = {
        {"comes in time", 1003, false, true, 1003},
        {"already due", 1000, false, true, 1000},
        {"comes too late", 1020, false, false, 1011},
        {"a delay is not cut short", 1003, true, false, 1011},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualLoop loop(1000);
        ScriptedSource source(loop);
        source.schedule(c.due, 7);
        bool held = false;
        if (c.pump_delay)
            pump_delay(loop, 10);
        else
            held = pump_until(loop, 11, [&source] { return !source.delivered.empty(); });
        EXPECT_EQ(held, c.held);
        EXPECT_EQ(loop.now_ms(), c.end);
        using Delivered = std::vector<std::pair<std::int64_t, int>>;
        EXPECT_EQ(source.delivered, (c.due <= c.end ? Delivered{{c.due, 7}} : Delivered{}))
            << "handed over when it fell due";
    }
}

TEST(VirtualLoop, TimerDestroyedInsideAnotherHandlerIsNotFired) {
    VirtualLoop loop;
    std::unique_ptr<Timer> victim;
    Timer killer(loop, 10, [&] { victim.reset(); }); // registered first, so it fires first
    victim = std::make_unique<Timer>(loop, 10, [] { FAIL() << "destroyed timer fired"; });
    killer.start();
    victim->start();
    loop.run_for(10);
    EXPECT_EQ(victim, nullptr);
}

} // namespace
} // namespace zz
