#pragma once

#include "ops/chip_context.h"

namespace zz {

// Loads the chip's set-up into the board and checks the device ID of the chip in the socket
// against ChipID; a mismatch asks the operator whether to go on. True when the command may go on.
bool write_chip_message(ChipContext& ctx);

// The device ID of an information block: digits 3-6 with the revision bits and the two top bits
// of the high byte cleared (low byte first, as ChipID is written).
std::string masked_device_id(std::string_view info);

} // namespace zz
