// The records store's contract, run on SQLite here and on a real PostgreSQL server by the
// records_postgres test (pg_virtualenv): sequences, reservations across processes, processes
// that die, the schema's versions, the summaries, and records kept while the database is away.
#include "records/records_schema.h"
#include "records_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zz {
namespace {

using ::testing::HasSubstr;
using testing::throws_store_error;

// A 14-bit chip's program-memory number of two words, Hex, step 1.
SerialCounting words() {
    return SerialCounting{SerialCounting::Kind::units, 4, 0x4000, true, 1};
}

SequenceRequest line(std::string first = "00000009") {
    return SequenceRequest{"LINE", std::move(first), words()};
}

ChipRecord chip_on(std::string port, ChipResult result = ChipResult::passed) {
    ChipRecord r;
    r.model = "RO-ZUZ330";
    r.port = std::move(port);
    r.firmware = "3.30";
    r.chip = "16F877A";
    r.device_id = "0E20";
    r.image = "/work/image.hex";
    r.image_sha256 = std::string(64, 'a');
    r.checksum = "0x1A2B";
    r.result = result;
    r.elapsed_ms = 1500;
    return r;
}

class StoreContract : public ::testing::TestWithParam<testing::Db> {
protected:
    void SetUp() override {
        if (!env.available())
            GTEST_SKIP() << testing::StoreEnv::kSkipped;
    }
    testing::StoreEnv env{GetParam()};
};

// Runs `child` in a process of its own; it exits with child()'s status.
pid_t fork_child(const std::function<int()>& child) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(child());
    return pid;
}

TEST_P(StoreContract, CounterContinuesFromAnyStationAndKeepsEveryOutcome) {
    auto first = env.open("station-1");
    std::vector<std::string> values;
    for (ChipResult result : {ChipResult::passed, ChipResult::failed, ChipResult::abandoned}) {
        const Reservation r = first->reserve(line(), chip_on("/dev/ttyUSB0"));
        values.push_back(r.value);
        ChipRecord done = chip_on("/dev/ttyUSB0", result);
        done.message = result == ChipResult::failed ? "Verify failed at address 0x0010" : "";
        EXPECT_EQ(first->finish(r, done), Saved::stored);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"00000009", "0000000A", "0000000B"}));
    // Another station continues the sequence; the number it was created from no longer counts.
    auto second = env.open("station-2");
    EXPECT_EQ(second->reserve(line("00001000"), chip_on("/dev/ttyACM0")).value, "0000000C");

    const std::optional<SequenceState> state = second->sequence_state("LINE");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->next_value, "0000000D");
    EXPECT_EQ(std::vector<std::int64_t>(
                  {state->passed, state->failed, state->abandoned, state->reserved, state->used()}),
              std::vector<std::int64_t>({1, 1, 1, 1, 4}));
    EXPECT_FALSE(state->left);
    EXPECT_FALSE(second->sequence_state("OTHER"));

    const std::vector<ChipRecord> all = second->records({});
    ASSERT_EQ(all.size(), 4u);
    const ChipRecord& r = all[1];
    EXPECT_EQ(std::tie(r.station, r.serial, r.sequence, r.result, r.message, r.image_sha256),
              std::tuple("station-1", "0000000A", "LINE", ChipResult::failed,
                         "Verify failed at address 0x0010", std::string(64, 'a')));
    EXPECT_EQ(std::tie(all[3].result, all[3].station),
              std::tuple(ChipResult::reserved, "station-2"));
}

