#include "cli/production_run.h"

#include "base/hex_text.h"
#include "cli/board_wait.h"
#include "cli/cli_context.h"
#include "dialogs/inc_data/inc_data_model.h"
#include "files/hex_import.h"
#include "job/job_image.h"

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

// What the operator confirms: the job by its name, revision and short fingerprint.
void announce_job(CliContext& c, const RunningJob& running, Station& station) {
    const Job& job = running.job;
    // Counted as the quantity is: in this lot (chips without one are a lot of their own).
    std::string done =
        std::to_string(station.store()->job_passed(job.name, running.lot, running.released()));
    if (job.quantity)
        done += " of " + std::to_string(*job.quantity);
    c.out.line("Job " + running.title() + " " + short_fingerprint(running.fingerprint) +
               ", job checksum " + running.checksum + ": " + job.chip + ", " + done +
               " chips done" + (running.lot.empty() ? "" : ", lot " + running.lot) +
               (running.operator_name.empty() ? "" : ", operator " + running.operator_name));
    c.out.field("job", json_quote(running.title()));
    c.out.field("fingerprint", json_quote(running.fingerprint));
    c.out.field("job_checksum", json_quote(running.checksum));
}

// The job `program` and `auto` run: from the store (or an engineer's file), checked against the
// chip database; its chip selected and its image in the buffer, for the station's checks.
int take_job(CliContext& c, Station& station) {
    const JobOptions& j = c.options.job;
    Session& s = c.session;
    std::shared_ptr<const RunningJob> running;
    try {
        running = open_running_job({j.job, j.lot, j.operator_name, j.engineer}, station.store(),
                                   s.database());
    } catch (const JobError& e) {
        return refuse(c, e.what());
    }
    const Job& job = running->job;
    with_job_chip(s.settings, job);
    select_offline(s);
    build_job_image(job, s.database(), s.buffer);
    StationPlan& plan = c.production;
    plan.job = running;
    plan.numbered = job.serial.enabled;
    plan.serial = job.serial.settings;
    plan.sequence = job.serial.sequence;
    announce_job(c, *running, station);
    return kSuccess;
}

} // namespace

void with_job_chip(AppSettings& s, const Job& job) {
    s.prog_type = job.model;
    s.chip_mode = job.family;
    s.chip_type = job.chip;
}

void select_offline(Session& session) {
    session.ProgrammerModel = session.settings.prog_type;
    session.ComboBox2 = session.settings.chip_mode;
    session.ComboBox1 = session.settings.chip_type;
    session.SuppressChipPositionOnce = true;
    session.program_type();
}

int prepare_production(CliContext& c) {
    // A job's numbering is the job's: it is settled once the job is read from the store.
    if (c.options.job.job.empty())
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
        if (!c.options.job.job.empty())
            if (const int status = take_job(c, *station); status != kSuccess)
                return status;
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

int use_production(CliContext& c) {
    return c.station->serve(c.session, c.production) ? kSuccess : kFailed;
}

int program_chips(CliContext& c) {
    Session& s = c.session;
    if (const int status = use_production(c); status != kSuccess)
        return status;
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
