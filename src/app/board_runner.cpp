#include "app/board_runner.h"

#include "app/close_request_watch.h"
#include "app/session.h"
#include "base/text_lines.h"
#include "link/programmer_model.h"
#include "ops/auto_program.h"

namespace zz {

// The person at this board's panel: messages stay on the panel, questions wait there, and no
// tone is made (the window's other boards go on meanwhile).
class BoardRunner::PanelOperator : public Operator {
public:
    explicit PanelOperator(BoardRunner& runner) : runner_(runner) {}
    void show_message(std::string_view text, std::string_view caption, Icon) override {
        runner_.note_message(caption, text);
    }
    bool ask_yes_no(std::string_view text, std::string_view) override { return runner_.ask(text); }
    bool play_tone(int, int) override { return true; }

private:
    BoardRunner& runner_;
};

BoardRunner::BoardRunner(Station& station, BoardLine line, BoardStart setup)
    : station_(station), line_(std::move(line)), setup_(std::move(setup)),
      thread_([this] { run(); }) {}

BoardRunner::~BoardRunner() {
    ending_ = true;
    line_.loop->wake();
    thread_.join();
}

BoardPanel BoardRunner::panel() const {
    const std::lock_guard lock(mutex_);
    return panel_;
}

void BoardRunner::on_change(std::function<void()> changed) {
    const std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
}

void BoardRunner::program() {
    command_ = Command::program;
    line_.loop->wake();
}

void BoardRunner::start_auto() {
    command_ = Command::start_auto;
    line_.loop->wake();
}

void BoardRunner::stop() {
    stop_ = true;
    line_.loop->wake();
}

void BoardRunner::answer(bool yes) {
    const std::lock_guard lock(mutex_);
    if (!panel_.question.empty())
        answer_ = yes;
}

void BoardRunner::use_plan(StationPlan plan) {
    {
        const std::lock_guard lock(mutex_);
        next_plan_ = std::move(plan);
    }
    line_.loop->wake();
}

// Between commands, so that a chip is never programmed half by one job and half by another.
void BoardRunner::take_plan(Session& session) {
    std::optional<StationPlan> plan;
    {
        const std::lock_guard lock(mutex_);
        if (!next_plan_ || session.link().Busy)
            return;
        plan = std::exchange(next_plan_, std::nullopt);
    }
    setup_.plan = *plan;
    session.leave_job();
    // A job that cannot run here (said on the panel) leaves the board refusing chips: it must
    // never program what the station no longer runs.
    plan_refused_ = !station_.serve(session, setup_.plan);
    publish();
}

void BoardRunner::run() {
    PanelOperator op(*this);
    Session session(SessionEnv{*line_.loop, op, *line_.port, setup_.data_dir, {}, line_.lister,
                               setup_.virtual_board});
    session.settings = setup_.settings;
    session_ = &session;
    watch(session);
    session.startup();
    station_.serve(session, setup_.plan);
    publish();
    work(session);
    session.close_requested();
    session.shutdown();
    publish();
    session_ = nullptr;
}

void BoardRunner::work(Session& session) {
    // Stop (or the runner ending) reaches a running production loop at its next wait.
    CloseRequestWatch stopper(
        *line_.loop, [this] { return stop_.load() || ending_.load(); }, session.CloseRequested);
    Loop& loop = *line_.loop;
    while (!ending_) {
        // The command is taken first: a plan sent before it is then surely in.
        const Command command = command_.exchange(Command::none);
        take_plan(session);
        if (command != Command::none)
            run_command(session, command);
        loop.process_events();
        loop.poll_pause(kIdlePollMs);
    }
}

void BoardRunner::run_command(Session& session, Command command) {
    const bool idle = !session.link().Busy;
    {
        const std::lock_guard lock(mutex_);
        ++panel_.commands_begun;
        if (idle) {
            panel_.last_result = -1;
            panel_.message.clear();
        }
    }
    publish();
    if (idle && plan_refused_)
        note_message("Error", "This board cannot run the station's job: no chip is programmed");
    else if (idle && command == Command::program)
        session.program_command();
    else if (idle)
        run_auto(session);
    {
        const std::lock_guard lock(mutex_);
        ++panel_.commands_ended;
    }
    publish();
}

void BoardRunner::run_auto(Session& session) {
    stop_ = false;
    session.CloseRequested = false;
    if (!session.flags.N_autoprog)
        session.arm_auto_program(session.flags.N_ICSP.checked.get());
    {
        const std::lock_guard lock(mutex_);
        panel_.auto_running = true;
    }
    session.auto_program_command();
    {
        const std::lock_guard lock(mutex_);
        panel_.auto_running = false;
        panel_.last_result = -1;
    }
}

void BoardRunner::watch(Session& session) {
    const auto changed = [this](const auto&) { publish(); };
    LinkStatus& status = session.link().status;
    status.Label11.observe(changed);
    status.progress_position.observe(changed);
    status.progress_max.observe(changed);
    session.link().Busy.observe(changed);
    session.link().BoardReady.observe(changed);
    session.chip_finished = [this](const ChipRecord& r) { note_chip(r); };
}

namespace {

// The id the store gave the chip just put on record: the newest finished record of its port at
// this station (this board's thread records its chips one after another). Empty when the record
// waits in the spool.
std::string recorded_id(const Station& station, const ChipRecord& chip) {
    RecordsStore* store = station.store();
    if (!store)
        return {};
    RecordFilter filter;
    filter.station = store->station();
    filter.last = 64; // the newest of every board, however many finished meanwhile
    try {
        const std::vector<ChipRecord> records = store->records(filter);
        for (auto r = records.rbegin(); r != records.rend(); ++r)
            if (r->port == chip.port && r->result == chip.result && r->serial == chip.serial)
                return r->id;
    } catch (const StoreError&) {
    }
    return {};
}

} // namespace

void BoardRunner::note_chip(const ChipRecord& r) {
    const std::string id = recorded_id(station_, r);
    {
        const std::lock_guard lock(mutex_);
        panel_.serial = r.serial;
        panel_.last_result = r.result == ChipResult::passed ? 1 : 0;
        ++panel_.chips;
        panel_.chip_passed = r.result == ChipResult::passed;
        panel_.chip_record_id = id;
        panel_.chip_message = r.message;
        panel_.chip_elapsed_ms = r.elapsed_ms;
    }
    publish();
}

namespace {

bool waits_for_socket(const std::string& status) {
    return status == texts::kWaitingForInsertion || status == texts::kWaitingForRemoval;
}

BoardPhase phase_of(Session& s, const BoardPanel& p) {
    if (!p.question.empty())
        return BoardPhase::question;
    if (s.link().Busy)
        return waits_for_socket(p.status) ? BoardPhase::waiting : BoardPhase::working;
    if (p.last_result >= 0)
        return p.last_result ? BoardPhase::passed : BoardPhase::failed;
    return s.link().BoardReady ? BoardPhase::ready : BoardPhase::no_board;
}

} // namespace

// From the board's thread: the session's state into the panel the window reads.
void BoardRunner::publish() {
    Session* s = session_;
    if (!s)
        return;
    BoardPanel p;
    std::function<void()> changed;
    {
        const std::lock_guard lock(mutex_);
        p = panel_;
        changed = changed_;
    }
    const ProgrammerModelInfo* model = programmer_model(s->ProgrammerModel);
    p.port = line_.port->name();
    p.model = model ? std::string(model->menu_caption) : std::string();
    p.firmware = s->firmware_version;
    p.status = s->link().status.Label11.get();
    p.progress = s->link().status.progress_position.get();
    p.progress_max = s->link().status.progress_max.get();
    p.busy = s->link().Busy.get();
    const StationBoard tally = station_.board(p.port);
    p.passed = tally.passed;
    p.failed = tally.failed;
    // The next chip is awaited: the last one's result has been seen.
    if (p.status == texts::kWaitingForInsertion)
        p.last_result = -1;
    p.phase = phase_of(*s, p);
    {
        const std::lock_guard lock(mutex_);
        if (p == panel_)
            return;
        panel_ = p;
    }
    ++version_;
    if (changed)
        changed();
    const std::lock_guard lock(listeners_mutex_);
    for (const auto& [id, listener] : listeners_)
        listener(p);
}

int BoardRunner::add_listener(std::function<void(const BoardPanel&)> listener) {
    const std::lock_guard lock(listeners_mutex_);
    listeners_.emplace_back(++next_listener_, std::move(listener));
    return next_listener_;
}

void BoardRunner::remove_listener(int id) {
    const std::lock_guard lock(listeners_mutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void BoardRunner::note_message(std::string_view caption, std::string_view text) {
    {
        const std::lock_guard lock(mutex_);
        panel_.message = std::string(caption) + ": " + one_line(text);
    }
    publish();
}

// The question waits on the panel; the board processes its events meanwhile, and pauses in real
// time too (on a virtual clock the person would never get a turn).
bool BoardRunner::ask(std::string_view text) {
    {
        const std::lock_guard lock(mutex_);
        panel_.question = one_line(text);
        answer_.reset();
    }
    publish();
    const auto deadline = std::chrono::steady_clock::now() + kQuestionWait;
    std::optional<bool> answer;
    while (!answer && !ending_ && !stop_ && std::chrono::steady_clock::now() < deadline) {
        pump_delay(*line_.loop, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::lock_guard lock(mutex_);
        answer = answer_;
    }
    {
        const std::lock_guard lock(mutex_);
        panel_.question.clear();
    }
    publish();
    return answer.value_or(false);
}

} // namespace zz
