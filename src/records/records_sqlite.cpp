#include "records/records_sqlite.h"

#include "records/process_identity.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace zz {

namespace {

constexpr const char* kOpenPragmas =
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON";
constexpr int kBusyPauseMs = 10; // between tries of a file another connection holds

// The file cannot be read or written any more: as if a server had gone away.
bool is_lost(int code) {
    switch (code & 0xFF) {
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_READONLY:
        return true;
    default:
        return false;
    }
}

// Finalizes the statement however the run ends.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

int bind(sqlite3_stmt* stmt, int index, const SqlValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return sqlite3_bind_int64(stmt, index, *number);
    if (const auto* text = std::get_if<std::string>(&value))
        return sqlite3_bind_text(stmt, index, text->data(), static_cast<int>(text->size()),
                                 SQLITE_TRANSIENT);
    return sqlite3_bind_null(stmt, index);
}

SqlRow row_of(sqlite3_stmt* stmt) {
    SqlRow row;
    const int columns = sqlite3_column_count(stmt);
    for (int c = 0; c < columns; ++c) {
        if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
            row.cells.emplace_back();
            continue;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        row.cells.emplace_back(
            std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c))));
    }
    return row;
}

} // namespace

SqliteBackend::SqliteBackend(std::filesystem::path path, std::string shown, int deadline_ms)
    : path_(std::move(path)), shown_(std::move(shown)), deadline_ms_(deadline_ms) {
    open();
}

SqliteBackend::~SqliteBackend() {
    close();
}

void SqliteBackend::close() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteBackend::fail(int code, std::string_view what) const {
    std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    if ((code & 0xFF) == SQLITE_BUSY)
        reason = "it stayed locked by another program for " + seconds_text(deadline_ms_);
    throw StoreError(std::string(what) + " " + shown_ + ": " + reason, is_lost(code));
}

void SqliteBackend::open() {
    std::error_code ec;
    if (path_.has_parent_path())
        std::filesystem::create_directories(path_.parent_path(), ec);
    const int code =
        sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        close();
        throw StoreError("Cannot open the records database " + shown_ + ": " + reason, true);
    }
    sqlite3_busy_timeout(db_, deadline_ms_);
    // Also the first read of the file: a file that is no database fails here. Turning a new
    // file to WAL takes it whole, and SQLite reports that busy at once rather than waiting: the
    // stations that open a new file together take turns until the deadline.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms_);
    int pragmas = SQLITE_BUSY;
    while ((pragmas = sqlite3_exec(db_, kOpenPragmas, nullptr, nullptr, nullptr)) != SQLITE_OK &&
           (pragmas & 0xFF) == SQLITE_BUSY && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPauseMs));
    if (pragmas != SQLITE_OK) {
        const std::string reason = sqlite3_errmsg(db_);
        close();
        throw StoreError("Cannot open the records database " + shown_ + ": " + reason, true);
    }
}

void SqliteBackend::reconnect() {
    close();
    open();
}

SqlRows SqliteBackend::exec(std::string_view sql, std::initializer_list<SqlValue> params) {
    return run(sql, params.begin(), params.size());
}

SqlRows SqliteBackend::exec(std::string_view sql, const std::vector<SqlValue>& params) {
    return run(sql, params.data(), params.size());
}

SqlRows SqliteBackend::run(std::string_view sql, const SqlValue* params, std::size_t count) {
    if (!db_)
        throw StoreError("The records database " + shown_ + " is closed", true);
    Statement s;
    int code = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &s.stmt, nullptr);
    if (code != SQLITE_OK)
        fail(code, "Error in the records database");
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = "$" + std::to_string(i + 1);
        const int index = sqlite3_bind_parameter_index(s.stmt, name.c_str());
        if (index > 0 && (code = bind(s.stmt, index, params[i])) != SQLITE_OK)
            fail(code, "Error in the records database");
    }
    SqlRows rows;
    while ((code = sqlite3_step(s.stmt)) == SQLITE_ROW)
        rows.push_back(row_of(s.stmt));
    if (code != SQLITE_DONE)
        fail(code, "Error in the records database");
    return rows;
}

void SqliteBackend::begin_write() {
    exec("BEGIN IMMEDIATE");
}

std::vector<std::string> SqliteBackend::dead_sessions() {
    std::vector<std::string> dead;
    for (const SqlRow& row : exec("SELECT id, host, pid, process FROM store_sessions"))
        if (!process_running({row.text(1), static_cast<pid_t>(row.integer(2)), row.text(3)}))
            dead.push_back(row.text(0));
    return dead;
}

} // namespace zz
