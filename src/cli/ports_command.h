#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// `ports`: one line per serial port, its fields separated by tabs: the device, the USB vendor and
// product ("-" for a port not on USB), the description, "ok" when this user may open it or
// "no access: " and what gives access, and for an FTDI bridge its latency timer with, above 1 ms,
// how to lower it. Returns the exit status.
int ports_command(const CliOptions& options);

} // namespace zz::cli
