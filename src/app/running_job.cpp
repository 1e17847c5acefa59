#include "app/running_job.h"

#include "base/sha256.h"
#include "base/text_lines.h"
#include "job/job_file.h"
#include "job/job_image.h"

namespace zz {

std::string RunningJob::title() const {
    return released() ? job.name + "@" + std::to_string(revision)
                      : job.name + " (not released)";
}

std::optional<JobQuota> RunningJob::quota() const {
    if (!job.quantity)
        return std::nullopt;
    return JobQuota{job.name, lot, *job.quantity, released()};
}

void RunningJob::describe(ChipRecord& r) const {
    r.job = job.name;
    r.job_revision = revision;
    r.job_fingerprint = fingerprint;
    r.job_checksum = checksum;
    r.lot = lot;
    r.operator_name = operator_name;
    r.image = job.image_name;
    r.image_sha256 = sha256_hex(job.image_hex);
}

JobFile parse_released_job(const ReleasedJob& released) {
    const std::string where =
        "released job " + released.name + "@" + std::to_string(released.revision);
    JobFile file = parse_job_text(released.content, where, released.name);
    file.job.name = released.name;
    return file;
}

namespace {

JobFile job_file_of(const JobChoice& choice, RecordsStore* store, std::int64_t& revision) {
    if (names_job_file(choice.reference)) {
        if (!choice.engineer)
            throw JobError("The job file " + choice.reference +
                           " has not been released: release it (ze-zuzu-cli job release), or "
                           "rehearse it as an engineer");
        revision = 0;
        return read_job_file(choice.reference);
    }
    const JobReference ref = parse_job_reference(choice.reference);
    if (!store)
        throw JobError("The job " + choice.reference +
                       " is kept in the records database, which is not open");
    const std::optional<ReleasedJob> released = store->released_job(ref.name, ref.revision);
    if (!released)
        throw JobError("There is no released job " + choice.reference + " in " + store->uri());
    revision = released->revision;
    JobFile file = parse_released_job(*released);
    if (job_fingerprint(file.job) != released->fingerprint)
        throw JobError("The released job " + choice.reference +
                       " does not match its fingerprint in the records database");
    return file;
}

} // namespace

std::shared_ptr<const RunningJob> open_running_job(const JobChoice& choice, RecordsStore* store,
                                                   const ChipDatabase& database) {
    auto running = std::make_shared<RunningJob>();
    const JobFile file = job_file_of(choice, store, running->revision);
    Buffer buffer;
    const ChipParams chip = check_job_file(file, database, buffer);
    running->checksum = job_checksum(file.job, chip, buffer);
    running->job = file.job;
    running->fingerprint = job_fingerprint(file.job);
    running->lot = trimmed(choice.lot);
    running->operator_name = trimmed(choice.operator_name);
    if (running->job.require_lot && running->lot.empty())
        throw JobError("The job " + running->job.name + " needs a lot: give one (--lot TEXT)");
    return running;
}

} // namespace zz