TEST_P(StoreContract, FiltersPickRecordsBySerialSequenceStationTimeAndCount) {
    std::int64_t clock = 1'000'000;
    auto a = env.open("A", [&] { return clock; });
    for (int n = 0; n < 3; ++n, clock += 1000)
        a->finish(a->reserve(line(), chip_on("p")), chip_on("p"));
    a->add(chip_on("p")); // no sequence, no number
    clock += 1000;
    auto b = env.open("B", [&] { return clock; });
    b->finish(b->reserve(line(), chip_on("q")), chip_on("q"));

    struct Case {
        RecordFilter filter;
        std::vector<std::string> serials;
    };
    const Case cases[] = {
        {{}, {"00000009", "0000000A", "0000000B", "", "0000000C"}},
        {{.serial = "0000000a"}, {"0000000A"}},
        {{.sequence = "LINE", .station = "A"}, {"00000009", "0000000A", "0000000B"}},
        {{.station = "B"}, {"0000000C"}},
        {{.since_ms = 1'002'000}, {"0000000B", "", "0000000C"}},
        {{.last = 2}, {"", "0000000C"}},
        {{.serial = "FFFF"}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> serials;
        for (const ChipRecord& r : b->records(c.filter))
            serials.push_back(r.serial);
        EXPECT_EQ(serials, c.serials) << c.filter.serial << c.filter.station;
    }
}

// A list hands out each of its values once, in order; refusals take no number.
TEST_P(StoreContract, ListHandsOutEachValueOnceAndRefusalsNameTheSequence) {
    auto store = env.open();
    const SequenceRequest mac{"MAC", "", {}}, odd{"ODD", "123", words()};
    store->create_list_sequence("MAC", parse_sequence_values("00:1a:2b:3c:4d:5e\n# spare\n"
                                                             "001A2B3C4D5F\n\n001A2B3C4D60\n"));
    std::vector<std::string> values;
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(store->sequence_state("MAC")->left, 3 - n);
        values.push_back(store->reserve(mac, chip_on("p")).value);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"001A2B3C4D5E", "001A2B3C4D5F", "001A2B3C4D60"}));
    // One Hex byte that steps by 128 comes round to its first value on the third chip.
    const SequenceRequest round{"ROUND", "00", {SerialCounting::Kind::units, 2, 0x100, true, 128}};
    store->reserve(round, chip_on("p"));
    store->reserve(round, chip_on("p"));
    SequenceRequest dec = line();
    dec.counting.hex = false;
    dec.counting.modulus = 4000;
    SequenceRequest id_in_dec{"ID", "0x00000001", {SerialCounting::Kind::none, 0, 0, true, 1}};
    store->reserve(line(), chip_on("p"));

    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { store->reserve(mac, chip_on("p")); }, "The sequence \"MAC\" has no values left"},
        {[&] { store->reserve(round, chip_on("p")); },
         "The sequence \"ROUND\" has come round to 00, which a chip on record already has"},
        {[&] { store->reserve(dec, chip_on("p")); },
         "The sequence \"LINE\" counts in Hex units of 4 digits, step 1; these serial settings "
         "count in Dec units of 4 digits, step 1"},
        {[&] { store->reserve(line("0009"), chip_on("p")); },
         "The sequence \"LINE\" holds numbers of 8 digits; these serial settings place 4"},
        {[&] { store->reserve(id_in_dec, chip_on("p")); }, "cannot count in the user ID"},
        {[&] { store->reserve(odd, chip_on("p")); }, "not made of units of 4 digits"},
        {[&] { store->create_list_sequence("LINE", {"01"}); }, "\"LINE\" exists already"},
        {[&] { store->create_list_sequence("EMPTY", {}); }, "needs at least one value"},
    };
    for (const auto& [refused, message] : cases)
        EXPECT_THAT(refused, throws_store_error(HasSubstr(message), false));
    const SequenceState list = *store->sequence_state("MAC");
    EXPECT_EQ(std::tie(list.kind, list.left, list.next_value, list.reserved),
              std::tuple(SequenceKind::list, 0, "", 3));
    EXPECT_EQ(store->sequence_state("ROUND")->used(), 2);
    EXPECT_EQ(store->sequence_state("LINE")->next_value, "0000000A");
    EXPECT_FALSE(store->sequence_state("ODD"));
}

TEST_P(StoreContract, SchemaIsCreatedAndAnOlderOneMigratedWithItsRecords) {
    {
        const auto db = open_backend(parse_store_uri(env.uri()), kStoreDeadlineMs);
        migrate_records_schema(*db, 1);
        // Two records of one ms: the migration numbers them in the order their ids give.
        for (const char* serial : {"0042", "0041"}) {
            ChipRecord old = chip_on("p");
            old.id = std::string("old-") + serial;
            old.serial = serial;
            // Version 1's columns: the first 17 of today's.
            std::vector<SqlValue> values = record_values(old);
            values.resize(17);
            db->exec("INSERT INTO records (id, time_ms, utc_offset_min, station, model, port, "
                     "firmware, chip, device_id, image, image_sha256, checksum, serial, "
                     "sequence, result, message, elapsed_ms) VALUES ($1, $2, $3, $4, $5, $6, $7, "
                     "$8, $9, $10, $11, $12, $13, $14, $15, $16, $17)",
                     values);
        }
    }
    auto store = env.open();
    const std::vector<ChipRecord> migrated = store->records({});
    ASSERT_EQ(migrated.size(), 2u);
    EXPECT_EQ(migrated[0].serial, "0041");
    EXPECT_EQ(store->records({.serial = "0042"}).size(), 1u);
    store.reset();
    const auto db = open_backend(parse_store_uri(env.uri()), kStoreDeadlineMs);
    EXPECT_EQ(db->exec("SELECT version FROM schema_version")[0].integer(0),
              records_schema_version());
    db->exec("UPDATE schema_version SET version = 99");
    EXPECT_THAT([&] { env.open(); },
                throws_store_error(HasSubstr("has schema version 99; this program knows versions "
                                             "up to " +
                                             std::to_string(records_schema_version()))));
}

