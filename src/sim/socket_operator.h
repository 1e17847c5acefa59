#pragma once

#include "sim/virtual_board.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zz {

// The chips a person puts into the virtual board's socket, one after another.
using NextChip = std::function<VirtualChip()>;

// One chip's stay in the socket, in virtual time (ms).
struct SocketVisit {
    std::int64_t insert_ms;
    std::int64_t remove_ms;
};

// Scripts the socket: for each visit a chip from `next` goes in and comes out again.
void schedule_visits(VirtualBoard& board, const std::vector<SocketVisit>& visits,
                     const NextChip& next);

// How long the person at the socket takes, in ms.
struct OperatorTimes {
    int insert_ms; // from taking a chip out to putting the next one in
    int remove_ms; // from the board being asked to watch for the removal to taking the chip out
};

// "INSERT_MS,REMOVE_MS" (as --virtual-operator takes it): two whole numbers from 0 to one hour;
// nullopt for anything else.
std::optional<OperatorTimes> parse_operator_times(std::string_view text);

// A person at the socket during the production loop. The board cannot hear the success tone, but
// the loop asks it to watch for the chip's removal ("13") right after the tone: `remove_ms` after
// a "13" that finds a chip in the socket, the person takes it out, and `insert_ms` after that puts
// the next one (from `next`) in. A "13" while a chip is on its way out or in changes nothing.
class SocketOperator {
public:
    // Told of each chip as it is taken out.
    using Removed = std::function<void(const VirtualChip&)>;

    SocketOperator(VirtualBoard& board, OperatorTimes times, NextChip next, Removed removed = {});
    ~SocketOperator();
    SocketOperator(const SocketOperator&) = delete;
    SocketOperator& operator=(const SocketOperator&) = delete;

    int chips_removed() const { return removed_count_; }

private:
    void on_command(std::uint8_t code, std::int64_t time_ms);

    VirtualBoard& board_;
    OperatorTimes times_;
    NextChip next_;
    Removed removed_;
    bool changing_ = false; // a chip is on its way out, or the next on its way in
    int removed_count_ = 0;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0); // gone with the person
};

} // namespace zz
