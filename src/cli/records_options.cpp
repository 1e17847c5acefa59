#include "cli/records_options.h"

#include "records/record_time.h"
#include "cli/cli_options.h"

namespace zz::cli {

namespace {

bool is_production(const std::string& command) {
    return command == "program" || command == "auto" || command == "station";
}

// Refuses `options` unless the command is one of `commands` (texts for the message: "--db", or
// "--a and --b" for several).
void belongs(bool given, bool allowed, std::string_view options, const char* commands) {
    if (given && !allowed)
        throw UsageError(
            std::string(options) +
            (options.find(" and ") == std::string_view::npos ? " belongs to " : " belong to ") +
            commands);
}

void check_report_options(const CliOptions& o) {
    const RecordsOptions& r = o.records;
    const bool records = o.command == "records";
    belongs(r.report, records, "--report", "the records command");
    // The store keeps chips by the job's name; its revision is on each record.
    if (records && o.job.job.find('@') != std::string::npos)
        throw UsageError("records --job takes a job's NAME (its chips of every revision), not \"" +
                         o.job.job + "\"");
    if (records && o.job.lot_given && o.job.job.empty())
        throw UsageError("records --lot chooses chips of a job: it needs --job NAME");
    if (!r.html.empty() && !r.report)
        throw UsageError("--html writes the report: it needs --report");
    if (r.report && o.job.job.empty())
        throw UsageError("--report tells how a job went: it needs --job NAME");
    if (r.report && (r.csv || r.summary))
        throw UsageError("--report excludes --csv and --summary");
}

} // namespace

bool parse_records_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    RecordsOptions& r = o.records;
    if (name == "--db")
        r.db = arg.value();
    else if (name == "--station")
        r.station = arg.value();
    else if (name == "--sequence")
        r.sequence = arg.value();
    else if (name == "--since")
        r.since = arg.value();
    else if (name == "--csv")
        r.csv = true;
    else if (name == "--summary")
        r.summary = true;
    else if (name == "--values")
        r.values = arg.value();
    else if (name == "--report")
        r.report = true;
    else if (name == "--html")
        r.html = arg.value();
    else
        return false;
    return true;
}

void check_records_options(const CliOptions& o, const CommandInfo&) {
    const RecordsOptions& r = o.records;
    const std::string& c = o.command;
    const bool records = c == "records";
    belongs(!r.db.empty(), is_production(c) || records || c == "sequence" || c == "job", "--db",
            "the program, auto, records, sequence and job commands");
    belongs(!r.station.empty(), is_production(c) || records, "--station",
            "the program, auto and records commands");
    belongs(!r.sequence.empty(), is_production(c) || records || creates_job(o), "--sequence",
            "the program, auto, records and job create commands");
    belongs(r.since || r.csv || r.summary, records, "--since, --csv and --summary",
            "the records command");
    belongs(!r.values.empty(), c == "sequence", "--values", "the sequence command");
    check_report_options(o);
    if (r.since && !parse_since(*r.since, 0))
        throw UsageError("--since takes a date (2026-12-08), a date and time (2026-12-08T14:00, "
                         "local, or with Z or +01:00) or a span back from now (30m, 8h, 7d), "
                         "not \"" +
                         *r.since + "\"");
    if (r.csv && (o.json || r.summary))
        throw UsageError("--csv excludes --json and --summary");
    if (records && r.summary && o.production.serial)
        throw UsageError("--summary takes --station, --sequence and --since, not --serial");
    if (!r.sequence.empty() && is_production(c) && o.production.no_serial)
        throw UsageError("--sequence numbers each chip: it excludes --no-serial");
    if (!r.sequence.empty() && is_production(c) && o.production.serial_save)
        throw UsageError("--sequence takes each number from the records database: it excludes "
                         "--serial-save");
}

const char kRecordsHelp[] =
    R"(  --db URI             program, auto, records, sequence: the production records database:
                       a SQLite file (PATH or sqlite:PATH) or postgresql://user@host/dbname
                       (postgresql:// alone: libpq's PG... environment); default: the
                       settings file's, else $XDG_DATA_HOME/ze-zuzu/production.sqlite, made
                       on first use
  --station NAME       program, auto: this station's name on record (default: the settings
                       file's, else the host name); records: only this station's chips
  --sequence NAME      program, auto: each chip's number reserved from sequence NAME of the
                       records database (made from the image's serial cells and the --serial
                       options on first use); records: only that sequence's chips
  --since TIME         records: chips from TIME on: 2026-12-08, 2026-12-08T14:00 (local time,
                       or with Z or +01:00), or a span back from now: 30m, 8h, 7d
  --csv                records: the lines of the CSV production log
  --summary            records: per station and port: passed, failed, yield, chips per hour
  --values FILE        sequence: make NAME a list sequence of FILE's hex values, one a line
  --report             records: the end-of-job report of --job NAME (and --lot TEXT): chips
                       passed of the quantity, failed, yield, serial numbers and their gaps,
                       per station and board, failures by message, chips per hour
  --html FILE          records --report: write the report to FILE as a printable page
)";

} // namespace zz::cli
