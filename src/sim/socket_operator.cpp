#include "sim/socket_operator.h"

#include <charconv>

namespace zz {

namespace {
constexpr std::uint8_t kWatchRemoval = 0x13;
constexpr int kLongestMs = 3'600'000;

std::optional<int> whole_ms(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0 || value > kLongestMs)
        return std::nullopt;
    return value;
}
} // namespace

std::optional<OperatorTimes> parse_operator_times(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto insert = whole_ms(text.substr(0, comma));
    const auto remove = whole_ms(text.substr(comma + 1));
    if (!insert || !remove)
        return std::nullopt;
    return OperatorTimes{*insert, *remove};
}

void schedule_visits(VirtualBoard& board, const std::vector<SocketVisit>& visits,
                     const NextChip& next) {
    for (const SocketVisit& visit : visits) {
        board.insert_chip_at(visit.insert_ms, next());
        board.remove_chip_at(visit.remove_ms);
    }
}

SocketOperator::SocketOperator(VirtualBoard& board, OperatorTimes times, NextChip next,
                               Removed removed)
    : board_(board), times_(times), next_(std::move(next)), removed_(std::move(removed)) {
    board_.set_command_observer(
        [this](std::uint8_t code, std::int64_t time_ms) { on_command(code, time_ms); });
}

SocketOperator::~SocketOperator() {
    board_.set_command_observer({});
}

void SocketOperator::on_command(std::uint8_t code, std::int64_t time_ms) {
    if (code != kWatchRemoval || changing_ || !board_.has_chip())
        return;
    changing_ = true;
    const std::int64_t out_ms = time_ms + times_.remove_ms;
    // The board may outlive the person: its scheduled hands then do nothing.
    board_.run_at(out_ms, [this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.expired())
            return;
        if (removed_ && board_.chip())
            removed_(*board_.chip());
        ++removed_count_;
        board_.remove_chip();
    });
    board_.run_at(out_ms + times_.insert_ms, [this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.expired())
            return;
        board_.insert_chip(next_());
        changing_ = false;
    });
}

} // namespace zz
