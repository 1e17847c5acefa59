#include "cli/records_command.h"

#include "records/record_time.h"
#include "records/records_store.h"
#include "cli/cli_context.h"
#include "cli/report_command.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zz::cli {

namespace {

std::string or_dash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// "job line@3", or "job line (not released)" for a rehearsal: after the record's fields when it
// was made for a job.
std::string job_text(const ChipRecord& r) {
    if (r.job.empty())
        return {};
    return "\tjob " + r.job +
           (r.job_revision > 0 ? "@" + std::to_string(r.job_revision) : " (not released)");
}

std::string record_text(const ChipRecord& r) {
    return iso_time(r.time_ms, r.utc_offset_min) + "\t" + r.station + "\t" + r.model + "\t" +
           r.port + "\t" + r.chip + "\t" + or_dash(r.serial) + "\t" +
           std::string(result_name(r.result)) + "\t" + std::to_string(r.elapsed_ms) + " ms\t" +
           or_dash(r.image) + "\t" + or_dash(r.message) + job_text(r);
}

// Every column but the store's own (session, entry); bytes that are not UTF-8 become U+FFFD.
std::string record_json(const ChipRecord& r) {
    const nlohmann::ordered_json object = {
        {"id", r.id},
        {"time", iso_time(r.time_ms, r.utc_offset_min)},
        {"station", r.station},
        {"model", r.model},
        {"port", r.port},
        {"firmware", r.firmware},
        {"chip", r.chip},
        {"device_id", r.device_id},
        {"image", r.image},
        {"image_sha256", r.image_sha256},
        {"checksum", r.checksum},
        {"serial", r.serial},
        {"sequence", r.sequence},
        {"result", result_name(r.result)},
        {"message", r.message},
        {"elapsed_ms", r.elapsed_ms},
        {"job", r.job},
        {"job_revision", r.job_revision},
        {"job_fingerprint", r.job_fingerprint},
        {"job_checksum", r.job_checksum},
        {"lot", r.lot},
        {"operator", r.operator_name},
        {"preserved", r.preserved},
    };
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string summary_text(const PortSummary& s) {
    return s.station + "\t" + s.port + "\t" + std::to_string(s.passed) + " passed\t" +
           std::to_string(s.failed) + " failed\tyield " + fixed(100 * s.yield(), 1) + " %\t" +
           fixed(s.chips_per_hour(), 1) + " chips/h";
}

std::string summary_json(const PortSummary& s) {
    return "{\"station\":" + json_quote(s.station) + ",\"port\":" + json_quote(s.port) +
           ",\"passed\":" + std::to_string(s.passed) + ",\"failed\":" + std::to_string(s.failed) +
           ",\"abandoned\":" + std::to_string(s.abandoned) + ",\"yield\":" + fixed(s.yield(), 4) +
           ",\"chips_per_hour\":" + fixed(s.chips_per_hour(), 1) + "}";
}

// One result per line, printed as it is made.
void print_line(const std::string& line) {
    std::printf("%s\n", line.c_str());
}

RecordFilter filter_of(const CliOptions& o) {
    RecordFilter f;
    f.serial = o.production.serial.value_or("");
    f.sequence = o.records.sequence;
    f.station = o.records.station;
    if (o.records.since)
        f.since_ms = parse_since(*o.records.since, utc_now_ms());
    f.job = o.job.job;
    if (o.job.lot_given)
        f.lot = o.job.lot;
    return f;
}

int list_records(const CliOptions& o, RecordsStore& store, CliOperator& op, CliOutput& out) {
    const RecordFilter filter = filter_of(o);
    if (o.records.report)
        return job_report_command(o, filter, store, op, out);
    if (o.records.summary) {
        for (const PortSummary& s : store.summary(filter))
            print_line(o.json ? summary_json(s) : summary_text(s));
        return kSuccess;
    }
    if (o.records.csv)
        std::fputs(std::string(csv_header()).c_str(), stdout);
    for (const ChipRecord& r : store.records(filter)) {
        if (o.records.csv)
            std::fputs(csv_line(production_record(r)).c_str(), stdout); // ends its line
        else
            print_line(o.json ? record_json(r) : record_text(r));
    }
    return kSuccess;
}

// `sequence NAME --values FILE`.
int make_list(const CliOptions& o, RecordsStore& store, CliOperator& op, CliOutput& out) {
    const std::string& name = o.args[0];
    std::ifstream in(o.records.values);
    if (!in) {
        op.show_message("Cannot read " + o.records.values, "Error", Icon::Error);
        return kBadInput;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> values;
    try {
        values = parse_sequence_values(text.str());
    } catch (const std::invalid_argument& e) {
        op.show_message(o.records.values + ": " + e.what(), "Error", Icon::Error);
        return kBadInput;
    }
    store.create_list_sequence(name, values);
    out.line("Sequence \"" + name + "\": " + std::to_string(values.size()) + " values");
    out.field("values", std::to_string(values.size()));
    return kSuccess;
}

// `sequence NAME`: key=value lines.
int show_sequence(const CliOptions& o, RecordsStore& store, CliOperator& op, CliOutput& out) {
    const std::string& name = o.args[0];
    const std::optional<SequenceState> state = store.sequence_state(name);
    if (!state) {
        op.show_message("There is no sequence \"" + name + "\" in " + store.uri(), "Error",
                        Icon::Error);
        return kFailed;
    }
    const bool list = state->kind == SequenceKind::list;
    std::vector<std::pair<std::string, std::string>> items = {
        {"kind", list ? "list" : "counter"},
        {"next", state->next_value},
        {"used", std::to_string(state->used())},
        {"passed", std::to_string(state->passed)},
        {"failed", std::to_string(state->failed)},
        {"abandoned", std::to_string(state->abandoned)},
        {"reserved", std::to_string(state->reserved)},
    };
    if (state->left)
        items.emplace_back("left", std::to_string(*state->left));
    for (const auto& [key, value] : items) {
        out.line(key + "=" + value);
        const bool number = key != "kind" && key != "next";
        out.field(key, number ? value : json_quote(value));
    }
    return kSuccess;
}

int run_store_command(const CliOptions& o, const std::string& db, CliOperator& op, CliOutput& out) {
    std::unique_ptr<RecordsStore> store;
    try {
        store = RecordsStore::open(db);
    } catch (const StoreError& e) {
        op.show_message(e.what(), "Error", Icon::Error);
        return kBadInput;
    }
    try {
        if (o.command == "records")
            return list_records(o, *store, op, out);
        return o.records.values.empty() ? show_sequence(o, *store, op, out)
                                        : make_list(o, *store, op, out);
    } catch (const StoreError& e) {
        op.show_message(e.what(), "Error", Icon::Error);
        return kFailed;
    }
}

} // namespace

int store_command(const CliOptions& o, const AppSettings& settings) {
    CliOperator op(o.yes, o.json, o.quiet);
    CliOutput out(o.json);
    const int status = run_store_command(o, settings.records_db, op, out);
    // `records` prints its lines as it goes; the result object tells what went wrong, or where
    // the report's page went.
    const bool printed = o.command == "records" && status == kSuccess && o.records.html.empty();
    if (o.json && !printed)
        std::printf("%s\n", out.object(o.command, status, op.shown()).c_str());
    return status;
}

} // namespace zz::cli
