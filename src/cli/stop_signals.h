#pragma once

#include "base/loop.h"

namespace zz::cli {

// SIGINT and SIGTERM ask the production loops to end: the chip being programmed finishes, or the
// wait for a chip ends, the board is handed back with "01" and the summary prints. A second
// signal ends the program at once.
void catch_stop_signals();

// Hands a stop signal to one session on its own loop (each board's thread has one): from the
// signal on, every round of events sets CloseRequested, so the loop ends within one poll step
// of its wait, and a loop that is only starting cannot clear the request.
class StopSignalWatch : public EventSource {
public:
    StopSignalWatch(Loop& loop, bool& CloseRequested);
    ~StopSignalWatch() override;
    StopSignalWatch(const StopSignalWatch&) = delete;
    StopSignalWatch& operator=(const StopSignalWatch&) = delete;

    void dispatch(std::int64_t now_ms) override;
    // Nothing is ever due: the signal is looked for at every poll.
    std::optional<std::int64_t> next_due_ms() const override { return std::nullopt; }

private:
    Loop& loop_;
    bool& close_requested_;
};

} // namespace zz::cli
