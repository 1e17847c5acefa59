#pragma once

#include "cli/cli_context.h"

namespace zz::cli {

// `fuses [FILE]`: every fuse setting of the chip with its options and, with FILE, the option the
// loaded image selects.
int fuses_command(CliContext& c);

// --set and --set-id on the buffer, through the fuse editor as its OK would store them.
int apply_fuse_edits(CliContext& c);

} // namespace zz::cli
