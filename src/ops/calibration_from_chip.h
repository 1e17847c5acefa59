#pragma once

#include "ops/chip_context.h"

namespace zz {

// Reads the chip's calibration word (into SavedOsccal) and its BandGap bits (into configuration
// word 1 of the buffer) in an operation of its own, when the chip has them and the operator keeps
// them. A session that has not erased or programmed this chip learns them so, and a following
// verify compares the chip with the values it really holds.
void learn_calibration(ChipContext& ctx);

} // namespace zz
