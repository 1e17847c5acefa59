// The programmer model and the in-circuit mode: what they change in the window and on the link.
#include "app/session.h"
#include "device/chip_family.h"
#include "link/programmer_model.h"

namespace zz {

void Session::program_type() {
    if (const ChipFamily* family = find_chip_family(ComboBox2.get()))
        ComboBox1_items = database_.chip_list(ProgrammerModel, family->text);
    chip_changed();
    apply_model_menus();
}

void Session::apply_model_menus() {
    const int model = ProgrammerModel;
    if (model < 1 || model > 4)
        return;
    check_model_item(model);
    N23 = model != 1;
    const bool position = model == 1 || model == 2;
    flags.N_chip_not.enabled = position;
    N22 = position;
    // Model 4 has no in-circuit mode and no auto program; nothing enables them again but a new
    // start with another model.
    if (model == 4) {
        flags.N_ICSP.enabled = false;
        flags.N_autoprog.enabled = false;
    }
}

// The model's own menu item checked, the three others unchecked.
void Session::check_model_item(int model) {
    for (int m = 1; m <= 4; ++m)
        model_items[static_cast<std::size_t>(m - 1)].checked = m == model;
}

void Session::select_model(int model) {
    const ProgrammerModelInfo* info = programmer_model(model);
    // Another model selects another chip, and restarts the board: never under a running
    // operation or production loop.
    if (!info || link_.Busy || locked_by_job())
        return;
    discovery_.reopen_port();
    ProgrammerModel = model;
    chosen_model = model;
    check_model_item(model);
    // Both re-selections of the chip skip the position dialog: the operator changed the
    // programmer, not the chip.
    SuppressChipPositionOnce = true;
    family_changed();
    SuppressChipPositionOnce = true;
    program_type();
    link_.status.Label10 = std::string(info->selected);
    discovery_.restart_for_model();
}

void Session::icsp_command() {
    if (locked_by_job())
        return;
    if (flags.N_ICSP) {
        flags.N_ICSP.checked = false;
        return;
    }
    if (chip_.is_serial_eeprom()) {
        env_.op.show_message("Then chip not icsp mode", "Information", Icon::Information);
        return;
    }
    flags.N_ICSP.checked = true;
    if (show_chip_position)
        show_chip_position();
}

void Session::calibration_source_command(bool from_chip) {
    if (locked_by_job())
        return;
    flags.n_calchip.checked = from_chip;
    flags.N_calfile.checked = !from_chip;
}

} // namespace zz
