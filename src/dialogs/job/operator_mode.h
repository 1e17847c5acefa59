#pragma once
// The window's operator mode: a released job runs as it stands on a production station, and only
// what an operator needs stays usable. Which controls those are, and what the window shows of the
// job.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// The window's job items, by component name: "Open Job..." and "Leave Operator Mode...".
inline constexpr const char* kOpenJobItem = "N_openjob";
inline constexpr const char* kLeaveJobItem = "N_leavejob";

// Whether a control of the main window (a menu, menu item, button, check box or list, by
// component name) stays usable while a job runs: Program, Auto Program, the statistics, the
// production records, Exit, Help, About and leaving operator mode. Every other one is disabled.
bool live_in_operator_mode(std::string_view object_name);

// The job as the window shows it.
struct JobShown {
    std::string title;             // "line@3", or "line (not released)"
    std::string short_fingerprint; // 8 hex digits, as an operator confirms a job
    std::string checksum;          // the job checksum, "0x1A2B"
    std::string chip;
    std::optional<std::int64_t> quantity;
    std::string lot;
    std::string operator_name;
};

// "3 of 10 done", "3 done" without a quantity; "? of 10 done" while the count is not known.
std::string done_text(const std::optional<std::int64_t>& done,
                      const std::optional<std::int64_t>& quantity);
// The notice line: the whole job on one line.
std::string job_notice(const JobShown& job, const std::optional<std::int64_t>& done);
// The caption: the session's (which names the job), then the short fingerprint, lot and operator.
std::string job_caption(const std::string& caption, const JobShown& job);
// The job panel beside the buffer, one line each: title, fingerprint and checksum, chip, done,
// lot, operator.
std::vector<std::string> job_panel_lines(const JobShown& job,
                                         const std::optional<std::int64_t>& done);

// The job a station's window starts in, from its command line or its settings file.
struct JobStart {
    std::string job; // NAME or NAME@REV; empty: none
    std::string operator_name;
    std::string lot;
};
// What the command line gave; nullopt: the option was not given.
struct JobStartOptions {
    std::optional<std::string> job;
    std::optional<std::string> operator_name;
    std::optional<std::string> lot;
};
// The command line's choice over the settings file's, key by key. A job named on the command line
// brings its own lot (or none): the settings file's lot belongs to the settings file's job.
JobStart start_job(const JobStartOptions& command_line, const JobStart& settings_file);
// Why the start-up job cannot open before the records database is asked (no operator named);
// empty when nothing is missing.
std::string start_job_missing(const JobStart& start);
// The one message of a start-up job that cannot be opened, and of the normal mode instead.
std::string start_job_refused(const std::string& job, const std::string& reason);

// Leaving operator mode while Auto Program runs: the loop's chips are the job's.
inline constexpr const char* kStopBeforeLeaving =
    "Auto Program is running: stop it before leaving operator mode.";

} // namespace zz
