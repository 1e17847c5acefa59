#include "cli/fuse_options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zz::cli {

namespace {
// The commands that load a FILE into the buffer and use it afterwards.
constexpr std::array<std::string_view, 7> kEditedCommands{
    "checksum", "convert", "dump", "fuses", "verify", "program", "write-fuses"};
} // namespace

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

void check_fuse_options(const CliOptions& o, const CommandInfo& command) {
    if (o.fuse_edits.set.empty() && !o.fuse_edits.set_id)
        return;
    const bool loads_file = std::find(kEditedCommands.begin(), kEditedCommands.end(),
                                      command.name) != kEditedCommands.end() &&
                            !o.args.empty();
    if (!loads_file)
        throw UsageError("--set and --set-id need a command that loads a FILE: convert, program, "
                         "write-fuses, verify, checksum, dump or fuses");
}

} // namespace zz::cli
