#include "dialogs/job/job_model.h"

#include "base/text_lines.h"

#include <array>
#include <exception>

namespace zz {

std::vector<JobRow> list_released_jobs(RecordsStore& store, const JobFactsReader& read) {
    std::vector<JobRow> rows;
    for (const ReleasedJob& released : store.released_jobs()) {
        JobRow row;
        row.name = released.name;
        row.revision = released.revision;
        try {
            row.facts = read(released);
        } catch (const std::exception& e) {
            row.error = e.what();
        }
        row.done = store.job_passed(released.name, std::nullopt);
        rows.push_back(std::move(row));
    }
    return rows;
}

JobModel::JobModel(bool store_open, std::string where)
    : store_open_(store_open), where_(std::move(where)) {
    status_ = store_open_ ? "Reading the released jobs of " + where_ + "..."
                          : "No released job can be listed: " + where_;
}

void JobModel::listed(std::vector<JobRow> rows) {
    rows_ = std::move(rows);
    chosen_ = -1;
    const std::size_t n = rows_.size();
    if (n == 0)
        status_ = "No job is released in " + where_ + ": release one with ze-zuzu-cli job release.";
    else
        status_ = std::to_string(n) + (n == 1 ? " released job in " : " released jobs in ") +
                  where_ + "; done counts every lot.";
}

void JobModel::list_failed(const std::string& why) {
    rows_.clear();
    chosen_ = -1;
    status_ = "The released jobs cannot be read: " + why;
}

std::string JobModel::header(int column) {
    static constexpr std::array<const char*, kColumnCount> kHeaders{"Job", "Fingerprint", "Chip",
                                                                    "Done"};
    return kHeaders.at(static_cast<std::size_t>(column));
}

std::string JobModel::cell(int row, int column) const {
    const JobRow& r = rows_.at(static_cast<std::size_t>(row));
    switch (column) {
    case 0:
        return r.reference();
    case 1:
        return r.facts.short_fingerprint;
    case 2:
        return r.error.empty() ? r.facts.chip : "cannot be read";
    default:
        return r.facts.quantity ? std::to_string(r.done) + "/" + std::to_string(*r.facts.quantity)
                                : std::to_string(r.done);
    }
}

void JobModel::choose_row(int row) {
    chosen_ = row >= 0 && row < row_count() ? row : -1;
    if (chosen_ >= 0)
        file_.clear();
}

bool JobModel::choose_file(const std::string& path) {
    if (!path.ends_with(kJobFileSuffix)) {
        message_ = "A job file's name ends in " + std::string(kJobFileSuffix) + ": " + path;
        return false;
    }
    file_ = path;
    chosen_ = -1;
    return true;
}

std::optional<JobRequest> JobModel::refuse(std::string why) {
    message_ = std::move(why);
    return std::nullopt;
}

std::optional<JobRequest> JobModel::accept() {
    JobRequest request{{}, trimmed(lot), trimmed(operator_name), !file_.empty()};
    if (chosen_ < 0 && file_.empty())
        return refuse("Choose a released job, or a job file with \"Job File...\".");
    if (request.operator_name.empty())
        return refuse("Give the operator's name: every chip's record names who programmed it.");
    if (!file_.empty()) {
        request.reference = file_;
        return request;
    }
    const JobRow& row = rows_.at(static_cast<std::size_t>(chosen_));
    request.reference = row.reference();
    if (!row.error.empty())
        return refuse("The job " + request.reference + " cannot be read: " + row.error);
    if (row.facts.require_lot && request.lot.empty())
        return refuse("The job " + request.reference + " needs a lot: give one.");
    return request;
}

} // namespace zz
