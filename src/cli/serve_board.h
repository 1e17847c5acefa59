#pragma once

#include "app/settings_file.h"
#include "cli/cli_options.h"

#include <filesystem>

namespace zz::cli {

// serve-board: the virtual board with its chip on a pseudo-terminal, in real time, until SIGINT
// or SIGTERM. Prints the slave side's path as the first line of stdout and one line on stderr per
// connection; saves the chip with --chip-save at the end. With --virtual-operator a person at the
// socket replaces each chip taken out by a blank one. Returns the exit status.
int serve_board(const CliOptions& options, const AppSettings& settings,
                const std::filesystem::path& data_dir);

} // namespace zz::cli
