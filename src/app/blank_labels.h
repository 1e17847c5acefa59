#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

namespace zz {

// The configuration words, user ID and checksum shown for a blank buffer of `chip`, before a
// file or a chip fills them.
void blank_labels(const ChipParams& chip, Buffer& buffer);

} // namespace zz
