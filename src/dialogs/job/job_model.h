#pragma once
// "Open Job..." without its widgets: the released jobs of the records database, the operator and
// the lot, or a job file for an engineer's rehearsal; what OK needs, and what it hands over.
#include "records/records_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// What the list shows of a released job besides its name: read from its text by the caller, who
// knows the job file (this folder comes before the job's).
struct JobFacts {
    std::string short_fingerprint;
    std::string chip;
    std::optional<std::int64_t> quantity;
    bool require_lot = false;
};
// Throws std::exception saying why the job cannot be read.
using JobFactsReader = std::function<JobFacts(const ReleasedJob&)>;

struct JobRow {
    std::string name;
    std::int64_t revision = 0;
    JobFacts facts;
    std::int64_t done = 0; // chips passed, in every lot
    std::string error;     // why the job cannot be read; empty when it can

    std::string reference() const { return name + "@" + std::to_string(revision); }
};

// The latest revision of every released job, by name. Throws StoreError. It asks the store once
// per job: run it off the window's thread.
std::vector<JobRow> list_released_jobs(RecordsStore& store, const JobFactsReader& read);

// What OK hands over: the job to open in operator mode and who runs it.
struct JobRequest {
    std::string reference; // NAME@REV as listed, or a job file's path
    std::string lot;
    std::string operator_name;
    bool engineer = false; // a job file: an engineer's rehearsal
};

class JobModel {
public:
    static constexpr int kColumnCount = 4;
    static constexpr const char* kJobFileSuffix = ".zzjob";

    // `where`: the records database's URI, or why it is not open when `store_open` is false.
    JobModel(bool store_open, std::string where);

    // The list as read (off the window's thread), or why it could not be.
    void listed(std::vector<JobRow> rows);
    void list_failed(const std::string& why);
    bool store_open() const { return store_open_; }
    int row_count() const { return static_cast<int>(rows_.size()); }
    static std::string header(int column);
    std::string cell(int row, int column) const;
    // The line under the list: reading, how many, none, or why none.
    const std::string& status() const { return status_; }

    // The person's choices. Choosing a row drops a chosen file and the other way round.
    void choose_row(int row);
    int chosen_row() const { return chosen_; }
    // A job file, once the engineer's password has let it through; false (and message()) when
    // its name is not a job file's.
    bool choose_file(const std::string& path);
    const std::string& job_file() const { return file_; }
    std::string operator_name;
    std::string lot;

    // OK: the request, or nullopt and message() says what is missing.
    std::optional<JobRequest> accept();
    const std::string& message() const { return message_; }

private:
    std::optional<JobRequest> refuse(std::string why);

    bool store_open_;
    std::string where_;
    std::vector<JobRow> rows_;
    std::string status_;
    int chosen_ = -1;
    std::string file_;
    std::string message_;
};

} // namespace zz
