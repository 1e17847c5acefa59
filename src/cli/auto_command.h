#pragma once

#include "cli/cli_context.h"

namespace zz::cli {

// `auto FILE`: loads FILE and runs Auto Program until --count chips have passed (and the last
// has been taken out), the target is reached, a stop signal arrives or the board stops
// answering. One line per chip (under --json one object per line), then the summary. Success
// when the loop ran and every chip passed.
int auto_command(CliContext& c);

} // namespace zz::cli
