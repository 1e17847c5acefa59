#include "cli/buffer_edits.h"

#include "cli/calibration_options.h"
#include "cli/fill_options.h"

#include <algorithm>
#include <array>

namespace zz::cli {

int apply_buffer_edits(CliContext& c) {
    if (const int status = apply_fills(c); status != kSuccess)
        return status;
    return apply_calibration_values(c);
}

bool loads_image(std::string_view command) {
    static constexpr std::array<std::string_view, 8> kImageCommands{
        "checksum", "convert",   "dump",         "verify",
        "program",  "write-rom", "write-eeprom", "write-fuses"};
    return std::find(kImageCommands.begin(), kImageCommands.end(), command) != kImageCommands.end();
}

} // namespace zz::cli
