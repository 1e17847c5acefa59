#pragma once

#include "cli/cli_context.h"

#include <string>

namespace zz::cli {

// Each command returns its exit status.

// cli_file_commands.cpp: the chip database and image files, no board.
int chips_command(CliContext& c);
int info_command(CliContext& c);
int checksum_command(CliContext& c);
int convert_command(CliContext& c);
int dump_command(CliContext& c);
// Loads FILE as the window's Load command does, then makes the buffer edits the options ask for;
// kBadInput when it cannot be read or an edit cannot be made, kSuccess otherwise (a file with
// damaged records loads what it can; the warning is printed).
int load_file(CliContext& c, const std::string& path);
// load_file for the commands that program the whole image; an image that holds no data is
// warned about on stderr (the window asks instead), and the command goes on.
int load_file_to_program(CliContext& c, const std::string& path);

// cli_board_commands.cpp: one operation on the board, which is ready.
int find_command(CliContext& c);
int read_command(CliContext& c);
int erase_command(CliContext& c);
int blank_command(CliContext& c);
int verify_command(CliContext& c);
int program_command(CliContext& c);
int write_rom_command(CliContext& c);
int write_eeprom_command(CliContext& c);
int write_fuses_command(CliContext& c);
int version_command(CliContext& c);
// cli_firmware_command.cpp
int upgrade_firmware_command(CliContext& c);

// The command named by the options.
int run_command(CliContext& c);

} // namespace zz::cli
