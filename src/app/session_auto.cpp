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
    arm_auto_program(true);
}

void Session::arm_auto_program(bool icsp_caution) {
    if (!chip_.FlashChip)
        env_.op.show_message(texts::kOtpChip, texts::kInformation, Icon::Information);
    if (icsp_caution)
        env_.op.show_message(texts::kIcspWarning, texts::kInformation, Icon::Information);
    flags.N_autoprog.checked = true;
    controls.Button10 = true;
}

AutoProgramResult Session::auto_program_command(const AutoProgramHooks& hooks) {
    // A click that stops the loop always reaches it, and asks nothing.
    if (controls.Button10_caption.get() != texts::kStopCaption &&
        (!station_ready() || !blank_image_confirmed()))
        return {};
    ChipContext ctx = chip_context();
    PendingChip pending;
    // A number that cannot be taken programs no chip; the chip is on record as failed.
    ctx.begin_chip = [&] {
        pending = begin_chip_record();
        return start_chip(pending);
    };
    // Recorded before the result is counted and shown, which may wait for the person.
    ctx.programmed = [&](bool passed) {
        finish_chip_record(pending, passed ? ChipResult::passed : ChipResult::failed);
        restore_preserved();
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
