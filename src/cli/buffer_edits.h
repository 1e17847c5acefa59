#pragma once

#include "cli/cli_context.h"

namespace zz::cli {

// The edits the options ask for, made on the buffer right after a FILE is loaded, one feature
// after the other. kSuccess, or kBadInput once the reason has been shown.
int apply_buffer_edits(CliContext& c);

} // namespace zz::cli