// Three processes with two boards (threads) each, on one sequence.
TEST_P(StoreContract, ProcessesAtOnceGetDistinctConsecutiveNumbers) {
    constexpr int kProcesses = 3, kBoards = 2, kChips = 4;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p)
        children.push_back(fork_child([&, p] {
            try {
                auto store = env.open("station-" + std::to_string(p));
                std::vector<std::thread> boards;
                for (int b = 0; b < kBoards; ++b)
                    boards.emplace_back([&, b] {
                        const std::string port = "board-" + std::to_string(b);
                        for (int n = 0; n < kChips; ++n)
                            store->finish(store->reserve(line(), chip_on(port)), chip_on(port));
                    });
                for (std::thread& t : boards)
                    t.join();
                return 0;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 1;
            }
        }));
    for (pid_t child : children) {
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(status, 0); // exited, with 0
    }
    std::multiset<std::string> expected; // each once
    std::string value = "00000009";
    for (int n = 0; n < kProcesses * kBoards * kChips;
         ++n, value = next_serial_text(value, words()))
        expected.insert(value);
    std::multiset<std::string> got;
    for (const ChipRecord& r : env.open()->records({.sequence = "LINE"})) {
        got.insert(r.serial);
        EXPECT_EQ(r.result, ChipResult::passed);
    }
    EXPECT_EQ(got, expected);
}

TEST_P(StoreContract, KilledStationLeavesAnAbandonedReservationAndNoNumberTwice) {
    const pid_t child = fork_child([&] {
        auto store = env.open("doomed");
        store->reserve(line(), chip_on("p"));
        ::raise(SIGSTOP); // killed while its chip is being programmed
        return 0;
    });
    ::waitpid(child, nullptr, WUNTRACED);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    auto store = env.open();
    // The server notices a dead client's connection within moments, not at once.
    std::optional<SequenceState> state;
    for (int tries = 0; tries < 500; ++tries) {
        state = store->sequence_state("LINE");
        if (state->abandoned == 1)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(state->abandoned, 1);
    EXPECT_EQ(state->reserved, 0);
    const ChipRecord doomed = store->records({.station = "doomed"}).at(0);
    EXPECT_EQ(std::tie(doomed.serial, doomed.result),
              std::tuple("00000009", ChipResult::abandoned));
    EXPECT_EQ(store->reserve(line(), chip_on("p")).value, "0000000A");
}

TEST_P(StoreContract, SummaryPerStationAndPortAndTheHoursOfADay) {
    const std::int64_t day = 1'700'000'000'000;
    std::int64_t clock = day;
    auto store = env.open("A", [&] { return clock; });
    // Port p: a chip at 00:00:01.5 and 00:30, passed; 01:10 failed. Port q: one abandoned.
    for (const auto& [at, result] : {std::pair{1500, ChipResult::passed},
                                     {1'800'000, ChipResult::passed},
                                     {4'200'000, ChipResult::failed}}) {
        clock = day + at;
        store->add(chip_on("p", result));
    }
    store->finish(store->reserve(line(), chip_on("q")), chip_on("q", ChipResult::abandoned));
    clock = day + 25 * 3'600'000; // the next day
    store->add(chip_on("p", ChipResult::failed));

    const std::vector<PortSummary> summary = store->summary({.since_ms = day});
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[0].port, "p");
    EXPECT_EQ(summary[0].passed, 2);
    EXPECT_EQ(summary[0].failed, 2);
    EXPECT_DOUBLE_EQ(summary[0].yield(), 0.5);
    // Four chips from 00:00:00 (the first began 1.5 s before it ended) to 25:00.
    EXPECT_DOUBLE_EQ(summary[0].chips_per_hour(), 4.0 / 25.0);
    EXPECT_EQ(summary[1].abandoned, 1);
    EXPECT_EQ(summary[1].yield(), 0.0);

    const std::array<HourCount, 24> hours = store->hourly(day);
    EXPECT_EQ(hours[0].passed, 2);
    EXPECT_EQ(hours[1].failed, 1);
    std::int64_t total = 0;
    for (const HourCount& h : hours)
        total += h.passed + h.failed;
    EXPECT_EQ(total, 3); // the abandoned chip and the next day's are not in the bars
}

