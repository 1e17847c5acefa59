#pragma once

#include "ops/chip_context.h"

#include <cstdint>
#include <string>

namespace zz {

// Programs program memory from the buffer and reads it back (always for 16-bit cores and serial
// EEPROMs, with "Write finish again verify once " for the others); a 16-bit core also gets its
// ID and configuration here. Runs inside an open operation.
bool write_rom_chip(ChipContext& ctx);
// Programs the used part of the data EEPROM and reads it back; true at once without EEPROM.
bool write_eeprom_chip(ChipContext& ctx);

// Words the "07" stream announces for `image`: up to the next multiple of 32 above the last
// non-blank word (whole memory for serial EEPROMs), at most ROMsize and 0xFFFD; 0 writes nothing.
std::int64_t rom_write_count(const ChipParams& chip, const std::string& image);
// Bytes the "08" stream announces: one past the last non-FFh byte, in whole 2-byte units; 0 when
// nothing is written.
std::int64_t eeprom_write_count(const ChipParams& chip, const std::string& image);
// The program memory image as written and compared: the buffer, with the saved calibration word
// in the last word when it is preserved.
std::string rom_image(ChipContext& ctx);

} // namespace zz
