// The station view running a released job: every board runs it as it stands, and the window
// shows the job and the chips done of its quantity, counted in the records store.
#include "gui/job_shown.h"
#include "gui/off_thread.h"
#include "gui/station_window.h"

#include <QAction>

namespace zz {

void StationWindow::use_job(std::shared_ptr<const RunningJob> job) {
    job_ = std::move(job);
    const Job& j = job_->job;
    AppSettings& s = setup_.start.settings;
    s.prog_type = j.model;
    s.chip_mode = j.family;
    s.chip_type = j.chip;
    s.filename.clear(); // the image is the job's
    StationPlan& plan = setup_.start.plan;
    plan.job = job_;
    plan.numbered = j.serial.enabled;
    plan.serial = j.serial.settings;
    plan.sequence = j.serial.sequence;
    findChild<QAction*>(QStringLiteral("N5"))->setEnabled(false);
    const JobShown shown = job_shown(*job_);
    setWindowTitle(QString::fromStdString(
        job_caption(windowTitle().toStdString() + "  job " + shown.title, shown)));
    count_job_done();
    show_status();
}

std::string StationWindow::job_text() const {
    return job_notice(job_shown(*job_), job_done_);
}

// One count at a time; chips that finish meanwhile ask for one more. The last known count stays
// on show while the store cannot be read.
void StationWindow::count_job_done() {
    RecordsStore* records = setup_.station.store();
    if (!job_ || !records)
        return;
    if (std::exchange(counting_, true)) {
        count_again_ = true;
        return;
    }
    off_thread_->run<std::optional<std::int64_t>>(
        [records, job = job_]() -> std::optional<std::int64_t> {
            try {
                return records->job_passed(job->job.name, job->lot, job->released());
            } catch (const std::exception&) {
                return std::nullopt;
            }
        },
        [this](const std::optional<std::int64_t>& done) {
            counting_ = false;
            if (done)
                job_done_ = done;
            show_status();
            if (std::exchange(count_again_, false))
                count_job_done();
        });
}

} // namespace zz
