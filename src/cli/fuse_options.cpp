#include "cli/fuse_options.h"

#include "cli/buffer_edits.h"

namespace zz::cli {

bool parse_fuse_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name == "--set") {
        std::string assignment = arg.value();
        if (assignment.find('=') == std::string::npos)
            throw UsageError("--set takes NAME=OPTION, not \"" + assignment + "\"");
        o.fuse_edits.set.push_back(std::move(assignment));
    } else if (name == "--set-id") {
        o.fuse_edits.set_id = arg.value();
    } else {
        return false;
    }
    return true;
}

void check_fuse_options(const CliOptions& o, const CommandInfo&) {
    if (o.fuse_edits.set.empty() && !o.fuse_edits.set_id)
        return;
    if (!loads_image(o) && !creates_job(o))
        throw UsageError("--set and --set-id need a command that loads a FILE: convert, program, "
                         "write-rom, write-eeprom, write-fuses, verify, checksum, dump or fuses, or job create");
}

} // namespace zz::cli
