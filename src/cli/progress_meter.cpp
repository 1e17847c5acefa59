#include "cli/progress_meter.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace zz::cli {

ProgressMeter::ProgressMeter(LinkStatus& status, bool wanted)
    : status_(status), enabled_(wanted && isatty(STDERR_FILENO) == 1) {
    if (!enabled_)
        return;
    status_.progress_position.observe([this](const int&) { update(); });
    status_.Label11.observe([this](const std::string&) { update(); });
}

void ProgressMeter::start() {
    running_ = true;
    started_ = Clock::now();
}

void ProgressMeter::finish() {
    running_ = false;
    if (drawn_)
        std::fprintf(stderr, "\r\033[K");
    drawn_ = false;
}

void ProgressMeter::update() {
    const auto now = Clock::now();
    if (!running_ || now - started_ < kQuietTime || (drawn_ && now - drawn_at_ < kRedrawTime))
        return;
    const int max = std::max(status_.progress_max.get(), 1);
    const int position = std::clamp(status_.progress_position.get(), 0, max);
    const int filled = static_cast<int>(static_cast<long long>(position) * kWidth / max);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r\033[K[%s] %3d%% %s", bar.c_str(),
                 static_cast<int>(static_cast<long long>(position) * 100 / max),
                 status_.Label11.get().c_str());
    std::fflush(stderr);
    drawn_ = true;
    drawn_at_ = now;
}

} // namespace zz::cli
