#pragma once

#include "cli/cli_options.h"

namespace zz::cli {

// --image FILE of the upgrade-firmware and job create commands.
bool parse_firmware_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_firmware_options(const CliOptions& o, const CommandInfo& command);

inline constexpr OptionGroup kFirmwareOptions{
    parse_firmware_option, check_firmware_options,
    "  --image FILE         upgrade-firmware: the firmware image to send (default: the model's);\n"
    "                       job create: the chip's image the job holds\n"};

} // namespace zz::cli
