#pragma once

#include "link/board_line.h"

#include <string>

namespace zz {

// The virtual board of `model` with an empty socket, on a port called `name`. On the virtual
// clock (`real_time` false) every wait advances the clock instead of sleeping: a command runs in
// CPU time and the same way every time. On the real clock (a window, or a benchmark) the board
// answers as a real one would, every byte paced at 38400 baud.
BoardLine virtual_line(int model, const std::string& name, bool real_time);

} // namespace zz
