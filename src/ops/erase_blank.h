#pragma once

#include "ops/chip_context.h"

#include <string>
#include <string_view>

namespace zz {

// Bulk erase; with OSCCAL preservation on a CALword chip the calibration word (and the BandGap
// bits) are read first and written back with "0A". Runs inside an open operation.
bool erase_chip(ChipContext& ctx);
// Blank check of ID, configuration, program memory and data EEPROM; sets the four verdicts of
// ChipState. True when every exchange succeeded, whatever the verdicts.
bool blank_chip(ChipContext& ctx);
// The program memory blank-check stream "0F", inside an open access sequence; sets RomErased.
bool blank_rom(ChipContext& ctx);
// The configuration verdict for an information block without its first three bytes.
bool config_erased(const ChipParams& chip, std::string_view info);

// One line of a blank report: "   ID=Erased  " or "   ID=Not Erased  " for `area` "ID".
std::string blank_verdict_line(const char* area, bool erased);

} // namespace zz
