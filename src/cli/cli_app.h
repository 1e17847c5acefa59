#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// Runs one command with its options and prints its result; returns the exit status.
int run_cli(const CliOptions& options);

} // namespace zz::cli
