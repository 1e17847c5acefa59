#pragma once

#include "records/chip_record.h"
#include "records/records_backend.h"

#include <string>
#include <vector>

namespace zz {

// The schema version this program writes and reads.
int records_schema_version();

// Creates the tables or brings an older schema up to `version` (default: this program's), in
// one transaction that other stores opening at the same time wait for. Returns the store's
// identity (made once, with the tables). Throws StoreError, also for a schema newer than this
// program knows.
std::string migrate_records_schema(RecordsBackend& db, int version = records_schema_version());

// 32 random hex digits: the ids of records and store sessions, made by the client so that a
// write repeated after a lost connection finds its first try.
std::string unique_id();

// The columns of a record, in the order of record_values and record_from_row; the records
// table and the spool share them.
const std::string& record_columns();
std::vector<SqlValue> record_values(const ChipRecord& record);
ChipRecord record_from_row(const SqlRow& row, std::size_t first = 0);
// "$1, $2, ..." for the record's columns.
std::string record_placeholders();
// The records' running entry number for a new row: what orders records of the same ms.
std::string_view next_record_entry();
// "INSERT INTO records (<columns>, entry) VALUES (...) ON CONFLICT (id) DO UPDATE SET ...":
// writing a record twice leaves it as writing it once.
std::string record_upsert();

} // namespace zz
