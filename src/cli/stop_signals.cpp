#include "cli/stop_signals.h"

#include <atomic>
#include <csignal>

namespace zz::cli {

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void on_stop_signal(int) {
    g_stop.store(true);
}

} // namespace

void catch_stop_signals() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND; // the second signal is not caught
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stop_signal_caught() {
    return g_stop.load();
}

} // namespace zz::cli
