#pragma once

#include "cli/cli_operator.h"
#include "cli/cli_options.h"

namespace zz {
class Session;
}

namespace zz::cli {

// --icsp, --vpp-first, --no-chip-check and --osccal-from: the window's option flags.
bool parse_flag_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_flag_options(const CliOptions& o, const CommandInfo& command);
extern const char kFlagHelp[];
inline constexpr OptionGroup kFlagOptions{parse_flag_option, check_flag_options, kFlagHelp};

// Sets the flags as the window's menu items would, once the chip is selected (a chip selection
// unticks "Use VPP First Program Entry"). Returns the exit status: 2 when in-circuit mode is
// refused for the chip or the programmer model.
int apply_flag_options(Session& session, const FlagOptions& flags, CliOperator& op);

} // namespace zz::cli
