#include "sim/board_schedule.h"

#include <iterator>

namespace zz {

void BoardSchedule::add(std::int64_t due_us, Owner owner, std::function<void()> action) {
    actions_.emplace(std::pair{due_us, next_seq_++}, Action{owner, std::move(action)});
}

void BoardSchedule::drop_board_actions() {
    std::erase_if(actions_, [](const auto& entry) { return entry.second.owner == Owner::Board; });
}

std::optional<std::int64_t> BoardSchedule::next_due_us() const {
    if (actions_.empty())
        return std::nullopt;
    return actions_.begin()->first.first;
}

void BoardSchedule::run_until(std::int64_t now_us,
                              const std::function<void(std::int64_t)>& set_clock) {
    while (!actions_.empty() && actions_.begin()->first.first <= now_us) {
        auto node = actions_.extract(actions_.begin());
        set_clock(node.key().first);
        node.mapped().run();
    }
}

} // namespace zz
