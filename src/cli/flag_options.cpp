#include "cli/flag_options.h"

#include "app/session.h"
#include "cli/cli_context.h"
#include "link/programmer_model.h"

namespace zz::cli {

bool parse_flag_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    FlagOptions& f = o.flags;
    if (name == "--icsp")
        f.icsp = true;
    else if (name == "--vpp-first")
        f.vpp_first = true;
    else if (name == "--no-chip-check")
        f.no_chip_check = true;
    else if (name == "--osccal-from") {
        const std::string source = arg.value();
        if (source != "chip" && source != "file")
            throw UsageError("--osccal-from takes chip or file, not \"" + source + "\"");
        f.osccal_from_chip = source == "chip";
    } else
        return false;
    return true;
}

void check_flag_options(const CliOptions& o, const CommandInfo& command) {
    const FlagOptions& f = o.flags;
    const bool any = f.icsp || f.vpp_first || f.no_chip_check || f.osccal_from_chip;
    if (any && command.kind != CommandKind::board && !creates_job(o))
        throw UsageError("--icsp, --vpp-first, --no-chip-check and --osccal-from need a board "
                         "command or job create");
}

const char kFlagHelp[] =
    R"(  --icsp               "ICSP Mode": the chip is wired to the board's ICSP connector (not for
                       serial EEPROMs, nor programmer model 4)
  --vpp-first          "Use VPP First Program Entry": VPP before VDD when the chip is set up
  --no-chip-check      "Do not check chip type during program": any device ID is taken
  --osccal-from chip|file  where the calibration word comes from: chip keeps the chip's own
                       (default, "Preserve OSCCAL calibration value"); file writes the
                       buffer's ("Use File")
)";

int apply_flag_options(Session& session, const FlagOptions& flags, CliOperator& op) {
    OptionFlags& window = session.flags;
    if (flags.icsp) {
        // The window disables the menu item for a model without in-circuit mode.
        if (!window.N_ICSP.enabled) {
            const ProgrammerModelInfo* model = programmer_model(session.ProgrammerModel);
            op.show_message("--icsp: programmer model " + std::to_string(session.ProgrammerModel) +
                                (model ? " (" + std::string(model->menu_caption) + ")" : "") +
                                " has no ICSP mode",
                            "Error", Icon::Error);
            return kBadInput;
        }
        session.icsp_command();
        if (!window.N_ICSP)
            return kBadInput; // the chip refused it with its own message
    }
    if (flags.vpp_first)
        window.UseVPPFirstProgramEntry1.checked = true;
    if (flags.no_chip_check)
        window.N32.checked = true;
    if (flags.osccal_from_chip)
        session.calibration_source_command(*flags.osccal_from_chip);
    return kSuccess;
}

} // namespace zz::cli
