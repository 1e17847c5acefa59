#include "dialogs/boards/station_start.h"

#include "dialogs/boards/boards_model.h"

namespace zz {

StationStart station_start(const BoardOptions& o) {
    StationStart s;
    if (o.all_found) {
        s.station = s.search = true;
    } else if (o.virtual_boards > 1) {
        s.station = s.virtual_boards = true;
        for (int n = 1; n <= o.virtual_boards; ++n)
            s.ports.push_back(virtual_board_name(n));
    } else if (!o.ports.empty()) {
        s.ports = o.ports;
        s.station = o.ports.size() > 1;
    } else if (!o.virtual_board && o.virtual_boards == 0) {
        const std::vector<std::string> real = stored_boards(o.settings_boards);
        if (real.size() > 1) {
            s.station = true;
            s.ports = real;
        }
    }
    if (!s.station && o.remote) {
        s.station = true;
        if (o.virtual_board || o.virtual_boards == 1) {
            s.virtual_boards = true;
            s.ports = {virtual_board_name(1)};
        } else if (s.ports.empty()) {
            s.ports = stored_boards(o.settings_boards);
            s.search = s.ports.empty();
        }
    }
    return s;
}

} // namespace zz
