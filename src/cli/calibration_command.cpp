#include "cli/calibration_command.h"

#include "dialogs/cal/cal_command.h"
#include "dialogs/cal/cal_model.h"
#include "dialogs/cal/cal_texts.h"
#include "link/link_texts.h"

namespace zz::cli {

int calibration_command(CliContext& c) {
    const ChipParams& chip = c.session.chip();
    if (!has_calibration_word(chip)) {
        c.op.show_message(texts::kNoCalibrationWord, texts::kError, Icon::Error);
        return kFailed;
    }
    CalModel model(c.session.chip_context());
    bool read = false;
    calib_command(c.session.link(), [&] { read = model.read_chip(); });
    if (!read && !c.op.error_shown()) // a BandGap word that is no configuration word
        c.op.show_message(texts::kReadBandgapFail, texts::kError, Icon::Error);
    if (!read || c.op.error_shown())
        return kFailed;
    c.out.line("osccal=" + model.word());
    c.out.field("osccal", json_quote(model.word()));
    if (chip.BandGap) {
        c.out.line("bandgap=" + model.Edit2.get());
        c.out.field("bandgap", json_quote(model.Edit2.get()));
    }
    return kSuccess;
}

} // namespace zz::cli
