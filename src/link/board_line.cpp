#include "link/board_line.h"

#include "base/real_loop.h"
#include "link/serial_port.h"

namespace zz {

BoardLine serial_line(BoardDiscovery::PortLister search_ports) {
    BoardLine line;
    line.loop = std::make_unique<RealLoop>();
    line.port = std::make_unique<SerialPort>(*line.loop);
    line.lister = std::move(search_ports);
    return line;
}

} // namespace zz
