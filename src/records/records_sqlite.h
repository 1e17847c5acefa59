#pragma once

#include "records/records_backend.h"

#include <filesystem>

struct sqlite3;

namespace zz {

// A SQLite file, in WAL mode with full syncs (a committed record survives a power cut). Writers
// wait up to the deadline for each other (busy timeout). A session is alive while its process
// runs, checked by process id and start time on this host.
class SqliteBackend : public RecordsBackend {
public:
    // Opens (creating the file and its folders) or throws StoreError naming `shown`.
    SqliteBackend(std::filesystem::path path, std::string shown, int deadline_ms);
    ~SqliteBackend() override;

    SqlRows exec(std::string_view sql, std::initializer_list<SqlValue> params = {}) override;
    SqlRows exec(std::string_view sql, const std::vector<SqlValue>& params) override;
    void begin_write() override;
    std::string_view row_lock() const override { return ""; }
    void lock_schema() override {}
    void reconnect() override;
    std::int64_t claim_session_key() override { return 0; }
    std::vector<std::string> dead_sessions() override;

private:
    void open();
    void close();
    [[noreturn]] void fail(int code, std::string_view what) const;
    SqlRows run(std::string_view sql, const SqlValue* params, std::size_t count);

    std::filesystem::path path_;
    std::string shown_;
    int deadline_ms_;
    sqlite3* db_ = nullptr;
};

} // namespace zz
