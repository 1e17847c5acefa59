#include "cli/board_line.h"

#include "base/real_loop.h"
#include "base/virtual_loop.h"
#include "link/serial_port.h"
#include "sim/virtual_port.h"

namespace zz::cli {

BoardLine BoardLine::serial(BoardDiscovery::PortLister search_ports) {
    BoardLine line;
    line.loop_ = std::make_unique<RealLoop>();
    line.port_ = std::make_unique<SerialPort>(*line.loop_);
    line.lister_ = std::move(search_ports);
    return line;
}

BoardLine BoardLine::virtual_board(int model, std::string name) {
    BoardLine line;
    line.loop_ = std::make_unique<VirtualLoop>();
    line.board_ = std::make_unique<VirtualBoard>(*line.loop_, model);
    line.board_->set_wire_timing(true);
    auto port = std::make_unique<VirtualPort>(*line.loop_, *line.board_, std::move(name));
    line.lister_ = [name = port->name()] { return std::vector<std::string>{name}; };
    line.port_ = std::move(port);
    return line;
}

} // namespace zz::cli
