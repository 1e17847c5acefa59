#pragma once

#include "ops/chip_context.h"

#include <string>

namespace zz {

// The ticked program steps in their fixed order: blank check, erase, data EEPROM, program memory
// (with ID/configuration for 16-bit cores), ID/configuration. Runs inside an open operation.
bool program_chip(ChipContext& ctx);

// A statistics counter advanced by one: the last four characters of `label` as a decimal number
// plus one, at least four digits ("Pass:0099" gives "0100", "Pass:9999" gives "10000").
std::string next_count(std::string_view label);

// Whether a pass count from next_count is the target: the last four characters of `aim`
// ("Target:0100"), compared as text.
bool reaches_target(std::string_view count, std::string_view aim);

// The program steps a chip has; the window disables the boxes of the others. Program memory is
// every chip's.
struct ChipSteps {
    bool blank = true;  // serial EEPROMs have no blank check
    bool erase = true;  // flash PIC chips only
    bool eeprom = true; // chips with data EEPROM
    bool fuses = true;  // serial EEPROMs have no configuration words or ID
};
ChipSteps chip_steps(const ChipParams& chip);

// Whether any of the five program steps is ticked.
bool any_program_option(const OpsFlags& flags);

} // namespace zz
