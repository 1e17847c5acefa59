#include "dialogs/job/operator_mode.h"

#include <algorithm>
#include <array>

namespace zz {

namespace {

// Program (menu, buttons, tool button), Auto Program (menu, button), the statistics' Reset and
// Pset, the production records, Exit, Help, About, leaving; and the four menus that hold them.
constexpr std::array<std::string_view, 17> kLive{
    "N9",          "Button9", "Button5",   "SpeedButton6", "N_autoprog", "Button10",
    "Button7",     "Button8", "N_records", "N8",           "N24",        "N25",
    kLeaveJobItem, "N1",      "N2",        "N3",           "N4"};

std::string lot_text(const std::string& lot) {
    return lot.empty() ? "no lot" : "lot " + lot;
}

} // namespace

bool live_in_operator_mode(std::string_view object_name) {
    return std::find(kLive.begin(), kLive.end(), object_name) != kLive.end();
}

std::string done_text(const std::optional<std::int64_t>& done,
                      const std::optional<std::int64_t>& quantity) {
    const std::string count = done ? std::to_string(*done) : "?";
    return quantity ? count + " of " + std::to_string(*quantity) + " done" : count + " done";
}

std::string job_notice(const JobShown& job, const std::optional<std::int64_t>& done) {
    return "Operator mode: job " + job.title + " " + job.short_fingerprint + ", job checksum " +
           job.checksum + ", " + job.chip + ", " + done_text(done, job.quantity) + ", " +
           lot_text(job.lot) + ", operator " + job.operator_name;
}

std::string job_caption(const std::string& caption, const JobShown& job) {
    return caption + "  " + job.short_fingerprint + "  " + lot_text(job.lot) + "  operator " +
           job.operator_name;
}

std::vector<std::string> job_panel_lines(const JobShown& job,
                                         const std::optional<std::int64_t>& done) {
    return {"Job " + job.title,
            job.short_fingerprint + "  " + job.checksum,
            job.chip,
            done_text(done, job.quantity),
            job.lot.empty() ? "No lot" : "Lot " + job.lot,
            "Operator " + job.operator_name};
}

JobStart start_job(const JobStartOptions& command_line, const JobStart& settings_file) {
    JobStart start = settings_file;
    if (command_line.job) {
        start.job = *command_line.job;
        start.lot.clear();
    }
    if (command_line.operator_name)
        start.operator_name = *command_line.operator_name;
    if (command_line.lot)
        start.lot = *command_line.lot;
    return start;
}

std::string start_job_missing(const JobStart& start) {
    if (start.operator_name.find_first_not_of(" \t") == std::string::npos)
        return "no operator is named (--operator NAME, or operator= in section [START] of "
               "ze-zuzu.ini)";
    return {};
}

std::string start_job_refused(const std::string& job, const std::string& reason) {
    return "The job " + job + " is not opened: " + reason +
           "\nThe window starts in normal mode, without the job.";
}

} // namespace zz
