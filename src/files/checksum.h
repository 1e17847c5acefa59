#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <cstdint>
#include <functional>

namespace zz {

// The 16-bit sum of the program memory and the configuration words (by CHIPbit; EEPROM, ID and
// OSCCAL never count). A cell or word text that is not hex counts as -1 (FFFF).
std::uint16_t buffer_checksum(const ChipParams& chip, const Buffer& buffer);

// Program cells by index.
using CellFilter = std::function<bool(std::size_t)>;
// The same with the program cells that `left_out` names counted at their erased value
// (ROMblank), so that cells which differ from chip to chip do not change the sum.
std::uint16_t buffer_checksum(const ChipParams& chip, const Buffer& buffer,
                              const CellFilter& left_out);

// Computes the sum and shows it in lab_checksum as "Checksum 0x" and four hex digits.
void calc_checksum(const ChipParams& chip, Buffer& buffer);

} // namespace zz
