#include "cli/job_options.h"

#include "cli/cli_options.h"

#include <charconv>

namespace zz::cli {

namespace {

bool runs_job(const std::string& command) {
    return command == "program" || command == "auto" || command == "station";
}

std::string job_subcommand(const CliOptions& o) {
    return o.command == "job" && !o.args.empty() ? o.args[0] : std::string();
}

std::int64_t quantity_value(const std::string& text) {
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc{} || end != text.data() + text.size() || n < 1)
        throw UsageError("--quantity takes a number of chips from 1, not \"" + text + "\"");
    return n;
}

} // namespace

bool parse_job_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    JobOptions& j = o.job;
    if (name == "--job")
        j.job = arg.value();
    else if (name == "--lot") {
        j.lot = arg.value();
        j.lot_given = true;
    } else if (name == "--operator")
        j.operator_name = arg.value();
    else if (name == "--engineer")
        j.engineer = true;
    else if (name == "--name")
        j.name = arg.value();
    else if (name == "--quantity")
        j.quantity = quantity_value(arg.value());
    else if (name == "--require-lot")
        j.require_lot = true;
    else if (name == "--preserve")
        j.preserve.push_back(arg.value());
    else if (name == "--note")
        j.notes.push_back(arg.value());
    else
        return false;
    return true;
}

std::string option_against_job(const CliOptions& o) {
    const FlagOptions& f = o.flags;
    const ProductionOptions& p = o.production;
    const std::pair<bool, const char*> options[] = {
        {o.model.has_value(), "--model"},
        {o.family.has_value(), "--family"},
        {o.chip.has_value(), "--chip"},
        {o.steps.has_value(), "--steps"},
        {!o.fuse_edits.set.empty(), "--set"},
        {o.fuse_edits.set_id.has_value(), "--set-id"},
        {!o.fill.requests.empty(), "--fill"},
        {o.calibration.osccal.has_value(), "--osccal"},
        {o.calibration.bandgap.has_value(), "--bandgap"},
        {p.any_serial(), "--serial..."},
        {p.no_serial, "--no-serial"},
        {!o.records.sequence.empty(), "--sequence"},
        {f.icsp, "--icsp"},
        {f.vpp_first, "--vpp-first"},
        {f.no_chip_check, "--no-chip-check"},
        {f.osccal_from_chip.has_value(), "--osccal-from"},
        {!o.args.empty(), "an image FILE"},
    };
    for (const auto& [given, option] : options)
        if (given)
            return option;
    return {};
}

void check_job_options(const CliOptions& o, const CommandInfo&) {
    const JobOptions& j = o.job;
    const std::string sub = job_subcommand(o);
    const bool creates = sub == "create";
    if (!j.job.empty() && !runs_job(o.command) && o.command != "records")
        throw UsageError("--job belongs to the program, auto and records commands");
    if ((j.engineer || !j.operator_name.empty()) && !runs_job(o.command) && sub != "release")
        throw UsageError("--engineer and --operator belong to the program and auto commands");
    if (j.lot_given && !runs_job(o.command) && o.command != "records")
        throw UsageError("--lot belongs to the program, auto and records commands");
    if ((!j.name.empty() || j.quantity || j.require_lot || !j.preserve.empty() ||
         !j.notes.empty()) &&
        !creates)
        throw UsageError("--name, --quantity, --require-lot, --preserve and --note belong to the "
                         "job create command");
    if (runs_job(o.command) && j.job.empty() && (j.engineer || j.lot_given))
        throw UsageError("--engineer and --lot need --job");
    if (runs_job(o.command) && j.job.empty() && o.args.empty())
        throw UsageError(o.command + " takes an image FILE, or --job NAME");
    if (!runs_job(o.command) || j.job.empty())
        return;
    if (const std::string option = option_against_job(o); !option.empty())
        throw UsageError(option + " would change what the job " + j.job +
                         " says: a job runs as it was released");
}

const char kJobHelp[] =
    R"(  --job NAME[@REV]     program, auto: run the released job NAME (its latest revision, or
                       REV) as it stands; with --engineer also a job FILE not yet released;
                       records: only chips of job NAME
  --lot TEXT           the lot each chip is recorded under (a job may require one);
                       records: only chips of this lot
  --operator NAME      the operator each chip is recorded under
  --engineer           rehearse a job file that has not been released (on record as such)
  --name NAME          job create: the job's name (default: FILE's name without .zzjob)
  --quantity N         job create: the order's chips; the station stops once N have passed
  --require-lot        job create: the job runs only with --lot
  --preserve RANGE     job create: eeprom:START-END or rom:START-END (hex; bytes in EEPROM,
                       words in program memory): read from each chip before it is erased and
                       written back with the image (repeatable)
  --note TEXT          job create: a free line of notes in the job (repeatable)
)";

} // namespace zz::cli
