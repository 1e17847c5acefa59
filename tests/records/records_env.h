#pragma once
// The two databases the store contract runs on, what a StoreError says, and a database
// connection that goes away on command.
#include "records/records_store.h"
#include "device/temp_folder.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace zz::testing {

enum class Db { sqlite, postgres };

// Where one test's store lives: a SQLite file in a fresh folder, or a fresh database on the
// PostgreSQL server that pg_virtualenv started (the records_postgres test sets
// ZZ_TEST_POSTGRES, so that no other server is ever touched).
class StoreEnv {
public:
    static constexpr const char* kDatabase = "zz_records_test";
    static constexpr const char* kSkipped =
        "PostgreSQL: run by the records_postgres test under pg_virtualenv";

    explicit StoreEnv(Db db = Db::sqlite) : db_(db) {
        if (db_ == Db::postgres && available())
            recreate_database();
    }
    // False: the test is skipped, with kSkipped.
    bool available() const { return db_ == Db::sqlite || std::getenv("ZZ_TEST_POSTGRES"); }
    std::string uri() const {
        if (db_ == Db::postgres)
            return std::string("postgresql:///") + kDatabase;
        return "sqlite:" + (folder.path() / "line.sqlite").string();
    }

    // Without `now`, each record a millisecond after the one before: records of one
    // millisecond would be listed in the order of their random ids.
    StoreOptions options(std::string station = "station-1",
                         std::function<std::int64_t()> now = {}) const {
        StoreOptions o;
        o.station = std::move(station);
        o.spool = folder.path() / "spool.sqlite";
        o.now = std::move(now);
        if (!o.now)
            o.now = [clock = clock_] { return clock->fetch_add(1); };
        return o;
    }
    std::unique_ptr<RecordsStore> open(std::string station = "station-1",
                                       std::function<std::int64_t()> now = {}) const {
        return RecordsStore::open(uri(), options(std::move(station), std::move(now)));
    }

    TempFolder folder;

private:
    static void recreate_database() {
        const auto admin = open_backend(parse_store_uri("postgresql://"), kStoreDeadlineMs);
        admin->exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase + " WITH (FORCE)");
        admin->exec(std::string("CREATE DATABASE ") + kDatabase);
    }

    Db db_;
    std::shared_ptr<std::atomic<std::int64_t>> clock_ = std::make_shared<std::atomic<std::int64_t>>(
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch())
            .count());
};

// Matches a call that throws a StoreError whose text and lost() match.
inline auto throws_store_error(::testing::Matcher<const char*> what,
                               ::testing::Matcher<bool> lost = ::testing::_) {
    return ::testing::Throws<StoreError>(
        ::testing::AllOf(::testing::Property("what", &std::runtime_error::what, std::move(what)),
                         ::testing::Property("lost", &StoreError::lost, lost)));
}

// A database that is lost on command. While `down`, every statement and reconnect fails as
// with a server that has gone away, and the connection stays broken until a reconnect after it
// is back. `lose_commit_answer`: the next COMMIT happens, but its answer is lost with the
// connection.
class FlakyBackend : public RecordsBackend {
public:
    explicit FlakyBackend(std::unique_ptr<RecordsBackend> real) : real_(std::move(real)) {}

    bool down = false;
    bool lose_commit_answer = false;
    int reconnects = 0;

    SqlRows exec(std::string_view sql, std::initializer_list<SqlValue> params = {}) override {
        return exec(sql, std::vector<SqlValue>(params));
    }
    SqlRows exec(std::string_view sql, const std::vector<SqlValue>& params) override {
        check();
        SqlRows rows = real_->exec(sql, params);
        if (sql == "COMMIT" && lose_commit_answer) {
            lose_commit_answer = false;
            broken_ = true;
            throw StoreError("answer lost", true);
        }
        return rows;
    }
    void begin_write() override {
        check();
        real_->begin_write();
    }
    std::string_view row_lock() const override { return real_->row_lock(); }
    void lock_schema() override { real_->lock_schema(); }
    void reconnect() override {
        ++reconnects;
        if (down)
            throw StoreError("still gone", true);
        real_->reconnect();
        broken_ = false;
    }
    std::int64_t claim_session_key() override { return real_->claim_session_key(); }
    std::vector<std::string> dead_sessions() override { return real_->dead_sessions(); }

private:
    void check() {
        broken_ = broken_ || down;
        if (broken_)
            throw StoreError("server gone", true);
    }

    std::unique_ptr<RecordsBackend> real_;
    bool broken_ = false;
};

} // namespace zz::testing
