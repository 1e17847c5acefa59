#pragma once

#include "link/link.h"

#include <functional>

namespace zz {

// The "CALIB" button and menu item: shows the calibration dialog (`show_dialog` returns when it
// has closed) with the replies collected, then hands the board back to its announcements.
// Does nothing while the board is busy.
void calib_command(Link& link, const std::function<void()>& show_dialog);

} // namespace zz
