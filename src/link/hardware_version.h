#pragma once

#include "link/link.h"

namespace zz {

// Asks the board for its hardware version ("15") and shows it. Runs whatever the board's state:
// the message shows even when nothing arrived.
void hardware_version_command(Link& link);

} // namespace zz
