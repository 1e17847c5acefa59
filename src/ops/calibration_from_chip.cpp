#include "ops/calibration_from_chip.h"

#include "ops/chip_read.h"
#include "ops/chip_text.h"

namespace zz {

void learn_calibration(ChipContext& ctx) {
    const bool band_gap = ctx.chip.BandGap && ctx.flags.n_calchip;
    if (!ctx.preserve_osccal() && !band_gap)
        return;
    std::string cal = "00";
    std::string config = "00";
    ctx.link.run_operation([&] {
        if (ctx.preserve_osccal() && (cal = read_cal(ctx)) == "00")
            return;
        if (band_gap)
            config = read_bandgap(ctx);
    });
    if (cal != "00")
        ctx.buffer.SavedOsccal = cal;
    if (config.size() == 4)
        set_bandgap_digit(ctx.buffer, config[0]);
}

} // namespace zz
