#include "records/job_report.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <utility>

namespace zz {

namespace {

constexpr std::int64_t kHourMs = 3'600'000;
constexpr std::int64_t kMinuteMs = 60'000;

// Rounds down, also before 1970.
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::int64_t local_hour_ms(const ChipRecord& r) {
    const std::int64_t local = r.time_ms + r.utc_offset_min * kMinuteMs;
    return floor_div(local, kHourMs) * kHourMs;
}

bool finished(const ChipRecord& r) {
    return r.result != ChipResult::reserved;
}

void count(ChipCounts& c, ChipResult result) {
    if (result == ChipResult::passed) {
        ++c.passed;
        return;
    }
    ++c.failed;
    if (result == ChipResult::abandoned)
        ++c.abandoned;
}

void add_serials(JobReport& report, const std::vector<const ChipRecord*>& chips) {
    std::set<std::string> passed;
    for (const ChipRecord* r : chips) {
        if (r->serial.empty())
            continue;
        if (report.first_serial.empty())
            report.first_serial = r->serial;
        report.last_serial = r->serial;
        if (r->result == ChipResult::passed)
            passed.insert(r->serial);
    }
    std::set<std::string> seen;
    for (const ChipRecord* r : chips)
        if (!r->serial.empty() && finished(*r) && r->result != ChipResult::passed &&
            !passed.contains(r->serial) && seen.insert(r->serial).second)
            report.gaps.push_back(r->serial);
    // Numbers of one width (hex or decimal digits) sort as text; shorter ones first.
    std::sort(report.gaps.begin(), report.gaps.end(), [](const auto& a, const auto& b) {
        return std::pair(a.size(), std::string_view(a)) < std::pair(b.size(), std::string_view(b));
    });
}

void add_versions(JobReport& report, const std::vector<const ChipRecord*>& chips) {
    for (const ChipRecord* r : chips) {
        auto same = [r](const JobVersion& v) {
            return v.revision == r->job_revision && v.fingerprint == r->job_fingerprint;
        };
        auto found = std::find_if(report.versions.begin(), report.versions.end(), same);
        if (found == report.versions.end())
            report.versions.push_back({r->job_revision, r->job_fingerprint, 1});
        else
            ++found->chips;
    }
    std::stable_sort(
        report.versions.begin(), report.versions.end(),
        [](const JobVersion& a, const JobVersion& b) { return a.revision < b.revision; });
}

void add_places(JobReport& report, const std::vector<const ChipRecord*>& done) {
    std::map<std::string, ChipCounts> stations;
    std::map<std::pair<std::string, std::string>, ChipCounts> boards;
    for (const ChipRecord* r : done) {
        count(stations[r->station], r->result);
        count(boards[{r->station, r->port}], r->result);
    }
    for (const auto& [station, counts] : stations)
        report.stations.push_back({station, counts});
    for (const auto& [board, counts] : boards)
        report.boards.push_back({board.first, board.second, counts});
}

void add_failures(JobReport& report, const std::vector<const ChipRecord*>& done) {
    std::map<std::string, std::int64_t> by_message;
    for (const ChipRecord* r : done)
        if (r->result != ChipResult::passed)
            ++by_message[r->message];
    for (const auto& [message, chips] : by_message)
        report.failures.push_back({message, chips});
    std::stable_sort(
        report.failures.begin(), report.failures.end(),
        [](const FailureCount& a, const FailureCount& b) { return a.chips > b.chips; });
}

void add_times(JobReport& report, const std::vector<const ChipRecord*>& done) {
    if (done.empty())
        return;
    const auto by_time = [](const ChipRecord* a, const ChipRecord* b) {
        return a->time_ms < b->time_ms;
    };
    const ChipRecord* first = *std::min_element(done.begin(), done.end(), by_time);
    const ChipRecord* last = *std::max_element(done.begin(), done.end(), by_time);
    report.first_ms = first->time_ms;
    report.first_offset_min = first->utc_offset_min;
    report.last_ms = last->time_ms;
    report.last_offset_min = last->utc_offset_min;
}

// Stations in other time zones may put a later chip in an earlier local hour: the range is
// from the earliest local hour to the latest.
void add_hours(JobReport& report, const std::vector<const ChipRecord*>& done) {
    if (done.empty())
        return;
    std::map<std::int64_t, HourCounts> hours;
    for (const ChipRecord* r : done) {
        HourCounts& h = hours[local_hour_ms(*r)];
        (r->result == ChipResult::passed ? h.passed : h.failed) += 1;
    }
    const std::int64_t from = hours.begin()->first;
    const std::int64_t to = hours.rbegin()->first;
    for (std::int64_t hour = from; hour <= to; hour += kHourMs) {
        const auto found = hours.find(hour);
        HourCounts h = found == hours.end() ? HourCounts{} : found->second;
        h.local_ms = hour;
        report.hours.push_back(h);
    }
}

} // namespace

double ChipCounts::yield() const {
    return chips() > 0 ? static_cast<double>(passed) / static_cast<double>(chips()) : 0.0;
}

JobReport make_job_report(const std::vector<ChipRecord>& records, std::string job,
                          std::optional<std::string> lot, std::optional<std::int64_t> quantity) {
    JobReport report;
    report.job = std::move(job);
    report.lot = std::move(lot);
    report.quantity = quantity;
    std::vector<const ChipRecord*> chips; // the job's, in record order
    std::vector<const ChipRecord*> done;  // of those, the finished ones
    for (const ChipRecord& r : records) {
        if (r.job != report.job || (report.lot && r.lot != *report.lot))
            continue;
        chips.push_back(&r);
        if (finished(r)) {
            done.push_back(&r);
            count(report.counts, r.result);
        } else {
            ++report.in_progress;
        }
    }
    add_serials(report, chips);
    add_versions(report, chips);
    add_places(report, done);
    add_failures(report, done);
    add_times(report, done);
    add_hours(report, done);
    return report;
}

std::string hour_text(std::int64_t local_ms) {
    const std::time_t seconds = static_cast<std::time_t>(floor_div(local_ms, 1000));
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:00", &fields);
    return text;
}

std::string percent_text(double yield) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * yield);
    return text;
}

} // namespace zz
