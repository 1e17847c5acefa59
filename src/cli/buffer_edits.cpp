#include "cli/buffer_edits.h"

#include "cli/calibration_options.h"
#include "cli/fill_options.h"
#include "cli/fuse_commands.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zz::cli {

int apply_buffer_edits(CliContext& c) {
    if (const int status = apply_fills(c); status != kSuccess)
        return status;
    if (const int status = apply_calibration_values(c); status != kSuccess)
        return status;
    return apply_fuse_edits(c);
}

bool loads_image(const CliOptions& o) {
    static constexpr std::array<std::string_view, 8> kImageCommands{
        "checksum", "convert",   "dump",         "verify",
        "program",  "write-rom", "write-eeprom", "write-fuses"};
    if (o.command == "fuses")
        return !o.args.empty();
    return std::find(kImageCommands.begin(), kImageCommands.end(), o.command) !=
           kImageCommands.end();
}

} // namespace zz::cli
