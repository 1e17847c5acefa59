#pragma once
// What one board's session runs on: its clock and events, the line to the board, the ports a
// board search probes and, on the virtual board, the board itself. The front ends hand the
// station a factory of them (a serial port, or the virtual board), so that a list of ports
// becomes running boards one way everywhere.
#include "base/loop.h"
#include "link/board_discovery.h"
#include "link/port.h"

#include <functional>
#include <memory>
#include <string>

namespace zz {

class VirtualBoard;

// Members are destroyed in reverse order: what works the line first, then the port, the board
// and last the clock they all run on.
struct BoardLine {
    std::unique_ptr<Loop> loop;
    std::shared_ptr<VirtualBoard> board; // null on a serial port
    std::unique_ptr<Port> port;
    BoardDiscovery::PortLister lister;
    // Whatever else works the line while it runs (the person at the virtual socket).
    std::shared_ptr<void> attachment;
};

// The line to the board on port `name`.
using BoardFactory = std::function<BoardLine(const std::string& name)>;

// A serial port on the real clock; a search (and the start-up search) probes `search_ports`.
BoardLine serial_line(BoardDiscovery::PortLister search_ports);

} // namespace zz
