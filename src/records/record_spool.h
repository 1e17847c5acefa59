#pragma once

#include "records/chip_record.h"
#include "records/records_sqlite.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zz {

// Records that could not reach their store, kept in a local SQLite file until they can. Each
// row names its store (the store's identity, made with its schema), so stations on one machine
// that use different stores can share the file.
class RecordSpool {
public:
    // Opens the file, creating it; throws StoreError.
    RecordSpool(const std::filesystem::path& path, int deadline_ms);

    void keep(const std::string& store_id, const ChipRecord& record);
    std::vector<ChipRecord> waiting(const std::string& store_id);
    void forget(const std::string& store_id, const std::string& record_id);

private:
    void add_missing_columns();

    SqliteBackend db_;
};

} // namespace zz
