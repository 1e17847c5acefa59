#pragma once

#include "cli/cli_context.h"

namespace zz::cli {

// The edits the options ask for, applied to the buffer right after its image was loaded, as the
// window's editors would apply them, one feature after the other. kSuccess, or kBadInput after
// the reason has been printed.
int apply_buffer_edits(CliContext& c);

// The command loads an image FILE into the buffer, so options that edit the buffer apply to it.
bool loads_image(const CliOptions& o);

} // namespace zz::cli
