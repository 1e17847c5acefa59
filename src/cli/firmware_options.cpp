#include "cli/firmware_options.h"

namespace zz::cli {

bool parse_firmware_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name != "--image")
        return false;
    o.firmware.image = arg.value();
    if (o.firmware.image.empty())
        throw UsageError("--image needs a file name");
    return true;
}

void check_firmware_options(const CliOptions& o, const CommandInfo&) {
    if (!o.firmware.image.empty() && o.command != "upgrade-firmware" && !creates_job(o))
        throw UsageError("--image belongs to the upgrade-firmware and job create commands");
}

} // namespace zz::cli
