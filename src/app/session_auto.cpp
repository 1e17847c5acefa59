// The production loop of the window: arming it, and running it with a serial number and a
// production record for every chip.
#include "app/session.h"
#include "link/link_texts.h"
#include "ops/auto_program.h"

namespace zz {

void Session::auto_program_menu_command() {
    if (controls.Button10_caption.get() == texts::kStopCaption) {
        env_.op.show_message(texts::kPleaseStop, texts::kError, Icon::Information);
        return;
    }
    Flag& item = flags.N_autoprog;
    if (item.checked) {
        item.checked = false;
        controls.Button10 = false;
        return;
    }
    if (!chip_.FlashChip)
        env_.op.show_message(texts::kOtpChip, texts::kInformation, Icon::Information);
    env_.op.show_message(texts::kIcspWarning, texts::kInformation, Icon::Information);
    item.checked = true;
    controls.Button10 = true;
}

AutoProgramResult Session::auto_program_command(const AutoProgramHooks& hooks) {
    // A click on Stop always reaches the loop.
    if (controls.Button10_caption.get() != texts::kStopCaption && !station_ready())
        return {};
    ChipContext ctx = chip_context();
    PendingChip pending;
    // A number that cannot be taken programs no chip; the chip is on record as failed.
    ctx.begin_chip = [&] {
        pending = begin_chip_record();
        return take_chip_number(pending);
    };
    // Recorded before the result is counted and shown, which may wait for the person.
    ctx.programmed = [&](bool passed) {
        finish_chip_record(pending, passed ? ChipResult::passed : ChipResult::failed);
    };
    AutoProgramContext a{
        ctx,
        {controls.Button10_caption, controls.ComboBox1, controls.ComboBox2, controls.cmbbxcomnum},
        CloseRequested,
        ChipInSocketTime,
        hooks};
    return zz::auto_program_command(a);
}

} // namespace zz
