#pragma once

#include "ops/chip_context.h"

namespace zz {

// The chip commands of the main window, each one operation of the link: Busy, port check,
// "not responding" unless the board is ready, the set-up and device-ID check, the command's
// steps, and the closing "01". A failure resets the board and ends the operation.
void read_command(ChipContext& ctx);        // "&Read"
void erase_command(ChipContext& ctx);       // "&Erase": erase, then blank check
void blank_check_command(ChipContext& ctx); // "&Blank Check"
void rom_command(ChipContext& ctx);         // "Program And Verify &ROM"
void eeprom_command(ChipContext& ctx);      // "Program And Verify &EEPROM"
void fuse_id_command(ChipContext& ctx);     // "Program And Verify &FUSE/ID"
void verify_command(ChipContext& ctx);      // "&Verify"
// "&Program", with the statistics; false when refused before the board was used (Busy, no
// program option ticked, the board not ready).
bool program_command(ChipContext& ctx);
void reset_statistics(ChipState& state);    // "Reset"

} // namespace zz
