#pragma once
// What the records store needs of a database: statements with parameters, a write transaction,
// and the few things SQLite and PostgreSQL do differently. Internal to the store; the rest of
// the program uses RecordsStore (records_store.h).
#include "records/store_uri.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zz {

// Why a store call failed, in words for the person. lost(): the database could not be reached
// (connection gone, server down, file unreadable), as opposed to a refusal such as a sequence
// with no values left.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message, bool lost = false)
        : std::runtime_error(message), lost_(lost) {}
    bool lost() const { return lost_; }

private:
    bool lost_;
};

using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string>;

struct SqlRow {
    std::vector<std::optional<std::string>> cells;

    std::string text(std::size_t i) const { return cells.at(i).value_or(""); }
    std::int64_t integer(std::size_t i) const;
    bool is_null(std::size_t i) const { return !cells.at(i).has_value(); }
};
using SqlRows = std::vector<SqlRow>;

class RecordsBackend {
public:
    virtual ~RecordsBackend() = default;

    // One statement; parameters are $1, $2 ... in the text. Throws StoreError.
    virtual SqlRows exec(std::string_view sql, std::initializer_list<SqlValue> params = {}) = 0;
    virtual SqlRows exec(std::string_view sql, const std::vector<SqlValue>& params) = 0;
    // Begins a transaction that may write. SQLite takes the database's write lock at once, so
    // whoever reads a sequence in it is the only one to change it.
    virtual void begin_write() = 0;
    // What a SELECT adds to lock the rows it reads until the transaction ends ("" where
    // begin_write already locks the whole database).
    virtual std::string_view row_lock() const = 0;
    // Inside a transaction: waits until no other store is creating or migrating the schema.
    virtual void lock_schema() = 0;
    // Takes a new connection after the old one was lost, trying until the deadline. Throws
    // StoreError (lost) when the database stays unreachable.
    virtual void reconnect() = 0;

    // This connection's mark of life for store_sessions.lock_key: a key others can tell is held
    // while this connection lives (PostgreSQL), or 0 where the process itself is checked
    // (SQLite). Taken again after a reconnect.
    virtual std::int64_t claim_session_key() = 0;
    // The ids of sessions in store_sessions whose process or connection is gone.
    virtual std::vector<std::string> dead_sessions() = 0;
};

// "5 s", "0.5 s": a deadline in a message.
std::string seconds_text(int ms);

// Opens the database the URI names, within `deadline_ms`. Throws StoreError naming the URI
// (without its password) and the reason.
std::unique_ptr<RecordsBackend> open_backend(const StoreUri& uri, int deadline_ms);

// Rolls back unless committed: every write of the store runs in one.
class WriteTransaction {
public:
    explicit WriteTransaction(RecordsBackend& db) : db_(db) { db_.begin_write(); }
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit();

private:
    RecordsBackend& db_;
    bool open_ = true;
};

} // namespace zz
