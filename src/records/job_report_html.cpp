// The end-of-job report as one printable page: everything inline (style and chart), no address
// to fetch, so it prints and archives the same on any PC.
#include "records/job_report.h"
#include "records/production_log.h"

namespace zz {

namespace {

constexpr const char* kStyle = R"(<style>
body { font: 10pt sans-serif; color: #000; background: #fff; margin: 2em; max-width: 60em; }
h1 { font-size: 16pt; margin: 0 0 0.2em; }
h2 { font-size: 12pt; margin: 1.2em 0 0.3em; }
p.headline { font-size: 12pt; margin: 0 0 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #999; padding: 2px 8px; text-align: left; vertical-align: top; }
td.n { text-align: right; }
svg.chart { width: 100%; max-width: 720px; height: auto; }
@media print {
  body { margin: 0; max-width: none; }
  @page { margin: 15mm; }
  h2 { break-after: avoid; }
  table, svg { break-inside: avoid; }
}
</style>
)";

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string cell(const std::string& text, bool number = false) {
    return (number ? "<td class=\"n\">" : "<td>") + escaped(text) + "</td>";
}

std::string row(const std::string& cells) {
    return "<tr>" + cells + "</tr>\n";
}

std::string title(const JobReport& r) {
    std::string text = "Job " + r.job;
    if (r.lot)
        text += r.lot->empty() ? ", no lot" : ", lot " + *r.lot;
    return text;
}

std::string headline(const JobReport& r) {
    std::string text = std::to_string(r.counts.passed);
    if (r.quantity)
        text += " of " + std::to_string(*r.quantity);
    return text + " chips passed, " + std::to_string(r.counts.failed) + " failed, yield " +
           percent_text(r.counts.yield());
}

std::string versions_text(const JobReport& r) {
    std::string text;
    for (const JobVersion& v : r.versions)
        text += (text.empty() ? "" : "; ") +
                (v.revision > 0 ? "revision " + std::to_string(v.revision) : "not released") +
                ", fingerprint " + v.fingerprint + ", " + std::to_string(v.chips) + " chips";
    return text;
}

std::string facts(const JobReport& r) {
    std::vector<std::pair<std::string, std::string>> items = {
        {"Quantity", r.quantity ? std::to_string(*r.quantity) : "unknown"},
        {"Passed", std::to_string(r.counts.passed)},
        {"Failed", std::to_string(r.counts.failed)},
        {"Of those abandoned", std::to_string(r.counts.abandoned)},
        {"Being programmed", std::to_string(r.in_progress)},
        {"Yield", percent_text(r.counts.yield())},
    };
    if (r.counts.chips() > 0) {
        items.emplace_back("First chip", iso_time(r.first_ms, r.first_offset_min));
        items.emplace_back("Last chip", iso_time(r.last_ms, r.last_offset_min));
    }
    if (!r.first_serial.empty()) {
        items.emplace_back("Serial numbers", r.first_serial + " .. " + r.last_serial);
        std::string gaps;
        for (const std::string& gap : r.gaps)
            gaps += (gaps.empty() ? "" : ", ") + gap;
        items.emplace_back("Gaps", gaps.empty() ? "none" : gaps);
    }
    items.emplace_back("Revisions", versions_text(r));
    std::string out = "<table>\n";
    for (const auto& [key, value] : items)
        out += row("<th>" + escaped(key) + "</th>" + cell(value));
    return out + "</table>\n";
}

std::string counts_cells(const ChipCounts& c) {
    return cell(std::to_string(c.passed), true) + cell(std::to_string(c.failed), true) +
           cell(std::to_string(c.abandoned), true) + cell(percent_text(c.yield()), true);
}

std::string places(const JobReport& r) {
    const std::string heads = "<th>passed</th><th>failed</th><th>abandoned</th><th>yield</th>";
    std::string out = "<h2>Stations</h2>\n<table>\n" + row("<th>station</th>" + heads);
    for (const StationCounts& s : r.stations)
        out += row(cell(s.station) + counts_cells(s.counts));
    out += "</table>\n<h2>Boards</h2>\n<table>\n" + row("<th>station</th><th>port</th>" + heads);
    for (const BoardCounts& b : r.boards)
        out += row(cell(b.station) + cell(b.port) + counts_cells(b.counts));
    return out + "</table>\n";
}

std::string failures(const JobReport& r) {
    if (r.failures.empty())
        return {};
    std::string out = "<h2>Failures</h2>\n<table>\n" + row("<th>chips</th><th>message</th>");
    for (const FailureCount& f : r.failures)
        out += row(cell(std::to_string(f.chips), true) +
                   cell(f.message.empty() ? "(no message)" : f.message));
    return out + "</table>\n";
}

} // namespace

std::string job_report_html(const JobReport& r) {
    const std::string name = escaped(title(r));
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>" +
                       name + "</title>\n" + kStyle + "</head>\n<body>\n";
    page += "<h1>" + name + "</h1>\n<p class=\"headline\">" + escaped(headline(r)) + "</p>\n";
    page += facts(r);
    if (r.counts.chips() > 0)
        page += places(r) + failures(r) + "<h2>Per hour</h2>\n" + job_report_chart_svg(r.hours);
    return page + "</body>\n</html>\n";
}

} // namespace zz
