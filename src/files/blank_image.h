#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

namespace zz {

// Whether the buffer holds no data at all, so that programming it leaves the chip erased: every
// program cell ROMblank, every EEPROM byte FFh and, for a PIC, the configuration words their
// blank values and the user ID all F.
bool image_is_blank(const ChipParams& chip, const Buffer& buffer);

} // namespace zz
