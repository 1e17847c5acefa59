// The end-of-job report for a terminal: a headline, then aligned tables.
#include "records/job_report.h"
#include "records/production_log.h"

#include <algorithm>

namespace zz {

namespace {

using Row = std::vector<std::string>;

// Columns padded to their widest cell; `right` says which are numbers, aligned right.
std::string table(const std::vector<Row>& rows, const std::vector<bool>& right) {
    std::vector<std::size_t> widths(right.size(), 0);
    for (const Row& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    std::string out;
    for (const Row& row : rows) {
        std::string line = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - row[c].size(), ' ');
            line += " " + (right[c] ? pad + row[c] : row[c] + pad);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string chips_text(std::int64_t n) {
    return std::to_string(n) + (n == 1 ? " chip" : " chips");
}

std::string headline(const JobReport& r) {
    std::string text = "Job " + r.job;
    if (r.lot)
        text += r.lot->empty() ? ", no lot" : ", lot " + *r.lot;
    text += ": " + std::to_string(r.counts.passed);
    if (r.quantity)
        text += " of " + std::to_string(*r.quantity);
    text += " chips passed, " + std::to_string(r.counts.failed) + " failed";
    if (r.counts.abandoned > 0)
        text += " (" + std::to_string(r.counts.abandoned) + " abandoned)";
    return text + ", yield " + percent_text(r.counts.yield()) + "\n";
}

std::string version_text(const JobReport& r, const JobVersion& v) {
    const std::string name =
        v.revision > 0 ? r.job + "@" + std::to_string(v.revision) : r.job + " (not released)";
    return name + " " + v.fingerprint.substr(0, 8) + " (" + chips_text(v.chips) + ")";
}

std::string facts(const JobReport& r) {
    std::string out;
    if (r.in_progress > 0)
        out += chips_text(r.in_progress) + " being programmed now\n";
    if (!r.versions.empty()) {
        out += "Revisions: ";
        for (std::size_t i = 0; i < r.versions.size(); ++i)
            out += (i ? ", " : "") + version_text(r, r.versions[i]);
        out += "\n";
    }
    if (r.counts.chips() > 0)
        out += "Chips from " + iso_time(r.first_ms, r.first_offset_min) + " to " +
               iso_time(r.last_ms, r.last_offset_min) + "\n";
    if (!r.first_serial.empty()) {
        out += "Serial numbers " + r.first_serial + ".." + r.last_serial;
        for (std::size_t i = 0; i < r.gaps.size(); ++i)
            out += (i ? ", " : ", gaps: ") + r.gaps[i];
        out += "\n";
    }
    return out;
}

Row counts_row(Row row, const ChipCounts& c) {
    row.insert(row.end(), {std::to_string(c.passed), "passed", std::to_string(c.failed), "failed",
                           "yield", percent_text(c.yield())});
    return row;
}

std::string places(const JobReport& r) {
    std::vector<Row> rows;
    for (const StationCounts& s : r.stations)
        rows.push_back(counts_row({"Station", s.station, ""}, s.counts));
    for (const BoardCounts& b : r.boards)
        rows.push_back(counts_row({"Board", b.station, b.port}, b.counts));
    return table(rows, {false, false, false, true, false, true, false, false, true});
}

std::string failures(const JobReport& r) {
    if (r.failures.empty())
        return {};
    std::vector<Row> rows;
    for (const FailureCount& f : r.failures)
        rows.push_back({std::to_string(f.chips), f.message.empty() ? "(no message)" : f.message});
    return "Failures\n" + table(rows, {true, false});
}

std::string hours(const JobReport& r) {
    std::vector<Row> rows;
    for (const HourCounts& h : r.hours)
        if (h.passed + h.failed > 0)
            rows.push_back({hour_text(h.local_ms), std::to_string(h.passed), "passed",
                            std::to_string(h.failed), "failed"});
    return rows.empty() ? std::string()
                        : "Per hour\n" + table(rows, {false, true, false, true, false});
}

} // namespace

std::string job_report_text(const JobReport& report) {
    if (report.counts.chips() + report.in_progress == 0)
        return headline(report) + "No chips of this job on record\n";
    return headline(report) + facts(report) + places(report) + failures(report) + hours(report);
}

} // namespace zz
