#include "cli/board_wait.h"

namespace zz::cli {

namespace {
constexpr int kPollMs = 5;
constexpr int kReadyLimitMs = 4000;
constexpr int kIdleLimitMs = 2500; // beyond the 2000 ms watchdog, which reports a silent board
} // namespace

bool wait_for(Loop& loop, const std::function<bool()>& done, int limit_ms) {
    const std::int64_t deadline = loop.now_ms() + limit_ms;
    while (!done() && loop.now_ms() < deadline) {
        loop.process_events();
        if (!done())
            loop.poll_pause(kPollMs);
    }
    return done();
}

bool wait_board_ready(Session& session) {
    Link& link = session.link();
    return wait_for(
        link.loop(), [&] { return link.BoardReady.get(); }, kReadyLimitMs);
}

bool wait_board_idle(Session& session) {
    Link& link = session.link();
    return wait_for(
        link.loop(), [&] { return !link.Timer1.enabled(); }, kIdleLimitMs);
}

} // namespace zz::cli
