#pragma once

#include "base/loop.h"

#include <functional>

namespace zz {

// Asks a session to end its waits and its production loop from outside its own thread (a stop
// signal, the station's stop): once `stop` answers true, every round of events on the session's
// loop sets CloseRequested, so the loop ends within one poll step of its wait, and a loop that is
// only starting cannot clear the request.
class CloseRequestWatch : public EventSource {
public:
    CloseRequestWatch(Loop& loop, std::function<bool()> stop, bool& CloseRequested);
    ~CloseRequestWatch() override;
    CloseRequestWatch(const CloseRequestWatch&) = delete;
    CloseRequestWatch& operator=(const CloseRequestWatch&) = delete;

    void dispatch(std::int64_t now_ms) override;
    // Nothing is ever due: the stop is looked for at every poll.
    std::optional<std::int64_t> next_due_ms() const override { return std::nullopt; }

private:
    Loop& loop_;
    std::function<bool()> stop_;
    bool& close_requested_;
};

} // namespace zz
