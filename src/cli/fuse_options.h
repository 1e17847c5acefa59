#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// --set NAME=OPTION and --set-id HEX: fuse editor choices made on the loaded buffer.
bool parse_fuse_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_fuse_options(const CliOptions& o, const CommandInfo& command);

inline constexpr const char* kFuseOptionsHelp =
    R"(  --set NAME=OPTION    choose a fuse setting's option in the loaded buffer (repeatable;
                       names without regard to case, unique beginnings will do)
  --set-id HEX         set the user ID in the loaded buffer (padded with F)
)";

inline constexpr OptionGroup kFuseOptions{parse_fuse_option, check_fuse_options, kFuseOptionsHelp};

} // namespace zz::cli
