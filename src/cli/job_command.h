#pragma once

#include "app/settings_file.h"
#include "cli/cli_options.h"

#include <filesystem>

namespace zz::cli {

// `job create|release|list|show|export|password`: production jobs, made from an image and the
// options, checked against the chip database in `data_dir`, released into and read back from
// the records database (settings.records_db, --db over the settings file's).
int job_command(const CliOptions& o, const AppSettings& settings,
                const std::filesystem::path& data_dir);

} // namespace zz::cli
