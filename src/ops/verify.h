#pragma once

#include "ops/chip_context.h"

#include <string>

namespace zz {

// Compares ID, configuration words, program memory and data EEPROM of the chip with the buffer
// and shows every area's first difference in one report. True when nothing differs.
bool verify_chip(ChipContext& ctx);

// The ID and configuration text the buffer expects, in the layout of the trimmed block.
std::string expected_id_config(const ChipContext& ctx);
// An information block cut to the layout of expected_id_config.
std::string read_id_config(const ChipContext& ctx, std::string_view info);

} // namespace zz
