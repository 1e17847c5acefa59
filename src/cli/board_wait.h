#pragma once

#include "app/session.h"

#include <functional>

namespace zz::cli {

// Processes events until `done` holds or `limit_ms` pass on the loop's clock; returns `done()`.
bool wait_for(Loop& loop, const std::function<bool()>& done, int limit_ms);

// After start-up: until the board's handshake has ended ("Ready"). The limit covers the 2 s
// watchdog and a search of the chosen port for a board of another model.
bool wait_board_ready(Session& session);

// After an operation: until the board has answered the closing "01" with "50" (the watchdog
// then stops), so the next command or the end of the run finds it ready.
bool wait_board_idle(Session& session);

} // namespace zz::cli
