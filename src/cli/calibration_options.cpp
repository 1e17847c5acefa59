#include "cli/calibration_options.h"

#include "cli/buffer_edits.h"
#include "cli/cli_context.h"
#include "dialogs/cal/cal_model.h"
#include "dialogs/cal/cal_texts.h"

namespace zz::cli {

namespace {

constexpr const char* kNoBandgap = "This chip has no BandGap bits";

int refuse(CliContext& c, const std::string& text) {
    c.op.show_message(text, "Error", Icon::Error);
    return kBadInput;
}

} // namespace

bool parse_calibration_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    std::optional<std::string>* target = nullptr;
    if (name == "--osccal")
        target = &o.calibration.osccal;
    else if (name == "--bandgap")
        target = &o.calibration.bandgap;
    else
        return false;
    *target = arg.value();
    // An empty value would write the blank byte, as an empty dialog field does: not what a script
    // that lost its variable wants.
    if (target->value().empty())
        throw UsageError(name + " needs a value");
    return true;
}

void check_calibration_options(const CliOptions& o, const CommandInfo&) {
    if ((o.calibration.osccal || o.calibration.bandgap) && !loads_image(o))
        throw UsageError("--osccal and --bandgap belong to a command that loads an image FILE");
}

const char kCalibrationHelp[] =
    "  --osccal HEX         after loading FILE, the OSCCAL calibration value (two hex digits)\n"
    "                       into the last program word, behind the core's opcode\n"
    "  --bandgap BITS       after loading FILE, the BandGap bits (00, 01, 10 or 11) into\n"
    "                       configuration word 1; program and verify still keep the chip's own\n"
    "                       calibration word and BandGap bits, as the window does by default\n";

int apply_calibration_values(CliContext& c) {
    const CalibrationOptions& o = c.options.calibration;
    if (!o.osccal && !o.bandgap)
        return kSuccess;
    const ChipParams& chip = c.session.chip();
    if (o.osccal && !has_calibration_word(chip))
        return refuse(c, texts::kNoCalibrationWord);
    if (o.bandgap && !chip.BandGap)
        return refuse(c, kNoBandgap);
    CalModel model(c.session.chip_context());
    if (o.osccal && (!model.set_osccal(*o.osccal) || model.osccal_problem()))
        return refuse(c, "--osccal " + *o.osccal + ": " + texts::kOsccalDigits);
    if (o.bandgap && (!model.set_bandgap(*o.bandgap) || model.bandgap_problem()))
        return refuse(c, "--bandgap " + *o.bandgap + ": " + texts::kBandgapDigits);
    model.apply(o.osccal.has_value(), o.bandgap.has_value());
    return kSuccess;
}

} // namespace zz::cli
