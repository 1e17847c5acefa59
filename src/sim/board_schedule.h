#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace zz {

// Timed actions of the virtual board on a microsecond clock, run in time order (ties in the order
// they were added). Actions of the running board are dropped when it restarts; scripted events
// (a message at a given time, a chip inserted) survive restarts.
class BoardSchedule {
public:
    enum class Owner { Board, Script };

    void add(std::int64_t due_us, Owner owner, std::function<void()> action);
    void drop_board_actions();
    std::optional<std::int64_t> next_due_us() const;
    // Runs every action due at or before `now_us`, including actions that running ones add.
    // Safe against re-entry from inside an action; `set_clock` gets each action's time first.
    void run_until(std::int64_t now_us, const std::function<void(std::int64_t)>& set_clock);

private:
    struct Action {
        Owner owner;
        std::function<void()> run;
    };
    std::map<std::pair<std::int64_t, std::uint64_t>, Action> actions_;
    std::uint64_t next_seq_ = 0;
};

} // namespace zz
