#pragma once

#include "base/loop.h"
#include "link/board_discovery.h"
#include "link/port.h"
#include "sim/virtual_board.h"

#include <memory>
#include <string>

namespace zz::cli {

// What the session runs on: a serial port on the real clock, or the virtual board on a virtual
// clock.
//
// The virtual board keeps its 38400-baud wire timing, but its clock is virtual: every wait of
// the application advances it instead of sleeping, so a command runs in CPU time (a full
// 16F877A Program takes 20 s of board time and a few ms of real time) and runs the same way
// every time. On the real clock the same program would take the 20 s, and a slow machine could
// miss a reply deadline.
class BoardLine {
public:
    // A serial port; a search (and the start-up search) probes `search_ports`.
    static BoardLine serial(BoardDiscovery::PortLister search_ports);
    // The virtual board of `model` with an empty socket, on a port of that name.
    static BoardLine virtual_board(int model, std::string name = "Virtual board");

    Loop& loop() { return *loop_; }
    Port& port() { return *port_; }
    const BoardDiscovery::PortLister& lister() const { return lister_; }
    // Null for a serial port.
    VirtualBoard* board() { return board_.get(); }

private:
    std::unique_ptr<Loop> loop_;
    std::unique_ptr<VirtualBoard> board_;
    std::unique_ptr<Port> port_;
    BoardDiscovery::PortLister lister_;
};

} // namespace zz::cli
