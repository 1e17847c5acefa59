#include "records/records_sequences.h"

#include <algorithm>

namespace zz {

namespace {

// Values per INSERT when a list is stored: fewer round trips to a server.
constexpr std::size_t kValuesPerInsert = 200;

std::string_view kind_name(SerialCounting::Kind kind) {
    return kind == SerialCounting::Kind::user_id ? "user_id" : "units";
}

std::string describe(const SerialCounting& c) {
    if (c.kind == SerialCounting::Kind::user_id)
        return "the user ID, step " + std::to_string(c.step);
    return std::string(c.hex ? "Hex" : "Dec") + " units of " + std::to_string(c.width) +
           " digits, step " + std::to_string(c.step);
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// counting_kind, counting_width, counting_modulus, counting_hex, counting_step from `first` on.
SerialCounting counting_of(const SqlRow& row, std::size_t first) {
    SerialCounting c;
    c.kind =
        row.text(first) == "user_id" ? SerialCounting::Kind::user_id : SerialCounting::Kind::units;
    c.width = static_cast<int>(row.integer(first + 1));
    c.modulus = row.integer(first + 2);
    c.hex = row.integer(first + 3) != 0;
    c.step = static_cast<std::int32_t>(row.integer(first + 4));
    return c;
}

void check_first_value(const SequenceRequest& r) {
    const std::string name = quoted(r.name);
    if (r.counting.kind == SerialCounting::Kind::none)
        throw StoreError("The sequence " + name +
                         " cannot count in the user ID in Dec format or on this core");
    if (r.first_value.empty() ||
        (r.counting.kind == SerialCounting::Kind::units &&
         r.first_value.size() % static_cast<std::size_t>(std::max(1, r.counting.width)) != 0))
        throw StoreError("The sequence " + name + " cannot start from \"" + r.first_value +
                         "\": it is not made of units of " + std::to_string(r.counting.width) +
                         " digits");
}

} // namespace

std::optional<SequenceRow> read_sequence(RecordsBackend& db, const std::string& name, bool lock) {
    const SqlRows rows =
        db.exec("SELECT kind, next_value, next_position, counting_kind, counting_width, "
                "counting_modulus, counting_hex, counting_step FROM sequences WHERE name = $1" +
                    std::string(lock ? db.row_lock() : ""),
                {name});
    if (rows.empty())
        return std::nullopt;
    const SqlRow& row = rows[0];
    SequenceRow s;
    s.name = name;
    s.kind = row.text(0) == "list" ? SequenceKind::list : SequenceKind::counter;
    s.next_value = row.text(1);
    s.next_position = row.integer(2);
    if (s.kind == SequenceKind::counter)
        s.counting = counting_of(row, 3);
    return s;
}

void create_counter(RecordsBackend& db, const SequenceRequest& r, std::int64_t now_ms) {
    check_first_value(r);
    const SerialCounting& c = r.counting;
    db.exec("INSERT INTO sequences (name, kind, next_value, counting_kind, counting_width, "
            "counting_modulus, counting_hex, counting_step, created_ms) "
            "VALUES ($1, 'counter', $2, $3, $4, $5, $6, $7, $8) ON CONFLICT (name) DO NOTHING",
            {r.name, r.first_value, std::string(kind_name(c.kind)), std::int64_t{c.width},
             c.modulus, std::int64_t{c.hex}, std::int64_t{c.step}, now_ms});
}

std::pair<std::string, std::int64_t> list_position(RecordsBackend& db, const SequenceRow& s) {
    const SqlRows next =
        db.exec("SELECT value FROM sequence_values WHERE sequence = $1 AND position = $2",
                {s.name, s.next_position});
    const SqlRows left =
        db.exec("SELECT COUNT(*) FROM sequence_values WHERE sequence = $1 AND position >= $2",
                {s.name, s.next_position});
    return {next.empty() ? std::string() : next[0].text(0), left[0].integer(0)};
}

std::string take_next_value(RecordsBackend& db, const SequenceRow& s, const SequenceRequest& r) {
    std::string value;
    if (s.kind == SequenceKind::list) {
        value = list_position(db, s).first;
        if (value.empty())
            throw StoreError("The sequence " + quoted(s.name) + " has no values left");
        db.exec("UPDATE sequences SET next_position = $2 WHERE name = $1",
                {s.name, s.next_position + 1});
    } else {
        if (!(s.counting == r.counting))
            throw StoreError("The sequence " + quoted(s.name) + " counts in " +
                             describe(s.counting) + "; these serial settings count in " +
                             describe(r.counting));
        if (s.next_value.size() != r.first_value.size())
            throw StoreError("The sequence " + quoted(s.name) + " holds numbers of " +
                             std::to_string(s.next_value.size()) +
                             " digits; these serial settings place " +
                             std::to_string(r.first_value.size()));
        value = s.next_value;
        db.exec("UPDATE sequences SET next_value = $2 WHERE name = $1",
                {s.name, next_serial_text(value, s.counting)});
    }
    if (!db.exec("SELECT id FROM records WHERE sequence = $1 AND serial = $2", {s.name, value})
             .empty())
        throw StoreError("The sequence " + quoted(s.name) + " has come round to " + value +
                         ", which a chip on record already has");
    return value;
}

void create_list(RecordsBackend& db, const std::string& name,
                 const std::vector<std::string>& values, std::int64_t now_ms) {
    if (values.empty())
        throw StoreError("The sequence " + quoted(name) + " needs at least one value");
    if (read_sequence(db, name, false))
        throw StoreError("The sequence " + quoted(name) + " exists already");
    db.exec("INSERT INTO sequences (name, kind, created_ms) VALUES ($1, 'list', $2)",
            {name, now_ms});
    for (std::size_t first = 0; first < values.size(); first += kValuesPerInsert) {
        const std::size_t end = std::min(values.size(), first + kValuesPerInsert);
        std::string sql = "INSERT INTO sequence_values (sequence, position, value) VALUES ";
        std::vector<SqlValue> params{name};
        for (std::size_t i = first; i < end; ++i) {
            const std::string n = std::to_string(params.size() + 1);
            sql += (i > first ? ", ($1, $" : "($1, $") + n + ", $" +
                   std::to_string(params.size() + 2) + ")";
            params.emplace_back(static_cast<std::int64_t>(i));
            params.emplace_back(values[i]);
        }
        db.exec(sql, params);
    }
}

} // namespace zz
