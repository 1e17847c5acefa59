// The end-of-job report as one JSON object, its keys in the order the text shows them.
#include "records/job_report.h"
#include "records/production_log.h"

#include <nlohmann/json.hpp>

namespace zz {

namespace {

using Json = nlohmann::ordered_json;

template <typename T> Json or_null(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json counts_json(Json object, const ChipCounts& c) {
    object["passed"] = c.passed;
    object["failed"] = c.failed;
    object["abandoned"] = c.abandoned;
    object["yield"] = c.yield();
    return object;
}

Json places_json(const JobReport& r) {
    Json stations = Json::array();
    for (const StationCounts& s : r.stations)
        stations.push_back(counts_json({{"station", s.station}}, s.counts));
    Json boards = Json::array();
    for (const BoardCounts& b : r.boards)
        boards.push_back(counts_json({{"station", b.station}, {"port", b.port}}, b.counts));
    return {{"stations", stations}, {"boards", boards}};
}

// Appends the report's lists to `out`, in the text's order.
void add_lists(Json& out, const JobReport& r) {
    Json versions = Json::array();
    for (const JobVersion& v : r.versions)
        versions.push_back(
            {{"revision", v.revision}, {"fingerprint", v.fingerprint}, {"chips", v.chips}});
    Json failures = Json::array();
    for (const FailureCount& f : r.failures)
        failures.push_back({{"message", f.message}, {"chips", f.chips}});
    Json hours = Json::array();
    for (const HourCounts& h : r.hours)
        hours.push_back(
            {{"hour", hour_text(h.local_ms)}, {"passed", h.passed}, {"failed", h.failed}});
    out["revisions"] = std::move(versions);
    out.update(places_json(r));
    out["failures"] = std::move(failures);
    out["hours"] = std::move(hours);
}

} // namespace

std::string job_report_json(const JobReport& r) {
    Json out = counts_json(
        {{"job", r.job}, {"lot", or_null(r.lot)}, {"quantity", or_null(r.quantity)}}, r.counts);
    out["in_progress"] = r.in_progress;
    const bool timed = r.counts.chips() > 0;
    out["first"] = timed ? Json(iso_time(r.first_ms, r.first_offset_min)) : Json(nullptr);
    out["last"] = timed ? Json(iso_time(r.last_ms, r.last_offset_min)) : Json(nullptr);
    out["serials"] =
        r.first_serial.empty()
            ? Json(nullptr)
            : Json{{"first", r.first_serial}, {"last", r.last_serial}, {"gaps", r.gaps}};
    add_lists(out, r);
    // Messages come from the boards and files: bytes that are not UTF-8 become U+FFFD.
    return out.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace zz
