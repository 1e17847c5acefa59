#pragma once

#include "link/link.h"

#include <chrono>
#include <string>

namespace zz::cli {

// A progress bar on stderr for operations that run longer than a second, drawn from the link's
// progress position and status line; only when stderr is a terminal.
class ProgressMeter {
public:
    // Observes the link's status for the rest of its life; draws only when `wanted` and stderr
    // is a terminal.
    ProgressMeter(LinkStatus& status, bool wanted);
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    // A command starts: the second before the bar appears counts from here.
    void start();
    // The command ended: the bar line is cleared.
    void finish();

private:
    void update();

    using Clock = std::chrono::steady_clock;
    static constexpr auto kQuietTime = std::chrono::seconds(1);
    static constexpr auto kRedrawTime = std::chrono::milliseconds(100);
    static constexpr int kWidth = 30; // characters of the bar

    LinkStatus& status_;
    bool enabled_;
    bool running_ = false;
    bool drawn_ = false;
    Clock::time_point started_{};
    Clock::time_point drawn_at_{};
};

} // namespace zz::cli
