#pragma once

#include "app/settings_file.h"
#include "cli/cli_options.h"

namespace zz::cli {

// `records` and `sequence NAME [--values FILE]`: what the production records database holds,
// and its sequences; the database is settings.records_db (--db over the settings file's). One
// that cannot be opened is exit status 2, named without its password.
int store_command(const CliOptions& o, const AppSettings& settings);

} // namespace zz::cli
