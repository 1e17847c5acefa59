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

} // namespace

std::optional<SerialSettings> serial_settings_from_options(const ProductionOptions& p,
                                                           const SerialSettings& start,
                                                           const ChipParams& chip, Operator& op) {
    Value<SerialSettings> settings{start};
    Value<bool> enabled{true}; // opens with `start` on the controls
    const Value<bool> busy{false};
    IncDataModel dialog(chip, settings, enabled, busy, op, {});
    apply_options(dialog, p, chip);
    if (!dialog.Button1Click())
        return std::nullopt;
    return settings.get();
}

namespace {

int settle_serial(CliContext& c) {
    const ProductionOptions& p = c.options.production;
    const AppSettings& stored = c.session.settings;
    StationPlan& plan = c.production;
    plan.sequence = c.options.records.sequence;
    plan.numbered =
        !p.no_serial && (stored.inc_enabled || p.any_serial() || !plan.sequence.empty());
    if (!plan.numbered)
        return kSuccess;
    const std::optional<SerialSettings> settings =
        serial_settings_from_options(p, serial_settings_of(stored), c.session.chip(), c.op);
    if (!settings)
        return kBadInput;
    plan.serial = *settings;
    // A raw image holds program memory only: a number saved elsewhere would be taken again.
    if (plan.serial.inc_save && serial_region(plan.serial) != SerialRegion::rom &&
        !c.options.args.empty() && !is_hex_file_name(c.options.args[0])) {
        c.op.show_message("Serial numbers in the ID or EEPROM are saved only into a HEX file, "
                          "not into the raw image " +
                              c.options.args[0],
                          "Error", Icon::Error);
        return kBadInput;
    }
    return kSuccess;
}

int refuse(CliContext& c, const std::string& reason) {
    c.op.show_message(reason, "Error", Icon::Error);
    return kBadInput;
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
        return refuse(c, std::string("Production log: ") + e.what());
    }
    return kSuccess;
}

int open_station(CliContext& c, bool several_boards, std::unique_ptr<Station>& station) {
    const AppSettings& settings = c.session.settings; // --db over the settings file's
    const std::string& name = c.options.records.station;
    const ChipParams& chip = c.session.chip();
    try {
        station = Station::open({settings.records_db, name.empty() ? settings.station : name, {}});
        std::string refused = several_boards ? Station::sharing_refused(c.production, chip) : "";
        if (refused.empty())
            refused = station->sequence_refused(c.production, chip, c.session.buffer);
        if (!refused.empty())
            return refuse(c, refused);
    } catch (const StoreError& e) {
        return refuse(c, e.what());
    }
    c.station = station.get();
    return kSuccess;
}

void use_production(CliContext& c) {
    c.station->serve(c.session, c.production);
}

int program_chips(CliContext& c) {
    Session& s = c.session;
    use_production(c);
    const int count = c.options.production.count.value_or(1);
    std::vector<std::string> serials;
    std::string serial; // as the chip was programmed
    s.chip_finished = [&serial](const ChipRecord& r) { serial = r.serial; };
    int status = kSuccess;
    for (int n = 1; n <= count && status == kSuccess; ++n) {
        if (n > 1 && c.socket && !c.socket->insert())
            return kBadInput;
        // Another board's chip found the records database gone: no more chips.
        if (c.station->stopping()) {
            status = kFailed;
            break;
        }
        const std::string passed = s.statistics.lab_pass.get();
        serial.clear();
        c.progress.start();
        s.program_command();
        c.progress.finish();
        wait_board_idle(s);
        if (c.production.numbered) {
            serials.push_back(serial);
            if (!c.options.quiet)
                c.out.line("Chip " + std::to_string(n) + ": " +
                           (serial.empty() ? "no serial number" : "serial number " + serial));
        }
        if (s.statistics.lab_pass.get() == passed || c.op.error_shown() || c.op.declined())
            status = kFailed;
        if (c.socket && !c.socket->save())
            status = kFailed;
    }
    s.chip_finished = nullptr;
    c.out.field("pass", json_quote(s.statistics.lab_pass.get()));
    c.out.field("fail", json_quote(s.statistics.lab_error.get()));
    if (c.production.numbered)
        c.out.field("serials", json_strings(serials));
    return status;
}

} // namespace zz::cli
