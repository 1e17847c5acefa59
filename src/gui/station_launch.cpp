#include "gui/station_launch.h"

#include "device/chip_database.h"
#include "dialogs/boards/boards_model.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"
#include "gui/off_thread.h"

namespace zz {

int virtual_model(const AppSettings& settings) {
    const int model = settings.prog_type;
    return model >= 1 && model <= 4 ? model : 3;
}

StationPlan station_plan(const AppSettings& s, const ChipParams& chip, std::string& note) {
    StationPlan plan;
    plan.numbered = s.inc_enabled;
    plan.serial = serial_settings_of(s);
    plan.sequence = s.use_sequence ? s.sequence : std::string();
    if (!Station::sharing_refused(plan, chip).empty()) {
        plan.numbered = false;
        note = "Serial numbers are off: several boards number their chips only from the shared "
               "sequence (Serial Number Options) or with the number saved in the image file";
    }
    return plan;
}

BoardFactory station_lines(bool virtual_boards, int model, const ChipParams& chip,
                           const std::optional<OperatorTimes>& person) {
    return [virtual_boards, model, chip, person](const std::string& name) {
        // A board search started on the board stays on its port.
        if (!virtual_boards || !is_virtual_board(name))
            return serial_line([name] { return std::vector<std::string>{name}; });
        BoardLine line = virtual_line(model, name, true);
        line.board->insert_chip(VirtualChip(chip));
        if (person)
            line.attachment = std::make_shared<SocketOperator>(
                *line.board, *person, [chip] { return VirtualChip(chip); });
        return line;
    };
}

StationLaunch::StationLaunch(const StationLaunchSetup& setup, Desktop& desktop)
    : setup_(setup), desktop_(desktop),
      station_(std::make_unique<Station>(nullptr, "the records database is being opened")) {
    const int model = virtual_model(setup.settings);
    const ChipParams chip =
        ChipDatabase(setup.data_dir).load(model, setup.settings.chip_type, ChipParams{});
    std::string note;
    StationPlan plan = station_plan(setup.settings, chip, note);
    station_->set_board_factory(
        station_lines(setup.start.virtual_boards, model, chip, setup.person));
    BoardStart start{setup.data_dir, setup.settings, std::move(plan), false};
    const auto store_text = [this, note] {
        const std::string text = keeper_ ? keeper_->text() : std::string();
        return note.empty() || job_pending_ || window_->job() ? text : text + ". " + note;
    };
    window_ = std::make_unique<StationWindow>(
        StationWindow::Setup{*station_, std::move(start), setup.settings_file, setup.data_dir,
                             search_serial_ports, store_text},
        desktop);
    job_pending_ = !setup.job.job.empty();
    keeper_ = std::make_unique<StoreKeeper>(
        *station_, StationOptions{setup.settings.records_db, setup.settings.station, {}},
        [this] { QMetaObject::invokeMethod(window_.get(), [this] { store_changed(); },
                                           Qt::QueuedConnection); });
    window_->store_changed();
    if (!job_pending_)
        start_boards();
}

StationLaunch::~StationLaunch() = default;

void StationLaunch::start_boards() {
    if (setup_.start.search)
        window_->find_boards();
    else
        window_->set_boards(setup_.start.ports);
}

void StationLaunch::store_changed() {
    window_->store_changed();
    if (!job_pending_ || keeper_->state() == StoreKeeper::State::opening)
        return;
    const std::string missing = start_job_missing(setup_.job);
    if (keeper_->state() == StoreKeeper::State::away || !missing.empty())
        job_opened(nullptr, missing.empty() ? station_->why_no_store() : missing);
    else
        open_job();
}

// Read off the window's thread: the store may be remote.
void StationLaunch::open_job() {
    using Opened = std::pair<std::shared_ptr<const RunningJob>, std::string>;
    auto* worker = new OffThread(window_.get());
    worker->run<Opened>(
        [job = setup_.job, data_dir = setup_.data_dir, store = station_->store()]() -> Opened {
            try {
                return {open_running_job({job.job, job.lot, job.operator_name, false}, store,
                                         ChipDatabase(data_dir)),
                        {}};
            } catch (const std::exception& e) { // JobError, StoreError
                return {nullptr, e.what()};
            }
        },
        [this, worker](const Opened& opened) {
            worker->deleteLater();
            job_opened(opened.first, opened.second);
        });
}

void StationLaunch::job_opened(std::shared_ptr<const RunningJob> job, const std::string& why) {
    job_pending_ = false;
    if (job) {
        const Job& j = job->job;
        const ChipParams chip = ChipDatabase(setup_.data_dir).load(j.model, j.chip, ChipParams{});
        station_->set_board_factory(
            station_lines(setup_.start.virtual_boards, j.model, chip, setup_.person));
        window_->use_job(std::move(job));
    } else {
        desktop_.show_message(start_job_refused(setup_.job.job, why), "Error", Icon::Error);
    }
    window_->store_changed();
    start_boards();
}

} // namespace zz
