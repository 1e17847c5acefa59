// The records store's cost per chip (a number reserved, then the chip's record written) on
// SQLite and on PostgreSQL, beside the chip's own time: the least the wire at 38400 baud and the
// board need for a Program of a full 16F877A. Goal: under 0.5 % of it, also for the chips of a
// job with a quantity, whose place within it is counted in the same transaction as the number.
// PostgreSQL is measured when its environment names a server (PGHOST or PGPORT, as pg_virtualenv
// sets them), in a database "zz_records_bench" that is made afresh:
//     pg_virtualenv build/bench/bench_records_store
// Usage: bench_records_store [CHIPS]
#include "records/records_store.h"
#include "ops/chip_commands.h"
#include "program_bench.h"
#include "wire_bound.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace zz;

double chip_bound_ms() {
    bench::ProgramRig rig;
    if (!rig.start())
        return 0;
    rig.board.insert_chip(VirtualChip(rig.chip));
    rig.board.clear_trace();
    program_command(rig.ctx);
    rig.wait_ready();
    return static_cast<double>(bench::lower_bound_us(rig.chip, rig.board.trace())) / 1000.0;
}

// Wall-clock ms per chip of reserve + finish, each chip a record of its own; with `job`, each
// also takes its place within the job's quantity (far more than the chips measured).
double store_ms_per_chip(const std::string& uri, const std::filesystem::path& spool, int chips,
                         const std::string& job = {}) {
    StoreOptions options;
    options.station = "bench";
    options.spool = spool;
    auto store = RecordsStore::open(uri, options);
    ChipClaim claim;
    claim.sequence = SequenceRequest{
        job.empty() ? "BENCH" : job, "00000000", {SerialCounting::Kind::units, 4, 0x4000, true, 1}};
    if (!job.empty())
        claim.quota = JobQuota{job, "LOT-1", 1'000'000, true};
    ChipRecord chip;
    chip.job = job;
    chip.job_revision = 1;
    chip.lot = job.empty() ? "" : "LOT-1";
    chip.model = "RO-ZUZ330";
    chip.port = "/dev/ttyUSB0";
    chip.chip = "16F877A";
    chip.image = "/srv/images/product.hex";
    chip.image_sha256 = std::string(64, '0');
    chip.checksum = "0x1A2B";
    chip.result = ChipResult::passed;
    chip.elapsed_ms = 20'600;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < chips; ++n)
        store->finish(store->reserve(claim, chip), chip);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count() / chips;
}

void report(const char* name, double ms, double chip_ms) {
    std::printf("%-30s %8.3f ms per chip  (%.4f %% of the chip's %.0f ms)\n", name, ms,
                100.0 * ms / chip_ms, chip_ms);
}

// A job with as many passed chips as the plain run before it left: the count runs over them.
void report_job(const char* name, const std::string& uri, const std::filesystem::path& spool,
                int chips, double chip_ms) {
    store_ms_per_chip(uri, spool, chips, "JOB"); // chips already done
    report(name, store_ms_per_chip(uri, spool, chips, "JOB"), chip_ms);
}

void recreate_bench_database() {
    const auto admin = open_backend(parse_store_uri("postgresql://"), kStoreDeadlineMs);
    admin->exec("DROP DATABASE IF EXISTS zz_records_bench WITH (FORCE)");
    admin->exec("CREATE DATABASE zz_records_bench");
}

int measure(const std::filesystem::path& folder, int chips, double chip_ms) {
    try {
        const std::string sqlite = "sqlite:" + (folder / "bench.sqlite").string();
        report("SQLite (file, full sync)", store_ms_per_chip(sqlite, folder / "spool.sqlite", chips),
               chip_ms);
        report_job("SQLite, job with quantity", sqlite, folder / "spool.sqlite", chips, chip_ms);
        if (!std::getenv("PGHOST") && !std::getenv("PGPORT")) {
            std::puts("PostgreSQL                     not measured: no server in the environment "
                      "(run under pg_virtualenv, or set PGHOST/PGPORT...)");
            return 0;
        }
        recreate_bench_database();
        const std::string postgres = "postgresql:///zz_records_bench";
        report("PostgreSQL (local server)",
               store_ms_per_chip(postgres, folder / "spool.sqlite", chips), chip_ms);
        report_job("PostgreSQL, job with quantity", postgres, folder / "spool.sqlite", chips,
                   chip_ms);
    } catch (const StoreError& e) {
        std::printf("%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int chips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const double chip_ms = chip_bound_ms();
    if (chip_ms <= 0) {
        std::puts("board not ready");
        return 1;
    }
    std::printf("16F877A Program (all options), lower bound: %.1f ms per chip\n", chip_ms);
    std::printf("records store, reserve + finish, %d chips:\n", chips);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zz-bench-records-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const int status = measure(folder, chips, chip_ms);
    std::filesystem::remove_all(folder);
    return status;
}