// The database goes away while chips are being programmed, and comes back.
TEST_P(StoreContract, RecordsWaitInTheSpoolAndAreHandedOverOnce) {
    auto* db =
        new testing::FlakyBackend(open_backend(parse_store_uri(env.uri()), kStoreDeadlineMs));
    RecordsStore store(std::unique_ptr<RecordsBackend>(db), env.uri(), env.options());

    // A commit whose answer was lost: the retry finds it done, and no number is skipped.
    db->lose_commit_answer = true;
    const Reservation first = store.reserve(line(), chip_on("p"));
    EXPECT_EQ(first.value, "00000009");
    EXPECT_EQ(db->reconnects, 1);

    db->down = true;
    EXPECT_EQ(store.finish(first, chip_on("p")), Saved::spooled);
    EXPECT_TRUE(store.lost());
    EXPECT_EQ(store.add(chip_on("p", ChipResult::failed)), Saved::spooled);
    // No number is taken from a lost database.
    EXPECT_THAT([&] { store.reserve(line(), chip_on("p")); },
                throws_store_error(::testing::_, true));

    // While the loss is fresh, nothing waits for the database again.
    EXPECT_THAT([&] { store.records({}); }, throws_store_error(::testing::_, true));
    EXPECT_EQ(db->reconnects, 2);
    db->down = false;
    // Won back, the spool is handed over.
    EXPECT_EQ(store.hand_over(), 2u);
    const std::vector<ChipRecord> records = store.records({});
    EXPECT_FALSE(store.lost());
    EXPECT_EQ(env.open()->records({}), records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].serial, "00000009");
    EXPECT_EQ(records[0].result, ChipResult::passed);
    EXPECT_EQ(records[1].result, ChipResult::failed);
    EXPECT_EQ(store.reserve(line(), chip_on("p")).value, "0000000A");
}

// "VERSION NAME" of the cluster on $PGPORT (the one pg_virtualenv made); empty when there is
// none that pg_ctlcluster knows.
std::string cluster_on_port() {
    char found[160] = "";
    if (FILE* list = ::popen("pg_lsclusters --no-header 2>/dev/null | awk -v port=\"$PGPORT\" "
                             "'$3 == port { printf \"%s %s\", $1, $2 }'",
                             "r")) {
        (void)!std::fgets(found, sizeof found, list);
        ::pclose(list);
    }
    return found;
}

void cluster(const std::string& which, const char* action) {
    ASSERT_EQ(std::system(("pg_ctlcluster " + which + " " + action).c_str()), 0) << action;
}

// The server ends the station's connection, restarts, and stops for a while.
TEST(PostgresServer, LostConnectionsAreWonBackAndAStoppedServerSpools) {
    testing::StoreEnv env(testing::Db::postgres);
    if (!env.available())
        GTEST_SKIP() << testing::StoreEnv::kSkipped;
    StoreOptions options = env.options();
    options.deadline_ms = 1000;
    auto store = RecordsStore::open(env.uri(), options);

    Reservation r = store->reserve(line(), chip_on("p"));
    open_backend(parse_store_uri("postgresql://"), kStoreDeadlineMs)
        ->exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = $1",
               {std::string(testing::StoreEnv::kDatabase)});
    EXPECT_EQ(store->finish(r, chip_on("p")), Saved::stored);

    const std::string which = cluster_on_port();
    if (which.empty())
        GTEST_SKIP() << "pg_ctlcluster does not know the server on $PGPORT";
    r = store->reserve(line(), chip_on("p"));
    cluster(which, "restart");
    EXPECT_EQ(store->finish(r, chip_on("p")), Saved::stored);

    r = store->reserve(line(), chip_on("p"));
    cluster(which, "stop");
    EXPECT_EQ(store->finish(r, chip_on("p")), Saved::spooled);
    EXPECT_TRUE(store->lost());
    cluster(which, "start");
    EXPECT_EQ(store->hand_over(), 1u);
    const std::vector<ChipRecord> records = store->records({});
    EXPECT_FALSE(store->lost());
    ASSERT_EQ(records.size(), 3u);
    for (const ChipRecord& record : records)
        EXPECT_EQ(record.result, ChipResult::passed) << record.serial;
    EXPECT_EQ(records[2].serial, "0000000B");
}

INSTANTIATE_TEST_SUITE_P(Sqlite, StoreContract, ::testing::Values(testing::Db::sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, StoreContract, ::testing::Values(testing::Db::postgres));

} // namespace
} // namespace zz
