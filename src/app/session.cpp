#include "app/session.h"

#include "app/blank_labels.h"
#include "device/chip_family.h"
#include "ops/program_sequence.h"

#include <utility>

namespace zz {

namespace {

void set_option(Flag& flag, bool on) {
    flag.checked = on;
    flag.enabled = on;
}

} // namespace

Session::Session(SessionEnv env)
    : env_(std::move(env)), tap_(env_.op), database_(env_.data_dir),
      link_(env_.loop, env_.port, tap_,
            LinkFlags{flags.N18, flags.N31, flags.N_ICSP, flags.UseVPPFirstProgramEntry1}),
      discovery_(link_, env_.port_lister),
      file_watch_(env_.loop, kFileWatchMs, [this] { file_watch_tick(); }),
      firmware_ask_(env_.loop, 1, [this] { learn_firmware_version(); }),
      ProgrammerModel(link_.ProgrammerModel) {
    link_.set_startup_search([this] { discovery_.findbord(); });
    discovery_.apply_found_model = [this] {
        // A search the person started follows the board by their choice.
        if (!link_.StartupSearchPending)
            chosen_model = ProgrammerModel.get();
        SuppressChipPositionOnce = true;
        program_type();
    };
    after_pass = [this] { serial_after_pass(); };
    link_.BoardReady.observe([this](const bool& ready) {
        if (ready && asks_firmware_ && !firmware_asked_)
            firmware_ask_.start();
    });
}

ChipContext Session::chip_context() {
    return ChipContext{link_,
                       chip_,
                       buffer,
                       OpsFlags{flags.n_calchip, flags.n36, flags.N32, flags.N33,
                                flags.CheckBox_blank, flags.CheckBox_erase, flags.CheckBox_wr_ee,
                                flags.CheckBox_wr_rom, flags.CheckBox_wr_id},
                       statistics,
                       after_pass};
}

void Session::family_changed() {
    if (locked_by_job())
        return;
    const ChipFamily* family = find_chip_family(ComboBox2.get());
    if (!family)
        return;
    if (family->text == kEepromFamily && !model_supports_serial_eeproms(ProgrammerModel)) {
        family = find_chip_family(kAllChipFamily);
        ComboBox2 = std::string(kAllChipFamily);
    }
    ComboBox1_items = database_.chip_list(ProgrammerModel, family->text);
    ComboBox1 = std::string(family->default_chip);
    chip_changed();
}

void Session::chip_changed() {
    flags.UseVPPFirstProgramEntry1.checked = false;
    chip_ = database_.load(ProgrammerModel, ComboBox1.get(), chip_);
    for (int n = 1; n <= 7; ++n)
        controls.word_label(n) = n <= chip_.FuseWordCount;
    apply_memory_kind();
    apply_options();
    clrwindows();
    grid = grid_layout(chip_);
    buffer.clrbuffer(chip_);
    flags.N_autoprog.checked = false;
    controls.Button10 = false;
    offer_chip_position();
}

// Serial EEPROMs have no configuration word, no ID, no blank check and no verify.
void Session::apply_memory_kind() {
    const bool pic = !chip_.is_serial_eeprom();
    if (!pic)
        controls.word_label(1) = false;
    for (auto* control : {&controls.lab_fuse, &controls.lab_id1, &controls.Label17,
                          &controls.SpeedButton5, &controls.N11, &controls.Button3,
                          &controls.EEPROM1, &controls.ID1, &controls.SpeedButton7, &controls.N14})
        *control = pic;
}

// The program steps, erase, EEPROM and calibration follow the chip's FlashChip, EEPROMsize,
// CALword and BandGap.
void Session::apply_options() {
    const ChipSteps steps = chip_steps(chip_);
    set_option(flags.CheckBox_blank, steps.blank);
    set_option(flags.CheckBox_wr_id, steps.fuses);
    set_option(flags.CheckBox_erase, steps.erase);
    controls.SpeedButton4 = steps.erase;
    controls.N10 = steps.erase;
    set_option(flags.CheckBox_wr_ee, steps.eeprom);
    controls.EEPROM1 = steps.eeprom;

    controls.lab_cal = chip_.CALword;
    controls.lab_band = chip_.BandGap;
    controls.Button4 = chip_.CALword;
    controls.N15 = chip_.CALword;
}

void Session::offer_chip_position() {
    if (SuppressChipPositionOnce) {
        SuppressChipPositionOnce = false;
        return;
    }
    const int model = ProgrammerModel;
    if (model != 3 && model != 4 && !flags.N_chip_not && show_chip_position)
        show_chip_position();
}

void Session::clrwindows() {
    blank_labels(chip_, buffer);
    caption = std::string(kCaption);
}

} // namespace zz
