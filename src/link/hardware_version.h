#pragma once

#include "link/link.h"

namespace zz {

// Asks the board for its hardware version ("15") and, when `shown`, shows it. Runs whatever the
// board's state: the message shows even when nothing arrived. Returns the version; empty when
// none (or a cut-off one) arrived, or another operation runs.
std::string hardware_version_command(Link& link, bool shown = true);

} // namespace zz
