#include "cli/buffer_edits.h"

#include "cli/fuse_commands.h"

namespace zz::cli {

int apply_buffer_edits(CliContext& c) {
    if (const int status = apply_fuse_edits(c); status != kSuccess)
        return status;
    return kSuccess;
}

} // namespace zz::cli
