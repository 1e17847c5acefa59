#include "cli/report_command.h"

#include "app/running_job.h"
#include "base/atomic_file.h"
#include "cli/cli_context.h"
#include "records/job_report.h"

#include <cstdio>

namespace zz::cli {

namespace {

// The quantity the job's latest released revision asks for; none for a job only rehearsed.
std::optional<std::int64_t> job_quantity(RecordsStore& store, const std::string& job,
                                         CliOperator& op) {
    const std::optional<ReleasedJob> released = store.released_job(job);
    if (!released)
        return std::nullopt;
    try {
        return parse_released_job(*released).job.quantity;
    } catch (const JobError& e) {
        op.show_message("The quantity of job " + job + " is not known: " + e.what(), "Warning",
                        Icon::Warning);
        return std::nullopt;
    }
}

int write_page(const std::string& file, const JobReport& report, CliOperator& op, CliOutput& out) {
    try {
        write_file_atomically(file, job_report_html(report));
    } catch (const std::runtime_error& e) {
        op.show_message(e.what(), "Error", Icon::Error);
        return kFailed;
    }
    out.line("Report written to " + file);
    out.field("html", json_quote(file));
    return kSuccess;
}

} // namespace

int job_report_command(const CliOptions& o, const RecordFilter& filter, RecordsStore& store,
                       CliOperator& op, CliOutput& out) {
    const std::optional<std::int64_t> quantity = job_quantity(store, filter.job, op);
    const JobReport report =
        make_job_report(store.records(filter), filter.job, filter.lot, quantity);
    if (!o.records.html.empty())
        return write_page(o.records.html, report, op, out);
    const std::string text = o.json ? job_report_json(report) + "\n" : job_report_text(report);
    std::fputs(text.c_str(), stdout);
    return kSuccess;
}

} // namespace zz::cli
