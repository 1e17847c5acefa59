// What the store answers: the records, the summary per station and port, the hours of a day,
// a sequence's state; and the making of list sequences.
#include "records/records_schema.h"
#include "records/records_sequences.h"
#include "records/records_store.h"

#include <algorithm>
#include <ctime>
#include <stdexcept>
#include <unordered_map>

namespace zz {

namespace {

// " WHERE ..." for the filter's fields, with their parameters appended to `params`.
std::string where(const RecordFilter& f, std::vector<SqlValue>& params) {
    std::string sql;
    const auto add = [&](std::string_view condition, SqlValue value, std::string_view tail = "") {
        params.push_back(std::move(value));
        sql += (sql.empty() ? " WHERE " : " AND ") + std::string(condition) + " $" +
               std::to_string(params.size()) + std::string(tail);
    };
    if (!f.serial.empty())
        add("UPPER(serial) = UPPER(", f.serial, ")");
    if (!f.sequence.empty())
        add("sequence =", f.sequence);
    if (!f.station.empty())
        add("station =", f.station);
    if (f.since_ms)
        add("time_ms >=", *f.since_ms);
    if (!f.job.empty())
        add("job =", f.job);
    if (!f.job.empty() && f.lot)
        add("lot =", *f.lot);
    return sql;
}

std::string count_of(std::string_view result) {
    return "SUM(CASE WHEN result = '" + std::string(result) + "' THEN 1 ELSE 0 END)";
}

} // namespace

// Reservations of dead stations are shown as abandoned.
SqlRows RecordsStore::listed(const std::string& sql, const std::vector<SqlValue>& params) {
    SqlRows rows;
    retried([&] {
        abandon_dead_sessions();
        rows = db_->exec(sql, params);
    });
    return rows;
}

double PortSummary::yield() const {
    const std::int64_t chips = passed + failed;
    return chips > 0 ? static_cast<double>(passed) / static_cast<double>(chips) : 0.0;
}

double PortSummary::chips_per_hour() const {
    const std::int64_t span = last_end_ms - first_start_ms;
    return span > 0 ? static_cast<double>(passed + failed) * 3'600'000.0 / static_cast<double>(span)
                    : 0.0;
}

std::vector<ChipRecord> RecordsStore::records(const RecordFilter& filter) {
    const std::lock_guard lock(mutex_);
    std::vector<SqlValue> params;
    std::string sql = "SELECT " + record_columns() + " FROM records" + where(filter, params);
    if (filter.last) {
        params.emplace_back(std::int64_t{std::max(0, *filter.last)});
        sql += " ORDER BY time_ms DESC, entry DESC LIMIT $" + std::to_string(params.size());
    } else {
        sql += " ORDER BY time_ms, entry";
    }
    std::vector<ChipRecord> out;
    for (const SqlRow& row : listed(sql, params))
        out.push_back(record_from_row(row));
    if (filter.last)
        std::reverse(out.begin(), out.end());
    return out;
}

std::vector<PortSummary> RecordsStore::summary(const RecordFilter& filter) {
    const std::lock_guard lock(mutex_);
    std::vector<SqlValue> params;
    std::string conditions = where(filter, params);
    conditions += (conditions.empty() ? " WHERE " : " AND ") + std::string("result <> 'reserved'");
    const std::string sql = "SELECT station, port, " + count_of("passed") + ", " +
                            count_of("failed") + ", " + count_of("abandoned") +
                            ", MIN(time_ms - elapsed_ms), MAX(time_ms) FROM records" + conditions +
                            " GROUP BY station, port ORDER BY station, port";
    std::vector<PortSummary> out;
    for (const SqlRow& r : listed(sql, params))
        out.push_back({r.text(0), r.text(1), r.integer(2), r.integer(3), r.integer(4), r.integer(5),
                       r.integer(6)});
    return out;
}

std::array<HourCount, 24> RecordsStore::hourly(std::int64_t day_start_ms) {
    const std::lock_guard lock(mutex_);
    constexpr std::int64_t kHourMs = 3'600'000;
    SqlRows rows;
    retried([&] {
        rows = db_->exec("SELECT (time_ms - $1) / 3600000, " + count_of("passed") + ", " +
                             count_of("failed") +
                             " FROM records WHERE time_ms >= $1 AND time_ms < $2 "
                             "GROUP BY (time_ms - $1) / 3600000",
                         {day_start_ms, day_start_ms + 24 * kHourMs});
    });
    std::array<HourCount, 24> hours{};
    for (const SqlRow& r : rows) {
        const std::int64_t hour = r.integer(0);
        if (hour >= 0 && hour < 24)
            hours[static_cast<std::size_t>(hour)] = {r.integer(1), r.integer(2)};
    }
    return hours;
}

std::optional<SequenceState> RecordsStore::sequence_state(const std::string& name) {
    const std::lock_guard lock(mutex_);
    std::optional<SequenceState> state;
    retried([&] {
        abandon_dead_sessions();
        state.reset();
        const std::optional<SequenceRow> row = read_sequence(*db_, name, false);
        if (!row)
            return;
        SequenceState& s = state.emplace();
        s.name = name;
        s.kind = row->kind;
        s.next_value = row->next_value;
        s.counting = row->counting;
        if (row->kind == SequenceKind::list)
            std::tie(s.next_value, s.left) = list_position(*db_, *row);
        for (const SqlRow& r :
             db_->exec("SELECT result, COUNT(*) FROM records WHERE sequence = $1 GROUP BY result",
                       {name})) {
            const std::optional<ChipResult> result = result_from_name(r.text(0));
            std::int64_t* counts[] = {&s.reserved, &s.passed, &s.failed, &s.abandoned};
            if (result)
                *counts[static_cast<std::size_t>(*result)] = r.integer(1);
        }
    });
    return state;
}

void RecordsStore::create_list_sequence(const std::string& name,
                                        const std::vector<std::string>& values) {
    const std::lock_guard lock(mutex_);
    retried([&] {
        WriteTransaction t(*db_);
        create_list(*db_, name, values, now_ms());
        t.commit();
    });
}

std::vector<std::string> parse_sequence_values(std::string_view text) {
    std::vector<std::string> values;
    std::unordered_map<std::string, std::size_t> line_of;
    std::size_t line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        std::string value;
        for (char c : raw)
            if (c != ':' && c != '-' && c != ' ' && c != '\t' && c != '\r')
                value += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (value.empty() || value.front() == '#')
            continue;
        if (value.find_first_not_of("0123456789ABCDEF") != std::string::npos)
            throw std::invalid_argument("Line " + std::to_string(line) + ": \"" + std::string(raw) +
                                        "\" is not a hex value");
        const auto [first, fresh] = line_of.emplace(value, line);
        if (!fresh)
            throw std::invalid_argument("Line " + std::to_string(line) + ": " + value +
                                        " is on line " + std::to_string(first->second) +
                                        " already");
        values.push_back(value);
    }
    return values;
}

std::int64_t local_day_start_ms(std::int64_t utc_ms) {
    const auto seconds = static_cast<std::time_t>(utc_ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local)) * 1000;
}

} // namespace zz
