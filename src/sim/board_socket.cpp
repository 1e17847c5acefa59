#include "sim/virtual_board.h"

namespace zz {

namespace {

constexpr std::int64_t kDebounceUs = 50'000; // the socket contacts settle before a report

} // namespace

void VirtualBoard::insert_chip(VirtualChip chip) {
    chip_ = std::move(chip);
    check_watch();
}

void VirtualBoard::remove_chip() {
    chip_.reset();
    check_watch();
}

void VirtualBoard::insert_chip_at(std::int64_t time_ms, VirtualChip chip) {
    run_at(time_ms, [this, chip = std::move(chip)] { insert_chip(chip); });
}

void VirtualBoard::remove_chip_at(std::int64_t time_ms) {
    run_at(time_ms, [this] { remove_chip(); });
}

void VirtualBoard::run_at(std::int64_t time_ms, std::function<void()> action) {
    schedule_.add(time_ms * 1000, BoardSchedule::Owner::Script, std::move(action));
}

void VirtualBoard::watch_socket(Watch watch) {
    watch_ = watch;
    watch_from_us_ = work_free_us_;
    check_watch();
}

// Reports 59h once the socket is in the state watched for: a chip present after "12", an empty
// socket after "13".
void VirtualBoard::check_watch() {
    if (watch_ == Watch::None || phase_ != Phase::Running || dead_)
        return;
    if ((watch_ == Watch::Insert) != chip_.has_value())
        return;
    watch_ = Watch::None;
    clock_us_ = now_us();
    socket_waits_.add(watch_from_us_, clock_us_);
    answer(fault_target::kSocketReport, {{0x59}}, kDebounceUs);
}

} // namespace zz
