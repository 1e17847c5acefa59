#pragma once
// The job a station runs: released into the records store (or, for an engineer's rehearsal, a
// job file that has not been), with this run's lot and operator.
#include "device/chip_database.h"
#include "job/job.h"
#include "job/job_file.h"
#include "records/chip_record.h"
#include "records/records_store.h"

#include <memory>
#include <string>

namespace zz {

struct RunningJob {
    Job job;
    std::int64_t revision = 0; // 0: a job file that has not been released
    std::string fingerprint;
    std::string checksum; // the job checksum, "0x1A2B"
    std::string lot;
    std::string operator_name;

    bool released() const { return revision > 0; }
    // "line@3", or "line (not released)" for a rehearsed file.
    std::string title() const;
    // The job's place within its quantity, when it has one.
    std::optional<JobQuota> quota() const;
    // The job's part of a chip's record.
    void describe(ChipRecord& record) const;
};

// Where a job comes from and who runs it.
struct JobChoice {
    std::string reference; // NAME, NAME@REV, or a job file's path
    std::string lot;
    std::string operator_name;
    bool engineer = false; // a job file that has not been released may run (a rehearsal)
};

// Opens the job: a released one from `store` by name, or a file when the choice names one and
// it is an engineer's. Checks it against the chip database, and that a lot is given when the
// job requires one. Throws JobError naming the job, or the file and line at fault.
std::shared_ptr<const RunningJob> open_running_job(const JobChoice& choice, RecordsStore* store,
                                                   const ChipDatabase& database);

// A released job read back from the store's text. Throws JobError.
JobFile parse_released_job(const ReleasedJob& released);

} // namespace zz
