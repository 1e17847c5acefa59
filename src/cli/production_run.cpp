#include "cli/production_run.h"

#include "base/hex_text.h"
#include "cli/board_wait.h"
#include "cli/cli_context.h"
#include "dialogs/inc_data/inc_data_model.h"
#include "files/hex_import.h"

namespace zz::cli {

namespace {

// Ticks a control of the dialog as the person would; one the chip or the region disables is a
// wrong option.
void tick(Flag& control, const char* option) {
    if (!control.enabled)
        throw UsageError(std::string(option) + " does not apply to this chip or serial region");
    control.checked = true;
}

// The options typed into the dialog, over the settings it opened with.
void apply_options(IncDataModel& m, const ProductionOptions& p, const ChipParams& chip) {
    if (p.serial) {
        Flag& region = *p.serial == "rom"      ? m.RadioButton1
                       : *p.serial == "eeprom" ? m.RadioButton2
                                               : m.RadioButton5;
        if (!region.enabled)
            throw UsageError("--serial " + *p.serial + " does not apply to this chip");
        (*p.serial == "rom"      ? m.RadioButton1Click()
         : *p.serial == "eeprom" ? m.RadioButton2Click()
                                 : m.RadioButton5Click());
    }
    if (p.serial_hex && *p.serial_hex)
        m.RadioButton3Click();
    else if (p.serial_hex) {
        if (!m.RadioButton4.enabled)
            throw UsageError("--serial-format dec does not apply to the user ID");
        m.RadioButton4Click();
    }
    for (const auto& [text, field, option] :
         {std::tuple{&p.serial_start, &m.Edit1, "--serial-start"},
          std::tuple{&p.serial_end, &m.Edit2, "--serial-end"}}) {
        if (!*text)
            continue;
        if (!field->enabled)
            throw UsageError(std::string(option) + " does not apply to the user ID");
        field->text = **text;
    }
    if (p.serial_step)
        m.Edit3.text = m.RadioButton3 ? to_hex(static_cast<std::uint32_t>(*p.serial_step), 2)
                                      : std::to_string(*p.serial_step);
    if (p.serial_from_high)
        tick(m.CheckBox2, "--serial-from-high");
    if (p.serial_low_byte)
        tick(m.CheckBox3, "--serial-low-byte");
    if (p.serial_save && !serial_save_possible(chip))
        throw UsageError("--serial-save: serial EEPROM images are not saved back");
    if (p.serial_save)
        tick(m.CheckBox4, "--serial-save");
}

int settle_serial(CliContext& c) {
    const ProductionOptions& p = c.options.production;
    const AppSettings& stored = c.session.settings;
    ProductionSetup& setup = c.production;
    setup.numbered = !p.no_serial && (stored.inc_enabled || p.any_serial());
    if (!setup.numbered)
        return kSuccess;
    Value<SerialSettings> settings{serial_settings_of(stored)};
    Value<bool> enabled{true}; // opens with the stored settings on the controls
    const Value<bool> busy{false};
    IncDataModel dialog(c.session.chip(), settings, enabled, busy, c.op, {});
    apply_options(dialog, p, c.session.chip());
    if (!dialog.Button1Click())
        return kBadInput;
    setup.serial = settings.get();
    // A raw image holds program memory only: a number saved elsewhere would be taken again.
    if (setup.serial.inc_save && serial_region(setup.serial) != SerialRegion::rom &&
        !c.options.args.empty() && !is_hex_file_name(c.options.args[0])) {
        c.op.show_message("Serial numbers in the ID or EEPROM are saved only into a HEX file, "
                          "not into the raw image " +
                              c.options.args[0],
                          "Error", Icon::Error);
        return kBadInput;
    }
    return kSuccess;
}

// The number a chip was programmed with: reserved numbers stay in the buffer, the others have
// advanced after a pass.
std::string programmed_serial(Session& s, const std::string& before) {
    return s.reserve_serial_numbers ? serial_text(s.chip(), s.buffer, s.serial_settings) : before;
}

} // namespace

int prepare_production(CliContext& c) {
    if (const int status = settle_serial(c); status != kSuccess)
        return status;
    const std::string& log = c.options.production.log;
    if (log.empty())
        return kSuccess;
    try {
        c.production.log = std::make_shared<const ProductionLog>(log);
    } catch (const std::exception& e) {
        c.op.show_message(std::string("Production log: ") + e.what(), "Error", Icon::Error);
        return kBadInput;
    }
    return kSuccess;
}

void use_production(CliContext& c) {
    Session& s = c.session;
    const ProductionSetup& setup = c.production;
    s.serial_settings = setup.serial;
    s.buffer.SerialNumberEnabled = setup.numbered;
    s.reserve_serial_numbers =
        setup.numbered && setup.serial.inc_save && serial_save_possible(s.chip());
    s.production_log = setup.log;
}

int program_chips(CliContext& c) {
    Session& s = c.session;
    const ProductionSetup& setup = c.production;
    use_production(c);
    const int count = c.options.production.count.value_or(1);
    std::vector<std::string> serials;
    int status = kSuccess;
    for (int n = 1; n <= count && status == kSuccess; ++n) {
        if (n > 1 && c.socket && !c.socket->insert())
            return kBadInput;
        const std::string passed = s.statistics.lab_pass.get();
        const std::string before =
            setup.numbered ? serial_text(s.chip(), s.buffer, s.serial_settings) : "";
        c.progress.start();
        s.program_command();
        c.progress.finish();
        wait_board_idle(s);
        if (setup.numbered) {
            serials.push_back(programmed_serial(s, before));
            if (!c.options.quiet)
                c.out.line("Chip " + std::to_string(n) + ": serial number " + serials.back());
        }
        if (s.statistics.lab_pass.get() == passed || c.op.error_shown() || c.op.declined())
            status = kFailed;
        if (c.socket && !c.socket->save())
            status = kFailed;
    }
    c.out.field("pass", json_quote(s.statistics.lab_pass.get()));
    c.out.field("fail", json_quote(s.statistics.lab_error.get()));
    if (setup.numbered)
        c.out.field("serials", json_strings(serials));
    return status;
}

} // namespace zz::cli
