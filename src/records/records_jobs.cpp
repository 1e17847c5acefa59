// Released jobs, the counting of a job's quantity, and the values the store keeps by name.
#include "records/records_schema.h"
#include "records/records_store.h"

namespace zz {

namespace {

constexpr const char* kJobColumns =
    "name, revision, fingerprint, content, released_by, station, released_ms";

ReleasedJob job_from_row(const SqlRow& row) {
    ReleasedJob job;
    job.name = row.text(0);
    job.revision = row.integer(1);
    job.fingerprint = row.text(2);
    job.content = row.text(3);
    job.released_by = row.text(4);
    job.station = row.text(5);
    job.released_ms = row.integer(6);
    return job;
}

// Chips of released runs (revision 1 on) or of rehearsals (revision 0), as SQL over records.
std::string released_condition(bool released) {
    return released ? " AND job_revision > 0" : " AND job_revision = 0";
}

} // namespace

// Every station counting the job's chips takes the job's row first, so only one of them counts
// at a time and the last chip is taken once. The row is made by whoever comes first.
void RecordsStore::claim_quota(const JobQuota& quota) {
    db_->exec("INSERT INTO job_quotas (job, lot) VALUES ($1, $2) ON CONFLICT DO NOTHING",
              {quota.job, quota.lot});
    db_->exec("SELECT job FROM job_quotas WHERE job = $1 AND lot = $2" +
                  std::string(db_->row_lock()),
              {quota.job, quota.lot});
    const SqlRows counts = db_->exec(
        "SELECT COALESCE(SUM(CASE WHEN result = 'passed' THEN 1 ELSE 0 END), 0), COUNT(*) "
        "FROM records WHERE job = $1 AND lot = $2 AND result IN ('passed', 'reserved')" +
            released_condition(quota.released),
        {quota.job, quota.lot});
    const std::int64_t passed = counts[0].integer(0);
    if (counts[0].integer(1) < quota.quantity)
        return;
    const std::string name = "Job " + quota.job;
    if (passed >= quota.quantity)
        throw QuotaReached(name + ": all " + std::to_string(quota.quantity) + " chips are done",
                           false);
    throw QuotaReached(name + ": " + std::to_string(passed) + " of " +
                           std::to_string(quota.quantity) +
                           " chips are done and the rest are being programmed",
                       true);
}

std::pair<ReleasedJob, bool> RecordsStore::release_job(const std::string& name,
                                                       const std::string& fingerprint,
                                                       const std::string& content,
                                                       const std::string& released_by) {
    const std::lock_guard lock(mutex_);
    ReleasedJob job{name, 0, fingerprint, content, released_by, options_.station, now_ms()};
    bool made = false;
    retried([&] {
        WriteTransaction t(*db_);
        // The quota row doubles as the job's lock: two releases of one name take turns.
        db_->exec("INSERT INTO job_quotas (job, lot) VALUES ($1, '') ON CONFLICT DO NOTHING",
                  {name});
        db_->exec("SELECT job FROM job_quotas WHERE job = $1 AND lot = ''" +
                      std::string(db_->row_lock()),
                  {name});
        const SqlRows latest = db_->exec(std::string("SELECT ") + kJobColumns +
                                             " FROM jobs WHERE name = $1 ORDER BY revision DESC "
                                             "LIMIT 1",
                                         {name});
        made = latest.empty() || latest[0].text(2) != fingerprint;
        if (!made) {
            job = job_from_row(latest[0]);
            return;
        }
        job.revision = latest.empty() ? 1 : latest[0].integer(1) + 1;
        db_->exec(std::string("INSERT INTO jobs (") + kJobColumns +
                      ") VALUES ($1, $2, $3, $4, $5, $6, $7)",
                  {job.name, job.revision, job.fingerprint, job.content, job.released_by,
                   job.station, job.released_ms});
        t.commit();
    });
    return {job, made};
}

std::optional<ReleasedJob> RecordsStore::released_job(const std::string& name,
                                                      std::optional<std::int64_t> revision) {
    const std::lock_guard lock(mutex_);
    SqlRows rows;
    retried([&] {
        const std::string sql = std::string("SELECT ") + kJobColumns + " FROM jobs WHERE name = $1";
        rows = revision ? db_->exec(sql + " AND revision = $2", {name, *revision})
                        : db_->exec(sql + " ORDER BY revision DESC LIMIT 1", {name});
    });
    if (rows.empty())
        return std::nullopt;
    return job_from_row(rows[0]);
}

std::vector<ReleasedJob> RecordsStore::released_jobs() {
    const std::lock_guard lock(mutex_);
    SqlRows rows;
    retried([&] {
        rows = db_->exec(std::string("SELECT ") + kJobColumns +
                         " FROM jobs j WHERE revision = (SELECT MAX(revision) FROM jobs k "
                         "WHERE k.name = j.name) ORDER BY name");
    });
    std::vector<ReleasedJob> jobs;
    for (const SqlRow& row : rows)
        jobs.push_back(job_from_row(row));
    return jobs;
}

std::int64_t RecordsStore::job_passed(const std::string& job, const std::optional<std::string>& lot,
                                      bool released) {
    const std::lock_guard lock(mutex_);
    std::string sql = "SELECT COUNT(*) FROM records WHERE job = $1 AND result = 'passed'" +
                      released_condition(released);
    std::vector<SqlValue> params{job};
    if (lot) {
        sql += " AND lot = $2";
        params.emplace_back(*lot);
    }
    std::int64_t passed = 0;
    retried([&] { passed = db_->exec(sql, params)[0].integer(0); });
    return passed;
}

std::string RecordsStore::secret(const std::string& name) {
    const std::lock_guard lock(mutex_);
    SqlRows rows;
    retried([&] { rows = db_->exec("SELECT value FROM store_secrets WHERE name = $1", {name}); });
    return rows.empty() ? std::string() : rows[0].text(0);
}

void RecordsStore::set_secret(const std::string& name, const std::string& value) {
    const std::lock_guard lock(mutex_);
    retried([&] {
        db_->exec("INSERT INTO store_secrets (name, value, set_ms) VALUES ($1, $2, $3) "
                  "ON CONFLICT (name) DO UPDATE SET value = excluded.value, "
                  "set_ms = excluded.set_ms",
                  {name, value, now_ms()});
    });
}

} // namespace zz
