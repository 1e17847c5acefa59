#pragma once

#include "records/records_backend.h"

struct pg_conn;

namespace zz {

// A PostgreSQL database through libpq. Connecting and every statement have a deadline: the
// socket is polled, and a server that does not answer in time is taken as lost (the connection
// is dropped, so the server rolls back whatever was open). A session is alive while its
// connection holds its session-level advisory lock, which the server frees when the connection
// dies, however the station ended.
class PostgresBackend : public RecordsBackend {
public:
    // Connects or throws StoreError naming uri.shown.
    PostgresBackend(const StoreUri& uri, int deadline_ms);
    ~PostgresBackend() override;

    SqlRows exec(std::string_view sql, std::initializer_list<SqlValue> params = {}) override;
    SqlRows exec(std::string_view sql, const std::vector<SqlValue>& params) override;
    void begin_write() override { exec("BEGIN"); }
    std::string_view row_lock() const override { return " FOR UPDATE"; }
    void lock_schema() override;
    void reconnect() override;
    std::int64_t claim_session_key() override;
    std::vector<std::string> dead_sessions() override;

private:
    void connect(int budget_ms);
    void drop();
    SqlRows run(std::string_view sql, const SqlValue* params, std::size_t count);
    void wait_for_answer(std::int64_t deadline_ms);
    [[noreturn]] void lost(const std::string& reason);

    std::string conninfo_;
    std::string shown_;
    int deadline_ms_;
    pg_conn* conn_ = nullptr;
};

} // namespace zz
