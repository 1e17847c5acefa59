#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// --link PATH and --deliver fifo|fifo:N|byte|frame:MS, for serve-board alone.
bool parse_serve_board_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_serve_board_options(const CliOptions& o, const CommandInfo& command);
extern const char kServeBoardHelp[];

inline constexpr OptionGroup kServeBoardOptions{parse_serve_board_option, check_serve_board_options,
                                                kServeBoardHelp};

} // namespace zz::cli
