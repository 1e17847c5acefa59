// The per-hour chart of the report's page: one stacked bar per hour, passed below failed, as
// inline SVG (no namespace URL: the page names no address at all).
#include "records/job_report.h"

#include <algorithm>
#include <cstdio>

namespace zz {

namespace {

// The drawing's size and margins, in SVG user units (1 unit = 1 CSS px on screen).
constexpr double kWidth = 720;
constexpr double kHeight = 240;
constexpr double kLeft = 40;   // the axis's numbers
constexpr double kBottom = 48; // the hours' labels, their dates and the legend
constexpr double kTop = 10;
constexpr int kMostLabels = 12;    // hour labels under the bars, at most
constexpr double kWidestSlot = 60; // a bar and its space: a short job's bars stay bars

std::string num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Light bars for passed chips, dark for failed ones: told apart also on a grey-scale printer.
// Fills as attributes, so the chart looks the same wherever the SVG is shown.
std::string fill_of(const std::string& cls) {
    return cls == "pass" ? "#7fc97f" : "#b2182b";
}

std::string rect(const std::string& cls, double x, double y, double w, double h) {
    return "<rect class=\"" + cls + "\" fill=\"" + fill_of(cls) + "\" x=\"" + num(x) + "\" y=\"" +
           num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) + "\"/>";
}

std::string text_at(double x, double y, const std::string& anchor, const std::string& text) {
    return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" text-anchor=\"" + anchor + "\">" +
           text + "</text>";
}

std::string bar(const HourCounts& h, double x, double width, double scale, double base) {
    const double passed = static_cast<double>(h.passed) * scale;
    const double failed = static_cast<double>(h.failed) * scale;
    std::string out = "<g><title>" + hour_text(h.local_ms) + ": " + std::to_string(h.passed) +
                      " passed, " + std::to_string(h.failed) + " failed</title>";
    if (h.passed > 0)
        out += rect("pass", x, base - passed, width, passed);
    if (h.failed > 0)
        out += rect("fail", x, base - passed - failed, width, failed);
    return out + "</g>\n";
}

std::string axes(std::int64_t most, double base) {
    const double right = kWidth - 4;
    return "<line class=\"axis\" stroke=\"#000\" x1=\"" + num(kLeft) + "\" y1=\"" + num(base) +
           "\" x2=\"" + num(right) + "\" y2=\"" + num(base) + "\"/>\n" +
           text_at(kLeft - 4, base, "end", "0") + "\n" +
           text_at(kLeft - 4, kTop + 8, "end", std::to_string(most)) + "\n";
}

std::string legend() {
    const double y = kHeight - 6;
    return rect("pass", kLeft, y - 9, 10, 10) + text_at(kLeft + 14, y, "start", "passed") +
           rect("fail", kLeft + 80, y - 9, 10, 10) + text_at(kLeft + 94, y, "start", "failed") +
           "\n";
}

// "14:00" under the bar, and its date under that when the day is not the last label's.
std::string label(std::int64_t local_ms, double x, double base, std::string& day) {
    const std::string hour = hour_text(local_ms); // "2026-12-08 14:00"
    std::string out = text_at(x, base + 14, "middle", hour.substr(11));
    if (hour.substr(0, 10) != day)
        out += text_at(x, base + 26, "middle", hour.substr(5, 5));
    day = hour.substr(0, 10);
    return out + "\n";
}

} // namespace

std::string job_report_chart_svg(const std::vector<HourCounts>& hours) {
    std::int64_t most = 1;
    for (const HourCounts& h : hours)
        most = std::max(most, h.passed + h.failed);
    const double base = kHeight - kBottom;
    const double scale = (base - kTop) / static_cast<double>(most);
    const double room = kWidth - kLeft - 4;
    const double slot =
        std::min(kWidestSlot, room / static_cast<double>(std::max<std::size_t>(1, hours.size())));
    const std::size_t label_every = hours.size() / kMostLabels + 1;
    std::string day; // of the last label
    std::string out = "<svg class=\"chart\" viewBox=\"0 0 " + num(kWidth) + " " + num(kHeight) +
                      "\" font-family=\"sans-serif\" font-size=\"10\" role=\"img\" "
                      "aria-label=\"Chips passed and failed per hour\">\n" +
                      axes(most, base);
    for (std::size_t i = 0; i < hours.size(); ++i) {
        const double x = kLeft + slot * static_cast<double>(i);
        out += bar(hours[i], x + slot * 0.1, slot * 0.8, scale, base);
        if (i % label_every == 0)
            out += label(hours[i].local_ms, x + slot / 2, base, day);
    }
    return out + legend() + "</svg>\n";
}

} // namespace zz
