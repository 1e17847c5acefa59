#include "records/record_spool.h"

#include "records/records_schema.h"

#include <set>
#include <sstream>

namespace zz {

RecordSpool::RecordSpool(const std::filesystem::path& path, int deadline_ms)
    : db_(path, "spool " + path.string(), deadline_ms) {
    // Columns without types keep what they are given: the record's texts and numbers.
    db_.exec("CREATE TABLE IF NOT EXISTS pending (store_id, " + record_columns() +
             ", PRIMARY KEY (store_id, id))");
    add_missing_columns();
}

// A spool kept by an older program lacks the columns records have gained since.
void RecordSpool::add_missing_columns() {
    std::set<std::string> present;
    for (const SqlRow& row : db_.exec("SELECT name FROM pragma_table_info('pending')"))
        present.insert(row.text(0));
    std::istringstream columns(record_columns());
    std::string column;
    while (std::getline(columns >> std::ws, column, ','))
        if (!present.count(column))
            db_.exec("ALTER TABLE pending ADD COLUMN " + column +
                     (column == "job_revision" ? " DEFAULT 0" : " DEFAULT ''"));
}

void RecordSpool::keep(const std::string& store_id, const ChipRecord& record) {
    std::vector<SqlValue> values = record_values(record);
    values.emplace_back(store_id);
    db_.exec("INSERT OR REPLACE INTO pending (" + record_columns() + ", store_id) VALUES (" +
                 record_placeholders() + ", $" + std::to_string(values.size()) + ")",
             values);
}

std::vector<ChipRecord> RecordSpool::waiting(const std::string& store_id) {
    std::vector<ChipRecord> records;
    for (const SqlRow& row : db_.exec("SELECT " + record_columns() +
                                          " FROM pending WHERE store_id = $1 ORDER BY time_ms",
                                      {store_id}))
        records.push_back(record_from_row(row));
    return records;
}

void RecordSpool::forget(const std::string& store_id, const std::string& record_id) {
    db_.exec("DELETE FROM pending WHERE store_id = $1 AND id = $2", {store_id, record_id});
}

} // namespace zz
