// A line of stations on one PostgreSQL database, from the command line on virtual boards: run by
// the records_postgres test inside pg_virtualenv (ZZ_TEST_POSTGRES set), which makes a throw-away
// cluster; skipped elsewhere, so no other server is ever touched. Stations run at once as
// processes of their own; one is killed, and the server restarts under another.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

constexpr const char* kDatabase = "zz_cli_test";
const std::string kDb = std::string(" --db postgresql:///") + kDatabase;
using Chips = std::vector<std::pair<std::string, std::string>>; // serial, result

class PostgresCli : public CliTest {
protected:
    void SetUp() override {
        if (!std::getenv("ZZ_TEST_POSTGRES"))
            GTEST_SKIP() << "PostgreSQL: run by the records_postgres test under pg_virtualenv";
        const RunResult made = run_shell(dir, std::string("dropdb --if-exists --force ") +
                                                  kDatabase + " && createdb " + kDatabase);
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // The command line on the test's database, numbering words 0x10-0x11 of a 16F877A from
    // `sequence` as station `station`.
    std::string station(const std::string& sequence, const std::string& station,
                        const std::string& options) {
        return cli_command(kDb +
                           " --chip 16F877A --serial rom --serial-start 10 --serial-end 11 "
                           "--sequence " +
                           sequence + " --station " + station + " " + options + " program '" +
                           (dir / "image.hex") + "'");
    }
    // What `records --json` holds of the sequence: each chip's serial and result.
    Chips on_record(const std::string& sequence) {
        const RunResult r = run_cli(dir, kDb + " --json records --sequence " + sequence);
        EXPECT_EQ(r.status, 0) << r.err;
        static const std::regex kChip(R"re("serial":"([0-9A-F]*)".*"result":"([a-z]+)")re");
        Chips chips;
        for (std::sregex_iterator m(r.out.begin(), r.out.end(), kChip), end; m != end; ++m)
            chips.emplace_back((*m)[1], (*m)[2]);
        return chips;
    }
    // Runs `station` (a command line) in the test's folder until 5 chips are on record, stops it,
    // gives the server `action` (pg_ctlcluster), lets the station go on and prints "exit=" its
    // status; a stopped server is started again. Skipped where pg_ctlcluster does not know the
    // server.
    RunResult under_server(const std::string& station, const std::string& action) {
        const RunResult r = run_shell(
            dir, "(cd '" + dir.path().string() +
                     "' || exit 1; cluster=$(pg_lsclusters --no-header | awk -v port=\"$PGPORT\" "
                     "'$3 == port {print $1, $2}'); [ -n \"$cluster\" ] || { echo no-cluster; "
                     "exit 0; }; " +
                     station + " & pid=$!; until v=$(psql -XtA -d " + kDatabase +
                     " -c \"SELECT count(*) FROM records\" 2>/dev/null); [ \"$v\" -ge 5 ] "
                     "2>/dev/null || ! kill -0 $pid 2>/dev/null; do sleep 0.01; done; "
                     "kill -STOP $pid; pg_ctlcluster $cluster " +
                     action + "; kill -CONT $pid; wait $pid; echo exit=$?; [ " + action +
                     " != stop ] || pg_ctlcluster $cluster start)");
        if (r.out == "no-cluster\n")
            [] { GTEST_SKIP() << "pg_ctlcluster does not know the server on $PGPORT"; }();
        return r;
    }
};

// Every number once, and together they are the run of numbers from the first on; with `result`,
// every chip's.
void expect_consecutive(const Chips& chips, std::size_t count, const char* result = nullptr) {
    std::set<std::string> serials;
    for (const auto& chip : chips) {
        serials.insert(chip.first);
        if (result) {
            EXPECT_EQ(chip.second, result) << chip.first;
        }
    }
    EXPECT_EQ(serials.size(), chips.size()) << "a number twice";
    EXPECT_EQ(chips.size(), count);
    std::set<std::string> expected;
    char text[16];
    for (std::size_t n = 0; n < count; ++n) {
        std::snprintf(text, sizeof text, "%08zX", n + 5);
        expected.insert(text);
    }
    EXPECT_EQ(serials, expected);
}

TEST_F(PostgresCli, ThreeStationsOfTwoBoardsEachShareOneSequence) {
    std::string script = "cd '" + dir.path().string() + "' || exit 1; ";
    for (const std::string n : {"1", "2", "3"})
        script += station("LINE", "station-" + n, "--virtual-boards 2 --count 4 --quiet") +
                  " >out" + n + " 2>&1 & p" + n + "=$!; ";
    const RunResult r =
        run_shell(dir, script + "wait $p1; a=$?; wait $p2; b=$?; wait $p3; c=$?; echo $a $b $c");
    ASSERT_EQ(r.out, "0 0 0\n") << read_text(dir / "out1") << read_text(dir / "out2");
    expect_consecutive(on_record("LINE"), 24, "passed");
    const Strings summary = lines_of(run_cli(dir, kDb + " records --summary").out);
    ASSERT_EQ(summary.size(), 6u);
    for (const std::string n : {"1", "2", "3"})
        for (const std::string board : {"1", "2"})
            EXPECT_THAT(summary,
                        ::testing::Contains(::testing::StartsWith(
                            "station-" + n + "\tVirtual board " + board + "\t4 passed\t0 failed")));
}

// Stopped while a chip holds a reserved number, then killed: the number is on record as
// abandoned once the server has seen the station go, and the next run never takes it again.
TEST_F(PostgresCli, AStationKilledMidChipLeavesAnAbandonedNumberAndNoDoubles) {
    const std::string script =
        station("KILL", "doomed", "--virtual-board --count 100000 --quiet") +
        " >/dev/null 2>&1 & pid=$!; " + "while kill -STOP $pid 2>/dev/null; do " +
        "set -- $(psql -XtA -F' ' -d " + kDatabase +
        " -c \"SELECT count(*) FILTER (WHERE result = 'reserved'), count(*) FROM records\" "
        "2>/dev/null); " +
        "[ \"$1\" = 1 ] && [ \"$2\" -ge 5 ] && break; kill -CONT $pid; sleep 0.01; done; " +
        "kill -KILL $pid; wait $pid; echo killed=$?; " +
        "until [ \"$(psql -XtA -d postgres -c \"SELECT count(*) FROM pg_stat_activity WHERE "
        "datname = '" +
        kDatabase + "'\")\" = 0 ]; do sleep 0.01; done";
    const RunResult killed = run_shell(dir, "(" + script + ")");
    ASSERT_EQ(killed.out, "killed=137\n") << killed.err;
    auto chips = on_record("KILL");
    const auto abandoned = std::count_if(chips.begin(), chips.end(),
                                         [](const auto& c) { return c.second == "abandoned"; });
    EXPECT_EQ(abandoned, 1);
    const RunResult again =
        run_shell(dir, station("KILL", "next", "--virtual-board --count 2 --quiet"));
    ASSERT_EQ(again.status, 0) << again.err;
    chips = on_record("KILL");
    expect_consecutive(chips, chips.size());
    EXPECT_EQ(chips.back().second, "passed");
}

// The server restarts while the station is stopped between statements; it carries on with new
// connections and every chip is on record once.
TEST_F(PostgresCli, AServerRestartedUnderARunningStationIsSurvived) {
    const RunResult r = under_server(
        station("RESTART", "steady", "--virtual-board --count 300 --quiet") + " >out 2>&1",
        "restart");
    if (IsSkipped())
        return;
    ASSERT_EQ(r.out, "exit=0\n") << r.err << read_text(dir / "out");
    expect_consecutive(on_record("RESTART"), 300, "passed");
}

// The server stops under a running station: the station stops after its chip with a message
// naming the database, and once the server is back every chip it programmed is on record.
TEST_F(PostgresCli, AServerLostUnderARunningStationStopsItAndLosesNoChip) {
    const RunResult r = under_server(
        station("LOST", "lossy", "--virtual-board --count 100000") + " >out 2>err", "stop");
    if (IsSkipped())
        return;
    ASSERT_EQ(r.out, "exit=1\n") << r.err;
    const std::string err = read_text(dir / "err");
    EXPECT_THAT(err, HasSubstr("postgresql:///zz_cli_test"));
    EXPECT_THAT(
        err, ::testing::AnyOf(HasSubstr("cannot be reached"), HasSubstr("No serial number taken")));
    const std::string out = read_text(dir / "out");
    static const std::regex kLine(R"(Chip [0-9]+: serial number ([0-9A-F]+))");
    std::set<std::string> programmed;
    for (std::sregex_iterator m(out.begin(), out.end(), kLine), end; m != end; ++m)
        programmed.insert((*m)[1]);
    std::set<std::string> on_file;
    for (const auto& chip : on_record("LOST"))
        on_file.insert(chip.first);
    EXPECT_GE(programmed.size(), 5u);
    EXPECT_TRUE(
        std::includes(on_file.begin(), on_file.end(), programmed.begin(), programmed.end()));
}

// A released job with a quantity, run by two stations of two boards each at once in the
// production loop: exactly the quantity passes, each chip with its own number, and the report
// says so.
TEST_F(PostgresCli, TwoStationsMakeExactlyTheJobsQuantity) {
    const std::string job = kDb + " job create line.zzjob --image image.hex --chip 16F877A "
                                  "--serial rom --serial-start 10 --serial-end 11 --sequence JOB "
                                  "--quantity 10";
    for (const std::string& step : {job, kDb + " job release line.zzjob"}) {
        const RunResult r = run_cli_in(dir, step);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    std::string script = "cd '" + dir.path().string() + "' || exit 1; ";
    for (const std::string n : {"1", "2"})
        script += cli_command(kDb + " --station station-" + n +
                              " --virtual-boards 2 --virtual-operator 200,200 --job line "
                              "--quiet auto") +
                  " >out" + n + " 2>&1 & p" + n + "=$!; ";
    const RunResult r = run_shell(dir, script + "wait $p1; a=$?; wait $p2; b=$?; echo $a $b");
    ASSERT_EQ(r.out, "0 0\n") << read_text(dir / "out1") << read_text(dir / "out2");
    expect_consecutive(on_record("JOB"), 10, "passed");
    const RunResult report = run_cli(dir, kDb + " records --report --job line");
    EXPECT_THAT(report.out, HasSubstr("10 of 10 chips passed")) << report.out;
}

} // namespace
} // namespace zz::test
