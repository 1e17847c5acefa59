#include "dialogs/boards/board_roster.h"

#include <algorithm>

namespace zz {

namespace {

bool holds(const std::vector<std::string>& ports, const std::string& port) {
    return std::find(ports.begin(), ports.end(), port) != ports.end();
}

} // namespace

BoardRoster::Changes BoardRoster::want(const std::vector<std::string>& ports, const Busy& busy) {
    wanted_.clear();
    for (const std::string& port : ports)
        if (!port.empty() && !holds(wanted_, port))
            wanted_.push_back(port);
    Changes changes;
    for (const std::string& port : wanted_)
        if (!holds(shown_, port)) {
            changes.add.push_back(port);
            shown_.push_back(port);
        }
    Changes leaving = settle(busy);
    changes.remove = std::move(leaving.remove);
    return changes;
}

BoardRoster::Changes BoardRoster::settle(const Busy& busy) {
    Changes changes;
    for (const std::string& port : shown_)
        if (!holds(wanted_, port) && !busy(port))
            changes.remove.push_back(port);
    std::erase_if(shown_, [&changes](const std::string& port) {
        return holds(changes.remove, port);
    });
    return changes;
}

bool BoardRoster::leaving(const std::string& port) const {
    return holds(shown_, port) && !holds(wanted_, port);
}

int grid_columns(int panels) {
    int columns = 1;
    while (columns < 4 && columns * columns < panels)
        ++columns;
    return columns;
}

std::string station_totals(int boards, int passed, int failed) {
    return std::to_string(boards) + (boards == 1 ? " board: " : " boards: ") +
           std::to_string(passed) + " passed, " + std::to_string(failed) + " failed";
}

} // namespace zz
