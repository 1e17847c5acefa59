#include "records/records_postgres.h"

#include "base/text_lines.h"

#include <chrono>
#include <libpq-fe.h>
#include <poll.h>
#include <random>
#include <thread>

namespace zz {

namespace {

// The first of the two keys of every advisory lock the store takes (an arbitrary constant, so
// the store's locks are told from other programs'); the second is 0 for the schema lock and a
// session's own key otherwise.
constexpr std::int64_t kLockClass = 0x5A5A0025;
// Between two connection attempts after a loss (ms).
constexpr int kReconnectPauseMs = 250;

std::int64_t steady_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Waits until the socket is ready for `events` or the deadline passes.
bool wait_socket(int socket, short events, std::int64_t deadline) {
    while (true) {
        const std::int64_t left = deadline - steady_ms();
        if (left <= 0)
            return false;
        pollfd p{socket, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n > 0)
            return true;
        if (n == 0)
            return false;
    }
}

std::string param_text(const SqlValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return std::to_string(*number);
    return std::get<std::string>(value);
}

} // namespace

PostgresBackend::PostgresBackend(const StoreUri& uri, int deadline_ms)
    : conninfo_(uri.conninfo), shown_(uri.shown), deadline_ms_(deadline_ms) {
    connect(deadline_ms_);
}

PostgresBackend::~PostgresBackend() {
    drop();
}

void PostgresBackend::drop() {
    PQfinish(conn_);
    conn_ = nullptr;
}

void PostgresBackend::lost(const std::string& reason) {
    drop();
    throw StoreError("The records database " + shown_ + " was lost: " + reason, true);
}

// libpq's non-blocking connect, polled until the deadline: its own connect_timeout counts
// whole seconds per address tried, so "localhost" with two addresses could take twice as long.
void PostgresBackend::connect(int budget_ms) {
    drop();
    const char* keys[] = {"dbname", "fallback_application_name", nullptr};
    const char* values[] = {conninfo_.c_str(), "ze-zuzu", nullptr};
    conn_ = PQconnectStartParams(keys, values, 1);
    const std::int64_t deadline = steady_ms() + budget_ms;
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (conn_ && PQstatus(conn_) != CONNECTION_BAD && state != PGRES_POLLING_OK &&
           state != PGRES_POLLING_FAILED) {
        if (!wait_socket(PQsocket(conn_), state == PGRES_POLLING_READING ? POLLIN : POLLOUT,
                         deadline)) {
            drop();
            throw StoreError("Cannot open the records database " + shown_ + ": no answer within " +
                                 seconds_text(budget_ms),
                             true);
        }
        state = PQconnectPoll(conn_);
    }
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        const std::string reason = conn_ ? one_line(PQerrorMessage(conn_)) : "out of memory";
        drop();
        throw StoreError("Cannot open the records database " + shown_ + ": " + reason, true);
    }
    // The server's notices ("relation ... already exists, skipping") are not for the person.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

void PostgresBackend::reconnect() {
    const std::int64_t deadline = steady_ms() + deadline_ms_;
    while (true) {
        try {
            connect(static_cast<int>(std::max<std::int64_t>(1, deadline - steady_ms())));
            return;
        } catch (const StoreError& e) {
            if (steady_ms() + kReconnectPauseMs >= deadline)
                throw StoreError("The records database " + shown_ + " was lost: " + e.what(), true);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kReconnectPauseMs));
    }
}

SqlRows PostgresBackend::exec(std::string_view sql, std::initializer_list<SqlValue> params) {
    return run(sql, params.begin(), params.size());
}

SqlRows PostgresBackend::exec(std::string_view sql, const std::vector<SqlValue>& params) {
    return run(sql, params.data(), params.size());
}

void PostgresBackend::wait_for_answer(std::int64_t deadline) {
    while (PQisBusy(conn_)) {
        if (!wait_socket(PQsocket(conn_), POLLIN, deadline))
            lost("no answer within " + seconds_text(deadline_ms_));
        if (!PQconsumeInput(conn_))
            lost(one_line(PQerrorMessage(conn_)));
    }
}

SqlRows PostgresBackend::run(std::string_view sql, const SqlValue* params, std::size_t count) {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
        lost("not connected");
    std::vector<std::string> texts;
    std::vector<const char*> values;
    texts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool null = std::holds_alternative<std::nullptr_t>(params[i]);
        texts.push_back(null ? std::string() : param_text(params[i]));
        values.push_back(null ? nullptr : texts.back().c_str());
    }
    const std::string text(sql);
    if (!PQsendQueryParams(conn_, text.c_str(), static_cast<int>(count), nullptr, values.data(),
                           nullptr, nullptr, 0))
        lost(one_line(PQerrorMessage(conn_)));
    const std::int64_t deadline = steady_ms() + deadline_ms_;
    SqlRows rows;
    std::string error;
    while (true) {
        wait_for_answer(deadline);
        PGresult* result = PQgetResult(conn_);
        if (!result)
            break;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK) {
            for (int r = 0; r < PQntuples(result); ++r) {
                SqlRow row;
                for (int c = 0; c < PQnfields(result); ++c)
                    row.cells.push_back(PQgetisnull(result, r, c)
                                            ? std::nullopt
                                            : std::optional<std::string>(PQgetvalue(result, r, c)));
                rows.push_back(std::move(row));
            }
        } else if (status != PGRES_COMMAND_OK && error.empty()) {
            error = one_line(PQresultErrorMessage(result));
        }
        PQclear(result);
    }
    if (PQstatus(conn_) != CONNECTION_OK)
        lost(error.empty() ? one_line(PQerrorMessage(conn_)) : error);
    if (!error.empty())
        throw StoreError("Error in the records database " + shown_ + ": " + error);
    return rows;
}

void PostgresBackend::lock_schema() {
    exec("SELECT pg_advisory_xact_lock($1, 0)", {kLockClass});
}

// A random key that no other live session holds: the lock is taken only if free.
std::int64_t PostgresBackend::claim_session_key() {
    std::random_device random;
    std::uniform_int_distribution<std::int64_t> pick(1, 0x7FFFFFFF);
    while (true) {
        const std::int64_t key = pick(random);
        const SqlRows taken = exec("SELECT pg_try_advisory_lock($1, $2)", {kLockClass, key});
        if (!taken.empty() && taken[0].text(0) == "t")
            return key;
    }
}

// A session's key shows in pg_locks while its connection lives (a two-key advisory lock: the
// first key as classid, the second as objid, objsubid 2).
std::vector<std::string> PostgresBackend::dead_sessions() {
    std::vector<std::string> dead;
    for (const SqlRow& row :
         exec("SELECT s.id FROM store_sessions s WHERE NOT EXISTS (SELECT 1 FROM pg_locks l "
              "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 2 "
              "AND l.classid::bigint = $1 AND l.objid::bigint = s.lock_key "
              "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()))",
              {kLockClass}))
        dead.push_back(row.text(0));
    return dead;
}

} // namespace zz
