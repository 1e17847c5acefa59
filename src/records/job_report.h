#pragma once
// The end-of-job report: what the chips of one job (and lot) came to, from their records, as a
// few lines for a terminal, a JSON object, or one printable HTML page.
#include "records/chip_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// Finished chips. Abandoned chips count as failed too: neither reached the order.
struct ChipCounts {
    std::int64_t passed = 0;
    std::int64_t failed = 0;    // failed and abandoned
    std::int64_t abandoned = 0; // of `failed`

    std::int64_t chips() const { return passed + failed; }
    double yield() const; // passed / chips(); 0 without chips
};

struct StationCounts {
    std::string station;
    ChipCounts counts;
};

// One board: a port of a station.
struct BoardCounts {
    std::string station;
    std::string port;
    ChipCounts counts;
};

// The job as the chips ran it: a released revision, or (revision 0) a rehearsed job file.
struct JobVersion {
    std::int64_t revision = 0;
    std::string fingerprint;
    std::int64_t chips = 0;
};

// Chips that failed with one message.
struct FailureCount {
    std::string message;
    std::int64_t chips = 0;
};

// One hour of the station's clock. `local_ms` is its start as local time counted like UTC ms
// since 1970, so that whole hours fall on multiples of 3'600'000.
struct HourCounts {
    std::int64_t local_ms = 0;
    std::int64_t passed = 0;
    std::int64_t failed = 0; // failed and abandoned
};

struct JobReport {
    std::string job;
    std::optional<std::string> lot;       // the lot asked for ("": chips without one)
    std::optional<std::int64_t> quantity; // the order's chips; unknown for rehearsals
    ChipCounts counts;
    std::int64_t in_progress = 0; // chips being programmed now (reserved)
    // Numbers taken, in record order (chips being programmed too); empty without numbers.
    std::string first_serial;
    std::string last_serial;
    std::vector<std::string> gaps; // numbers of failed chips that no passed chip carries, by number
    std::vector<JobVersion> versions; // by revision, then as first seen
    // When the first and last finished chip finished (UTC ms), at their stations' offsets.
    std::int64_t first_ms = 0;
    int first_offset_min = 0;
    std::int64_t last_ms = 0;
    int last_offset_min = 0;
    std::vector<StationCounts> stations; // by name
    std::vector<BoardCounts> boards;     // by station, then port
    std::vector<FailureCount> failures;  // most frequent first, then by message
    std::vector<HourCounts> hours;       // every hour from the first chip's to the last one's
};

// The report of `records` (oldest first, as RecordsStore::records lists them), which should be
// the job's (and the lot's) chips: other jobs' records are left out.
JobReport make_job_report(const std::vector<ChipRecord>& records, std::string job,
                          std::optional<std::string> lot, std::optional<std::int64_t> quantity);

// "2026-12-08 14:00" for an hour's `local_ms`.
std::string hour_text(std::int64_t local_ms);
// "90.9 %": a yield in per cent, one decimal.
std::string percent_text(double yield);

std::string job_report_text(const JobReport& report); // lines ended by "\n"
std::string job_report_json(const JobReport& report); // one object, one line
std::string job_report_html(const JobReport& report); // a page for printing, self-contained
// The page's chart: passed and failed chips of each hour as stacked bars, an <svg> element.
std::string job_report_chart_svg(const std::vector<HourCounts>& hours);

} // namespace zz
