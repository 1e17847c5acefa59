// upgrade-firmware: the board's firmware replaced from an image file, its new version printed.
#include "cli/cli_commands.h"
#include "link/firmware_upgrade.h"
#include "link/programmer_model.h"

namespace zz::cli {

int upgrade_firmware_command(CliContext& c) {
    Session& s = c.session;
    if (!s.N23.get()) {
        c.op.show_message("upgrade-firmware is not available for the programmer " +
                              std::string(programmer_model(s.ProgrammerModel)->menu_caption),
                          "Error", Icon::Error);
        return kFailed;
    }
    c.progress.start();
    const bool upgraded = s.firmware_upgrade_command(c.options.firmware.image);
    c.progress.finish();
    const std::string_view prefix = texts::kUpgradeDone;
    std::string version;
    for (const Shown& shown : c.op.shown())
        if (shown.text.starts_with(prefix))
            version = shown.text.substr(prefix.size());
    c.out.field("version", json_quote(version));
    return upgraded && !c.op.error_shown() && !c.op.declined() ? kSuccess : kFailed;
}

} // namespace zz::cli
