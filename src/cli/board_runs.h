#pragma once

#include "app/station.h"
#include "cli/cli_options.h"

#include <string>
#include <vector>

namespace zz::cli {

// The boards `auto` and `program` run on when there are several: every --port given, every port
// where the board search finds a board (--ports-all-found), or "Virtual board 1" ... N
// (--virtual-boards N). Empty for a single board.
std::vector<std::string> several_board_ports(const CliOptions& o);

// The station's summary of a run on several boards: one line per port and the total (under
// --json one object).
void print_summary(const CliOptions& o, const Station& station, int status);

} // namespace zz::cli
