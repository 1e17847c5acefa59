#pragma once
// The boards the station view shows and the list the person wants: a board is added at once,
// and taken away only once it is idle, never in the middle of a chip or a production loop.
#include <functional>
#include <string>
#include <vector>

namespace zz {

class BoardRoster {
public:
    // Whether the board on a port is at work (a command, the production loop, a question).
    using Busy = std::function<bool(const std::string& port)>;

    struct Changes {
        std::vector<std::string> add;    // new panels, in the wanted order
        std::vector<std::string> remove; // panels to take away now
        bool operator==(const Changes&) const = default;
    };

    // The person's list (a name given twice counts once): what changes now. Busy boards that
    // are no longer wanted stay until settle() finds them idle.
    Changes want(const std::vector<std::string>& ports, const Busy& busy);
    // After a board's state changed: the boards left for being busy that are idle now.
    Changes settle(const Busy& busy);

    // The panels on show, in the order they were added.
    const std::vector<std::string>& shown() const { return shown_; }
    // On show, but no longer wanted: it goes once it is idle.
    bool leaving(const std::string& port) const;

private:
    std::vector<std::string> shown_;
    std::vector<std::string> wanted_;
};

// Columns of the panel grid for `panels` boards: a square, at most 4 wide (16 boards in 4 rows).
int grid_columns(int panels);

// The status line's station-wide count: "4 boards: 37 passed, 1 failed".
std::string station_totals(int boards, int passed, int failed);

} // namespace zz
