#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// `ports`: one line per serial port, its fields separated by tabs: the device, the USB vendor and
// product ("-" for a port not on USB), the description, and "ok" when this user may open it or
// "no access: " and what gives access. Returns the exit status.
int ports_command(const CliOptions& options);

} // namespace zz::cli
