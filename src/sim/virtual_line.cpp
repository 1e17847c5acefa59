#include "sim/virtual_line.h"

#include "base/real_loop.h"
#include "base/virtual_loop.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

namespace zz {

BoardLine virtual_line(int model, const std::string& name, bool real_time) {
    BoardLine line;
    if (real_time)
        line.loop = std::make_unique<RealLoop>();
    else
        line.loop = std::make_unique<VirtualLoop>();
    line.board = std::make_shared<VirtualBoard>(*line.loop, model);
    line.board->set_wire_timing(true);
    auto port = std::make_unique<VirtualPort>(*line.loop, *line.board, name);
    line.lister = [name = port->name()] { return std::vector<std::string>{name}; };
    line.port = std::move(port);
    return line;
}

} // namespace zz
