#pragma once

#include "cli/cli_context.h"

namespace zz::cli {

// `calibration`: reads the chip's calibration word and BandGap bits as the calibration dialog's
// "Read Chip" does and prints them. kFailed for a chip without a calibration word and for a read
// that failed.
int calibration_command(CliContext& c);

} // namespace zz::cli
