#include "cli/job_command.h"

#include "app/engineer_password.h"
#include "app/running_job.h"
#include "base/sha256.h"
#include "cli/cli_context.h"
#include "cli/cli_output.h"
#include "cli/production_run.h"
#include "files/hex_export.h"
#include "files/hex_import.h"
#include "job/job_file.h"
#include "job/job_image.h"
#include "ops/program_sequence.h"
#include "records/record_time.h"

#include <pwd.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace zz::cli {

namespace {

// What a job subcommand works with.
struct JobRun {
    const CliOptions& o;
    const AppSettings& settings;
    ChipDatabase database;
    CliOperator& op;
    CliOutput& out;
};

int refuse(JobRun& r, const std::string& message, int status = kBadInput) {
    r.op.show_message(message, "Error", Icon::Error);
    return status;
}

// The option of `job create` a setting of the job came from.
std::string option_of(const std::string& key) {
    const std::pair<const char*, const char*> options[] = {
        {"chip.model", "--model"},     {"chip.family", "--family"},
        {"chip.chip", "--chip"},       {"program.steps", "--steps"},
        {"program.icsp", "--icsp"},    {"fuses.set", "--set"},
        {"fuses.id", "--set-id"},      {"serial.", "--serial..."},
        {"preserve.", "--preserve"},   {"image", "--image"},
    };
    for (const auto& [prefix, option] : options)
        if (key.starts_with(prefix))
            return option;
    return key;
}

JobSteps job_steps(const CliOptions& o, const ChipParams& chip) {
    if (o.steps)
        return {o.steps->blank, o.steps->erase, o.steps->eeprom,
                o.steps->rom,   o.steps->fuses, o.steps->verify};
    const ChipSteps has = chip_steps(chip); // every step the chip has
    return {has.blank, has.erase, has.eeprom, true, has.fuses, true};
}

// The numbering of `job create`: the options over the dialog's first-run settings, never the
// settings file's, so that a job is made the same on every PC.
std::optional<JobSerial> job_serial(JobRun& r, const ChipParams& chip) {
    const ProductionOptions& p = r.o.production;
    JobSerial serial;
    serial.sequence = r.o.records.sequence;
    serial.enabled = p.any_serial() || !serial.sequence.empty();
    if (!serial.enabled)
        return serial;
    if (p.serial_save)
        throw UsageError("--serial-save: a job takes its numbers from a sequence of the records "
                         "database and saves none into a file");
    if (serial.sequence.empty())
        throw UsageError("a job numbers its chips from a sequence of the records database: add "
                         "--sequence NAME");
    const std::optional<SerialSettings> settings =
        serial_settings_from_options(p, SerialSettings{}, chip, r.op);
    if (!settings)
        return std::nullopt;
    serial.settings = *settings;
    return serial;
}

// The image as the chip holds it, in the chip's toolchain layout.
std::optional<std::string> job_image_hex(JobRun& r, const ChipParams& chip,
                                         const std::string& path) {
    Buffer buffer;
    buffer.clrbuffer(chip);
    const LoadResult loaded = read_image_file(chip, buffer, path);
    if (!loaded.ok) {
        refuse(r, loaded.error);
        return std::nullopt;
    }
    if (!loaded.warning.empty())
        std::fprintf(stderr, "%s\n", loaded.warning.c_str());
    return hex_image_text(chip, buffer);
}

Job job_from_options(const JobRun& r, const std::filesystem::path& file) {
    const CliOptions& o = r.o;
    Job job;
    job.name = o.job.name.empty() ? job_name_of(file) : o.job.name;
    job.model = o.model.value_or(r.settings.prog_type);
    job.family = o.family.value_or(job.family);
    job.chip = *o.chip;
    job.icsp = o.flags.icsp;
    job.vpp_first = o.flags.vpp_first;
    job.chip_check = !o.flags.no_chip_check;
    job.osccal_from_chip = o.flags.osccal_from_chip.value_or(true);
    job.fuses = o.fuse_edits.set;
    job.id = o.fuse_edits.set_id;
    job.quantity = o.job.quantity;
    job.require_lot = o.job.require_lot;
    job.notes = o.job.notes;
    for (const std::string& range : o.job.preserve)
        job.preserve.push_back(parse_preserved_range(range));
    return job;
}

void print_job(JobRun& r, const Job& job, const std::string& checksum) {
    const std::string fingerprint = job_fingerprint(job);
    r.out.line("Job " + job.name + ": fingerprint " + short_fingerprint(fingerprint) +
               ", job checksum " + checksum);
    r.out.field("job", json_quote(job.name));
    r.out.field("fingerprint", json_quote(fingerprint));
    r.out.field("job_checksum", json_quote(checksum));
}

int create(JobRun& r) {
    const CliOptions& o = r.o;
    if (o.args.size() != 2)
        throw UsageError("job create takes the job FILE to write");
    if (o.firmware.image.empty() || !o.chip)
        throw UsageError("job create needs --image IMG and --chip NAME");
    const std::filesystem::path file = o.args[1];
    Job job;
    try {
        job = job_from_options(r, file);
    } catch (const JobError& e) {
        throw UsageError(e.what());
    }
    if (job.model < 1 || job.model > 4 || !r.database.knows(job.model, job.chip))
        return refuse(r, "no chip \"" + job.chip + "\" for programmer model " +
                             std::to_string(job.model) + " in " +
                             r.database.data_dir().string());
    const ChipParams chip = r.database.load(job.model, job.chip, ChipParams{});
    job.steps = job_steps(o, chip);
    const std::optional<JobSerial> serial = job_serial(r, chip);
    const std::optional<std::string> image = job_image_hex(r, chip, o.firmware.image);
    if (!serial || !image)
        return kBadInput;
    job.serial = *serial;
    job.image_hex = *image;
    job.image_name = std::filesystem::path(o.firmware.image).filename().string();
    Buffer buffer;
    try {
        build_job_image(job, r.database, buffer);
        write_job_file(file, job, !o.job.name.empty());
    } catch (const JobSettingError& e) {
        return refuse(r, option_of(e.key()) + ": " + e.what());
    } catch (const std::runtime_error& e) {
        return refuse(r, e.what());
    }
    print_job(r, job, job_checksum(job, chip, buffer));
    r.out.line("Written to " + file.string());
    return kSuccess;
}

// Who releases a job: --operator, else the user logged in.
std::string releaser(const CliOptions& o) {
    if (!o.job.operator_name.empty())
        return o.job.operator_name;
    const passwd* user = getpwuid(geteuid());
    return user ? user->pw_name : "uid " + std::to_string(geteuid());
}

int release(JobRun& r, RecordsStore& store) {
    if (r.o.args.size() != 2)
        throw UsageError("job release takes the job FILE");
    const JobFile file = read_job_file(r.o.args[1]);
    Buffer buffer;
    const ChipParams chip = check_job_file(file, r.database, buffer);
    const auto [released, made] = store.release_job(
        file.job.name, job_fingerprint(file.job), job_file_text(file.job, true), releaser(r.o));
    const std::string title = released.name + "@" + std::to_string(released.revision);
    print_job(r, file.job, job_checksum(file.job, chip, buffer));
    r.out.line(made ? "Released as " + title
                    : "Released already as " + title + ", with this content");
    r.out.field("revision", std::to_string(released.revision));
    r.out.field("new", made ? "true" : "false");
    return kSuccess;
}

// A released job by NAME or NAME@REV, read back.
struct Released {
    ReleasedJob released;
    JobFile file;
};

Released released_job(RecordsStore& store, const std::string& text) {
    const JobReference ref = parse_job_reference(text);
    std::optional<ReleasedJob> released = store.released_job(ref.name, ref.revision);
    if (!released)
        throw JobError("There is no released job " + text + " in " + store.uri());
    JobFile file = parse_released_job(*released);
    return {std::move(*released), std::move(file)};
}

void print_items(JobRun& r, const std::vector<std::pair<std::string, std::string>>& items) {
    for (const auto& [key, value] : items) {
        r.out.line(key + "=" + value);
        r.out.field(key, json_quote(value));
    }
}

std::string steps_text(const JobSteps& s) {
    std::string text;
    for (const auto& [on, name] : {std::pair{s.blank, "blank"}, {s.erase, "erase"},
                                   {s.eeprom, "eeprom"}, {s.rom, "rom"}, {s.fuses, "fuses"},
                                   {s.verify, "verify"}})
        if (on)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text;
}

int show(JobRun& r, RecordsStore& store) {
    if (r.o.args.size() != 2)
        throw UsageError("job show takes NAME or NAME@REV");
    const Released s = released_job(store, r.o.args[1]);
    const Job& job = s.file.job;
    Buffer buffer;
    const ChipParams chip = check_job_file(s.file, r.database, buffer);
    std::vector<std::pair<std::string, std::string>> items = {
        {"name", job.name},
        {"revision", std::to_string(s.released.revision)},
        {"fingerprint", s.released.fingerprint},
        {"job_checksum", job_checksum(job, chip, buffer)},
        {"released_by", s.released.released_by},
        {"released_at", iso_time(s.released.released_ms,
                                 local_utc_offset_min(s.released.released_ms))},
        {"model", std::to_string(job.model)},
        {"chip", job.chip},
        {"image", job.image_name},
        {"image_sha256", sha256_hex(job.image_hex)},
        {"steps", steps_text(job.steps)},
        {"sequence", job.serial.sequence},
        {"quantity", job.quantity ? std::to_string(*job.quantity) : "-"},
        {"done", std::to_string(store.job_passed(job.name, std::nullopt))},
        {"require_lot", job.require_lot ? "yes" : "no"},
    };
    for (const std::string& set : job.fuses)
        items.emplace_back("set", set);
    for (const PreservedRange& range : job.preserve)
        items.emplace_back("preserve", preserved_range_text(range));
    for (const std::string& note : job.notes)
        items.emplace_back("note", note);
    print_items(r, items);
    return kSuccess;
}

int list(JobRun& r, RecordsStore& store) {
    std::string json = "[";
    for (const ReleasedJob& released : store.released_jobs()) {
        const Job job = parse_released_job(released).job;
        const std::int64_t done = store.job_passed(job.name, std::nullopt);
        const std::string quantity = job.quantity ? std::to_string(*job.quantity) : "-";
        r.out.line(released.name + "@" + std::to_string(released.revision) + "\t" +
                   short_fingerprint(released.fingerprint) + "\t" + job.chip + "\t" +
                   std::to_string(done) + "/" + quantity + " done\treleased by " +
                   released.released_by + " " +
                   iso_time(released.released_ms, local_utc_offset_min(released.released_ms)));
        json += std::string(json.size() > 1 ? "," : "") + "{\"name\":" +
                json_quote(released.name) + ",\"revision\":" +
                std::to_string(released.revision) + ",\"fingerprint\":" +
                json_quote(released.fingerprint) + ",\"chip\":" + json_quote(job.chip) +
                ",\"done\":" + std::to_string(done) + ",\"quantity\":" +
                (job.quantity ? std::to_string(*job.quantity) : "null") + "}";
    }
    r.out.field("jobs", json + "]");
    return kSuccess;
}

int export_job(JobRun& r, RecordsStore& store) {
    if (r.o.args.size() != 3)
        throw UsageError("job export takes NAME[@REV] and the FILE to write");
    const Released s = released_job(store, r.o.args[1]);
    const std::filesystem::path file = r.o.args[2];
    // The name stays the released one whatever the file is called.
    write_job_file(file, s.file.job, job_name_of(file) != s.file.job.name);
    r.out.line("Job " + s.file.job.name + "@" + std::to_string(s.released.revision) +
               " written to " + file.string());
    return kSuccess;
}

// One line from standard input; on a terminal without echo, after a prompt.
std::string read_secret(const char* prompt) {
    const bool terminal = isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fputs(prompt, stderr);
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

int password(JobRun& r, RecordsStore& store) {
    const std::string first = read_secret("New engineer password: ");
    if (isatty(STDIN_FILENO) && read_secret("The same again: ") != first)
        return refuse(r, "The two passwords differ: nothing was changed", kFailed);
    try {
        set_engineer_password(store, first);
    } catch (const std::invalid_argument& e) {
        return refuse(r, e.what());
    }
    r.out.line("The engineer password is set for " + store.uri());
    return kSuccess;
}

int with_store(JobRun& r, const std::string& sub) {
    std::unique_ptr<RecordsStore> store;
    try {
        store = RecordsStore::open(r.settings.records_db);
    } catch (const StoreError& e) {
        return refuse(r, e.what());
    }
    using Sub = int (*)(JobRun&, RecordsStore&);
    const std::pair<const char*, Sub> subs[] = {{"release", release}, {"show", show},
                                                {"list", list},       {"export", export_job},
                                                {"password", password}};
    try {
        for (const auto& [name, run] : subs)
            if (sub == name)
                return run(r, *store);
    } catch (const StoreError& e) {
        return refuse(r, e.what(), kFailed);
    }
    throw UsageError("job takes create, release, list, show, export or password, not \"" + sub +
                     "\"");
}

int run_job_command(JobRun& r) {
    const std::string& sub = r.o.args[0];
    try {
        if (sub == "create")
            return create(r);
        if (sub == "list" || sub == "password") {
            if (r.o.args.size() != 1)
                throw UsageError("job " + sub + " takes no more arguments");
        }
        return with_store(r, sub);
    } catch (const JobError& e) {
        return refuse(r, e.what());
    } catch (const std::runtime_error& e) {
        if (dynamic_cast<const UsageError*>(&e))
            throw;
        return refuse(r, e.what(), kFailed);
    }
}

} // namespace

int job_command(const CliOptions& o, const AppSettings& settings,
                const std::filesystem::path& data_dir) {
    CliOperator op(o.yes, o.json, o.quiet);
    CliOutput out(o.json);
    JobRun r{o, settings, ChipDatabase(data_dir), op, out};
    const int status = run_job_command(r);
    if (o.json)
        std::printf("%s\n", out.object("job", status, op.shown()).c_str());
    return status;
}

} // namespace zz::cli
