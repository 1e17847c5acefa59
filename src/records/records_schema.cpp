#include "records/records_schema.h"

#include "records/record_time.h"

#include <array>
#include <random>

namespace zz {

namespace {

// Each version's statements; a store of version N has run those of 1 to N. Types are the ones
// SQLite and PostgreSQL both read alike (BIGINT is SQLite's 64-bit integer).
const std::vector<std::vector<std::string_view>>& steps() {
    static const std::vector<std::vector<std::string_view>> all = {
        // 1: records, sequences, and the open stores
        {"CREATE TABLE store_info (store_id TEXT PRIMARY KEY, created_ms BIGINT NOT NULL)",
         "CREATE TABLE sequences (name TEXT PRIMARY KEY, kind TEXT NOT NULL, "
         "next_value TEXT, next_position BIGINT NOT NULL DEFAULT 0, counting_kind TEXT, "
         "counting_width INTEGER, counting_modulus BIGINT, counting_hex INTEGER, "
         "counting_step INTEGER, created_ms BIGINT NOT NULL)",
         "CREATE TABLE sequence_values (sequence TEXT NOT NULL REFERENCES sequences (name), "
         "position BIGINT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (sequence, position))",
         "CREATE TABLE records (id TEXT PRIMARY KEY, time_ms BIGINT NOT NULL, "
         "utc_offset_min INTEGER NOT NULL, station TEXT NOT NULL, model TEXT NOT NULL, "
         "port TEXT NOT NULL, firmware TEXT NOT NULL, chip TEXT NOT NULL, "
         "device_id TEXT NOT NULL, image TEXT NOT NULL, image_sha256 TEXT NOT NULL, "
         "checksum TEXT NOT NULL, serial TEXT NOT NULL, sequence TEXT, result TEXT NOT NULL, "
         "message TEXT NOT NULL, elapsed_ms BIGINT NOT NULL, session TEXT, "
         "UNIQUE (sequence, serial))",
         "CREATE TABLE store_sessions (id TEXT PRIMARY KEY, station TEXT NOT NULL, "
         "host TEXT NOT NULL, pid BIGINT NOT NULL, process TEXT NOT NULL, "
         "lock_key BIGINT NOT NULL, started_ms BIGINT NOT NULL)"},
        // 2: what the window's and the command line's queries look up
        {"CREATE INDEX records_by_time ON records (time_ms)",
         "CREATE INDEX records_by_serial ON records (UPPER(serial))",
         "CREATE INDEX records_by_session ON records (session, result)"},
        // 3: the order records were taken in, which their times (in ms) do not always tell
        {"ALTER TABLE records ADD COLUMN entry BIGINT",
         "UPDATE records SET entry = (SELECT COUNT(*) FROM records r WHERE r.time_ms < "
         "records.time_ms OR (r.time_ms = records.time_ms AND r.id <= records.id))",
         "CREATE INDEX records_by_entry ON records (entry)"},
        // 4: production jobs: the job each chip was made for, its lot and operator, what was
        // kept of the chip; released jobs, the rows a job's quantity is counted under, and the
        // engineer's password
        {"ALTER TABLE records ADD COLUMN job TEXT NOT NULL DEFAULT ''",
         "ALTER TABLE records ADD COLUMN job_revision BIGINT NOT NULL DEFAULT 0",
         "ALTER TABLE records ADD COLUMN job_fingerprint TEXT NOT NULL DEFAULT ''",
         "ALTER TABLE records ADD COLUMN job_checksum TEXT NOT NULL DEFAULT ''",
         "ALTER TABLE records ADD COLUMN lot TEXT NOT NULL DEFAULT ''",
         "ALTER TABLE records ADD COLUMN operator_name TEXT NOT NULL DEFAULT ''",
         "ALTER TABLE records ADD COLUMN preserved TEXT NOT NULL DEFAULT ''",
         "CREATE INDEX records_by_job ON records (job, lot, result)",
         "CREATE TABLE jobs (name TEXT NOT NULL, revision BIGINT NOT NULL, "
         "fingerprint TEXT NOT NULL, content TEXT NOT NULL, released_by TEXT NOT NULL, "
         "station TEXT NOT NULL, released_ms BIGINT NOT NULL, PRIMARY KEY (name, revision))",
         "CREATE TABLE job_quotas (job TEXT NOT NULL, lot TEXT NOT NULL, "
         "PRIMARY KEY (job, lot))",
         "CREATE TABLE store_secrets (name TEXT PRIMARY KEY, value TEXT NOT NULL, "
         "set_ms BIGINT NOT NULL)"},
    };
    return all;
}

constexpr std::array<std::string_view, 24> kColumns = {
    "id",         "time_ms",      "utc_offset_min",  "station",      "model",
    "port",       "firmware",     "chip",            "device_id",    "image",
    "image_sha256", "checksum",   "serial",          "sequence",     "result",
    "message",    "elapsed_ms",   "job",             "job_revision", "job_fingerprint",
    "job_checksum", "lot",        "operator_name",   "preserved"};

} // namespace

std::string unique_id() {
    std::random_device random;
    std::uniform_int_distribution<std::uint32_t> word;
    char text[33];
    std::snprintf(text, sizeof text, "%08x%08x%08x%08x", word(random), word(random), word(random),
                  word(random));
    return text;
}

namespace {

int version_of(RecordsBackend& db) {
    db.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    const SqlRows rows = db.exec("SELECT version FROM schema_version");
    if (!rows.empty())
        return static_cast<int>(rows[0].integer(0));
    db.exec("INSERT INTO schema_version (version) VALUES (0)");
    return 0;
}

} // namespace

int records_schema_version() {
    return static_cast<int>(steps().size());
}

std::string migrate_records_schema(RecordsBackend& db, int version) {
    WriteTransaction transaction(db);
    db.lock_schema();
    const int found = version_of(db);
    if (found > records_schema_version())
        throw StoreError("The records database has schema version " + std::to_string(found) +
                         "; this program knows versions up to " +
                         std::to_string(records_schema_version()) + ": use a newer program");
    for (int step = found; step < version; ++step)
        for (std::string_view statement : steps()[static_cast<std::size_t>(step)])
            db.exec(statement);
    if (version > found)
        db.exec("UPDATE schema_version SET version = $1", {std::int64_t{version}});
    SqlRows id = db.exec("SELECT store_id FROM store_info");
    if (id.empty()) {
        id = {SqlRow{{unique_id()}}};
        db.exec("INSERT INTO store_info (store_id, created_ms) VALUES ($1, $2)",
                {id[0].text(0), utc_now_ms()});
    }
    transaction.commit();
    return id[0].text(0);
}

const std::string& record_columns() {
    static const std::string columns = [] {
        std::string text;
        for (std::string_view c : kColumns)
            text += (text.empty() ? "" : ", ") + std::string(c);
        return text;
    }();
    return columns;
}

std::string record_placeholders() {
    std::string text;
    for (std::size_t i = 1; i <= kColumns.size(); ++i)
        text += (i > 1 ? ", $" : "$") + std::to_string(i);
    return text;
}

std::string_view next_record_entry() {
    return "(SELECT COALESCE(MAX(entry), 0) + 1 FROM records)";
}

std::string record_upsert() {
    std::string update;
    for (std::string_view c : kColumns)
        if (c != "id")
            update +=
                (update.empty() ? "" : ", ") + std::string(c) + " = excluded." + std::string(c);
    // The entry stays the one the record was first written with.
    return "INSERT INTO records (" + record_columns() + ", entry) VALUES (" +
           record_placeholders() + ", " + std::string(next_record_entry()) +
           ") ON CONFLICT (id) DO UPDATE SET " + update;
}

std::vector<SqlValue> record_values(const ChipRecord& r) {
    return {r.id,
            r.time_ms,
            std::int64_t{r.utc_offset_min},
            r.station,
            r.model,
            r.port,
            r.firmware,
            r.chip,
            r.device_id,
            r.image,
            r.image_sha256,
            r.checksum,
            r.serial,
            r.sequence.empty() ? SqlValue{nullptr} : SqlValue{r.sequence},
            std::string(result_name(r.result)),
            r.message,
            r.elapsed_ms,
            r.job,
            r.job_revision,
            r.job_fingerprint,
            r.job_checksum,
            r.lot,
            r.operator_name,
            r.preserved};
}

ChipRecord record_from_row(const SqlRow& row, std::size_t first) {
    std::size_t i = first;
    ChipRecord r;
    r.id = row.text(i++);
    r.time_ms = row.integer(i++);
    r.utc_offset_min = static_cast<int>(row.integer(i++));
    for (std::string* field : {&r.station, &r.model, &r.port, &r.firmware, &r.chip, &r.device_id,
                               &r.image, &r.image_sha256, &r.checksum, &r.serial, &r.sequence})
        *field = row.text(i++);
    const std::string result = row.text(i++);
    r.result = result_from_name(result).value_or(ChipResult::failed);
    r.message = row.text(i++);
    r.elapsed_ms = row.integer(i++);
    r.job = row.text(i++);
    r.job_revision = row.integer(i++);
    for (std::string* field :
         {&r.job_fingerprint, &r.job_checksum, &r.lot, &r.operator_name, &r.preserved})
        *field = row.text(i++);
    return r;
}

} // namespace zz
