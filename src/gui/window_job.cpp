// Operator mode in the window: a released job opened from the start-up options or "Open Job...",
// the controls it leaves live, what it shows of the job, and leaving it with the engineer's
// password. Every records-store question runs off the window's thread.
#include "app/engineer_password.h"
#include "gui/bindings.h"
#include "gui/dialogs/job_dialog.h"
#include "gui/dialogs/password_dialog.h"
#include "gui/main_window.h"
#include "gui/job_shown.h"
#include "gui/off_thread.h"
#include "gui/operator_lock.h"
#include "ops/auto_program.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMenuBar>

namespace zz {

namespace {

constexpr const char* kCaption = "Operator Mode";

std::optional<JobShown> shown_job(const Session& s) {
    const RunningJob* running = s.job();
    if (!running || !s.job_locked.get())
        return std::nullopt;
    return job_shown(*running);
}

// What the list shows of a released job, from its text (on the reading thread).
JobFacts read_job_facts(const ReleasedJob& released) {
    const Job job = parse_released_job(released).job;
    return {short_fingerprint(released.fingerprint), job.chip, job.quantity, job.require_lot};
}

// The core's own enabled state of a window control; null: the control is always usable.
Value<bool>* own_enabled(Session& s, const QString& name) {
    ControlStates& c = s.controls;
    OptionFlags& f = s.flags;
    const std::pair<const char*, Value<bool>*> states[] = {
        {"SpeedButton4", &c.SpeedButton4},
        {"SpeedButton5", &c.SpeedButton5},
        {"SpeedButton7", &c.SpeedButton7},
        {"Button3", &c.Button3},
        {"Button4", &c.Button4},
        {"ComboBox1", &c.ComboBox1},
        {"ComboBox2", &c.ComboBox2},
        {"cmbbxcomnum", &c.cmbbxcomnum},
        {"CheckBox_blank", &f.CheckBox_blank.enabled},
        {"CheckBox_erase", &f.CheckBox_erase.enabled},
        {"CheckBox_wr_ee", &f.CheckBox_wr_ee.enabled},
        {"CheckBox_wr_rom", &f.CheckBox_wr_rom.enabled},
        {"CheckBox_wr_id", &f.CheckBox_wr_id.enabled},
        {"n36", &f.n36.enabled},
    };
    for (const auto& [control, state] : states)
        if (name == QLatin1String(control))
            return state;
    return nullptr;
}

} // namespace

void MainWindow::wire_jobs() {
    on_click(kOpenJobItem, [this] { open_job_dialog(); });
    on_click(kLeaveJobItem, [this] { leave_operator_mode(); });
    bind_enabled(session_.job_locked, action(kLeaveJobItem));
}

// After every other binding: the lock has the last word over the controls' own states.
void MainWindow::bind_operator_mode() {
    off_thread_ = new OffThread(this);
    lock_controls();
    const QPointer<MainWindow> guard(this);
    session_.job_locked.observe([guard](bool) {
        if (guard)
            guard->job_changed();
    });
    // A chip finished: the job's count has moved on.
    session_.chips_recorded.observe([guard](int) {
        if (guard && guard->session_.job_locked.get())
            guard->count_job_done();
    });
    job_changed();
}

void MainWindow::lock_controls() {
    lock_ = new OperatorLock(this);
    lock_->add_menus(menuBar());
    QWidget* client = centralWidget();
    for (QAbstractButton* b : client->findChildren<QAbstractButton*>())
        if (!b->objectName().isEmpty())
            lock_->add_widget(b, own_enabled(session_, b->objectName()));
    for (QComboBox* c : client->findChildren<QComboBox*>())
        lock_->add_widget(c, own_enabled(session_, c->objectName()));
}

RecordsStore* MainWindow::store() const {
    const Station* station = session_.station();
    return station ? station->store() : nullptr;
}

std::string MainWindow::why_no_store() const {
    const Station* station = session_.station();
    return station ? station->why_no_store() : "no records database is open";
}

std::shared_ptr<const RunningJob> MainWindow::read_job(const JobChoice& choice) {
    if (session_.link().Busy)
        throw JobError("the board is busy: open the job once the operation has ended");
    RecordsStore* records = store();
    const ChipDatabase& database = session_.database();
    return off_thread_->wait([&] { return open_running_job(choice, records, database); });
}

bool MainWindow::open_job(const JobRequest& r) {
    std::shared_ptr<const RunningJob> running;
    try {
        running = read_job({r.reference, r.lot, r.operator_name, r.engineer});
    } catch (const std::exception& e) { // JobError, StoreError
        desktop_.show_message(e.what(), "Error", Icon::Error);
        return false;
    }
    return session_.use_job(running);
}

void MainWindow::start_job(const JobStart& start) {
    if (start.job.empty())
        return;
    std::string why = store() ? start_job_missing(start) : why_no_store();
    std::shared_ptr<const RunningJob> running;
    if (why.empty()) {
        try {
            running = read_job({start.job, start.lot, start.operator_name, false});
        } catch (const std::exception& e) {
            why = e.what();
        }
    }
    if (running)
        session_.use_job(running); // says itself why a job cannot run here
    else
        desktop_.show_message(start_job_refused(start.job, why), "Error", Icon::Error);
}

void MainWindow::open_job_dialog() {
    if (session_.link().Busy || session_.job_locked.get())
        return;
    JobDialogHooks hooks{store(), store() ? store()->uri() : why_no_store(), read_job_facts,
                         [this](QWidget* dialog) { return password_checks(dialog); },
                         [this](const JobRequest& request) { return open_job(request); }};
    JobDialog dialog(std::move(hooks), desktop_, this);
    dialog.exec();
}

PasswordChecks MainWindow::password_checks(QWidget* parent) {
    RecordsStore* records = store();
    OffThread* worker = off_thread_;
    return {
        [records, worker] {
            return worker->wait([records] { return engineer_password_set(*records); });
        },
        [records, worker](const std::string& password) {
            return worker->wait(
                [records, password] { return engineer_password_accepts(*records, password); });
        },
        [parent] {
            return ask_engineer_password(
                QStringLiteral("The engineer's password, as set with ze-zuzu-cli job password:"),
                parent);
        }};
}

void MainWindow::leave_operator_mode() {
    if (!session_.job_locked.get())
        return;
    if (session_.link().Busy || session_.controls.Button10_caption.get() == texts::kStopCaption) {
        desktop_.show_message(kStopBeforeLeaving, kCaption, Icon::Information);
        return;
    }
    if (engineer_passes(EngineerTask::leave_operator_mode, store() != nullptr, why_no_store(),
                        password_checks(this), desktop_))
        session_.leave_job();
}

void MainWindow::job_changed() {
    const bool locked = session_.job_locked.get();
    lock_->set_locked(locked);
    ++job_generation_;
    job_done_.reset();
    counting_ = count_again_ = false;
    show_job_panel();
    show_caption();
    show_notice();
    if (locked)
        count_job_done();
}

void MainWindow::show_job_panel() {
    const std::optional<JobShown> job = shown_job(session_);
    findChild<QWidget*>(QStringLiteral("JobPanel"))->setVisible(job.has_value());
    findChild<QWidget*>(QStringLiteral("Image1"))->setVisible(!job);
    if (!job)
        return;
    const std::vector<std::string> lines = job_panel_lines(*job, job_done_);
    const char* names[] = {"lab_job",      "lab_job_print", "lab_job_chip",
                           "lab_job_done", "lab_job_lot",   "lab_job_operator"};
    for (std::size_t n = 0; n < lines.size(); ++n)
        label(names[n])->setText(qt_text(lines[n]));
}

void MainWindow::show_caption() {
    const std::optional<JobShown> job = shown_job(session_);
    setWindowTitle(qt_text(job ? job_caption(session_.caption, *job) : session_.caption.get()));
}

// The job's count, or else a store that is away, or else the session's notice.
void MainWindow::show_notice() {
    const std::optional<JobShown> job = shown_job(session_);
    const std::string& notice = store_note_.empty() ? session_.Label4.get() : store_note_;
    label("Label4")->setText(qt_text(job ? job_notice(*job, job_done_) : notice));
}

// One count at a time; chips that finish meanwhile ask for one more. The last known count
// stays on show until the new one is in, and stays when the store cannot be read.
void MainWindow::count_job_done() {
    const RunningJob* running = session_.job();
    RecordsStore* records = store();
    if (!running || !records)
        return;
    if (counting_) {
        count_again_ = true;
        return;
    }
    counting_ = true;
    const int generation = job_generation_;
    off_thread_->run<std::optional<std::int64_t>>(
        [records, name = running->job.name, lot = running->lot,
         released = running->released()]() -> std::optional<std::int64_t> {
            try {
                return records->job_passed(name, lot, released);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        },
        [this, generation](const std::optional<std::int64_t>& done) {
            if (generation != job_generation_)
                return;
            counting_ = false;
            if (done)
                job_done_ = done;
            show_job_panel();
            show_notice();
            if (std::exchange(count_again_, false))
                count_job_done();
        });
}

} // namespace zz
