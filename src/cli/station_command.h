#pragma once

#include "app/settings_file.h"
#include "cli/cli_options.h"

#include <filesystem>

namespace zz::cli {

// `station --listen ADDRESS [FILE | --job NAME]`: the boards (--virtual-boards N, --port ...,
// --ports-all-found, or one) each on a thread of their own, driven by the clients of the control
// socket, until SIGINT or SIGTERM; then every chip being programmed finishes and goes on record,
// and the summary prints. Its log (connections, refused tokens) goes to stderr.
int station_command(const CliOptions& o, const AppSettings& settings,
                    const std::filesystem::path& data_dir);

} // namespace zz::cli
