#pragma once

#include "ops/chip_context.h"

#include <string>

namespace zz {

// Reads program memory, data EEPROM, ID and configuration words into the buffer. The buffer
// changes only when every exchange succeeded. Runs inside an open operation.
bool read_chip(ChipContext& ctx);
// Reads the stream of one area (read_rom_chip, read_eeprom_chip) inside its own "04"/"05"
// bracket; false when an exchange failed.
bool read_bracketed(ChipContext& ctx, std::string (*read)(ChipContext&), std::string& out);
// The program memory stream "0B" as hex text (all digits received); "00" on failure. Called
// inside an open "04"/"56" access sequence.
std::string read_rom_chip(ChipContext& ctx);
// The data EEPROM stream "0C"; "00" on failure, "FF" for a chip without EEPROM.
std::string read_eeprom_chip(ChipContext& ctx);
// The calibration instruction word ("34" + literal on 14-bit cores, "0C" + literal on 12-bit
// cores); "00" on failure. Leaves CollectReplies set.
std::string read_cal(ChipContext& ctx);
// Configuration word 1 as four digits, high byte first; "00" on failure.
std::string read_bandgap(ChipContext& ctx);

} // namespace zz
