#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// --listen ADDRESS and --token-file FILE, for station alone (which needs --listen).
bool parse_station_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_station_options(const CliOptions& o, const CommandInfo& command);
extern const char kStationHelp[];

inline constexpr OptionGroup kStationOptions{parse_station_option, check_station_options,
                                             kStationHelp};

} // namespace zz::cli
