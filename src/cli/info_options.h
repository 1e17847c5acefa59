#pragma once

#include "cli/cli_options.h"

#include <string>
#include <vector>

namespace zz::cli {

// --help, --version, and the hidden lists the shell's completion reads from the program, so it
// offers whatever options and commands the program has.
bool parse_info_option(const std::string& name, OptionArg& arg, CliOptions& o);
extern const char kInfoHelp[];
inline constexpr OptionGroup kInfoOptions{parse_info_option, nullptr, kInfoHelp};

// The options ask for program information: no command is needed.
bool asks_program_info(const CliOptions& o);
// The program information asked for, as printed on stdout.
std::string program_info_text(const CliOptions& o);

// Every option the usage text lists, one entry each: the name and, for an option that takes a
// value, a blank and the value's name ("--chip NAME", "--osccal-from chip|file").
std::vector<std::string> listed_options(const std::string& usage);

} // namespace zz::cli
