#pragma once
// Which window the program opens, and on which boards: the one-board window, or the station view
// with a panel per board.
#include <string>
#include <vector>

namespace zz {

// What the window's options and the settings file say about the boards.
struct BoardOptions {
    std::vector<std::string> ports; // --port, in the order given
    bool all_found = false;         // --ports-all-found
    int virtual_boards = 0;         // --virtual-boards N
    bool virtual_board = false;     // --virtual-board
    std::vector<std::string> settings_boards; // "boards" of the settings file
    bool remote = false; // the settings file names an address to listen on
};

struct StationStart {
    bool station = false;        // the station view; else the one-board window
    bool search = false;         // its boards are those the board search finds, once the window is up
    bool virtual_boards = false; // its boards are the virtual board's
    std::vector<std::string> ports; // the station's boards; for the one-board window its --port
};

// The options win over the settings file's list; one board (one --port, --virtual-boards 1, a
// list of one) is the one-board window, as are --virtual-board and no choice at all, unless the
// window listens for remote control: only the station view does, with one board too (and with
// no choice, every board the search finds).
StationStart station_start(const BoardOptions& options);

} // namespace zz
