#include "app/station.h"

#include "app/session.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace zz {

std::unique_ptr<Station> Station::open(const StationOptions& options) {
    StoreOptions store;
    store.station = options.name;
    store.spool = options.spool;
    return std::make_unique<Station>(RecordsStore::open(options.store_uri, std::move(store)));
}

Station::Station(std::unique_ptr<RecordsStore> store, std::string why_none)
    : store_(std::move(store)), store_ptr_(store_.get()),
      why_none_(store_ ? std::string() : std::move(why_none)) {}

void Station::attach_store(std::unique_ptr<RecordsStore> store) {
    const std::lock_guard lock(mutex_);
    if (store_ || !store)
        return;
    store_ = std::move(store);
    store_ptr_ = store_.get();
    why_none_.clear();
}

std::string Station::why_no_store() const {
    const std::lock_guard lock(mutex_);
    return why_none_;
}

void Station::set_why_no_store(std::string why) {
    const std::lock_guard lock(mutex_);
    if (!store_)
        why_none_ = std::move(why);
}

bool Station::stopped_for_lost_store() const {
    const std::lock_guard lock(mutex_);
    return stopping_.load() && stop_for_lost_store_;
}

std::string Station::sharing_refused(const StationPlan& plan, const ChipParams& chip) {
    if (!plan.numbered || !plan.sequence.empty() ||
        (plan.serial.inc_save && serial_save_possible(chip)))
        return {};
    return "Several boards take serial numbers from one sequence only when each is reserved: "
           "add --sequence NAME (the records database) or --serial-save (the image file)";
}

std::string Station::sequence_refused(const StationPlan& plan, const ChipParams& chip,
                                      const Buffer& buffer) {
    RecordsStore* store = this->store();
    if (!plan.numbered || plan.sequence.empty() || !store)
        return {};
    const std::optional<SequenceState> state = store->sequence_state(plan.sequence);
    if (!state)
        return {}; // made from these cells by the first chip
    if (state->next_value.empty())
        return "The sequence \"" + plan.sequence + "\" has no values left";
    // The value tried on a buffer of its own: the chips' buffers stay as they are.
    Buffer scratch;
    scratch.clrbuffer(chip);
    copy_serial_number(chip, buffer, scratch, plan.serial);
    try {
        set_serial_text(chip, scratch, plan.serial, state->next_value);
    } catch (const std::invalid_argument& e) {
        return "The value " + state->next_value + " of the sequence \"" + plan.sequence +
               "\" does not fit the serial cells: " + e.what();
    }
    return {};
}

bool Station::serve(Session& session, const StationPlan& plan) {
    session.set_station(this);
    if (plan.job && !session.use_job(plan.job))
        return false;
    session.serial_settings = plan.serial;
    session.buffer.SerialNumberEnabled = plan.numbered;
    session.sequence_name = plan.sequence;
    session.use_sequence = !plan.sequence.empty();
    session.reserve_serial_numbers = plan.numbered && plan.sequence.empty() &&
                                     plan.serial.inc_save && serial_save_possible(session.chip());
    session.production_log = plan.log;
    session.ask_firmware_when_found();
    return true;
}

Reservation Station::reserve(const ChipClaim& claim, const ChipRecord& chip) {
    try {
        RecordsStore* store = this->store();
        if (!store)
            throw StoreError("no records database is open");
        return store->reserve(claim, chip);
    } catch (const QuotaReached& e) {
        if (!e.in_flight())
            stop(e.what(), false);
        throw;
    } catch (const StoreError& e) {
        if (e.lost())
            stop(lost_store_reason(), true, true);
        else
            stop("The station stops: " + std::string(e.what()));
        throw;
    }
}

void Station::record(const ChipRecord& chip, const std::optional<Reservation>& reservation) {
    {
        const std::lock_guard lock(mutex_);
        StationBoard& board = board_locked(chip.port);
        ++(chip.result == ChipResult::passed ? board.passed : board.failed);
    }
    RecordsStore* store = this->store();
    if (!store)
        return;
    const Saved saved = reservation ? store->finish(*reservation, chip) : store->add(chip);
    if (saved == Saved::spooled || store->lost())
        stop(lost_store_reason(), true, true);
}

std::string Station::lost_store_reason() const {
    return "The records database " + store()->uri() +
           " cannot be reached: the station stops after the chips being programmed. Their "
           "records are kept on this station and handed over when the database is back";
}

bool Station::take_stop_announcement() {
    const std::lock_guard lock(mutex_);
    return stopping_.load() && stop_is_failure_ && !std::exchange(stop_announced_, true);
}

void Station::stop(std::string reason, bool failure, bool lost_store) {
    const std::lock_guard lock(mutex_);
    if (!stopping_.load()) {
        stop_reason_ = std::move(reason);
        stop_is_failure_ = failure;
        stop_for_lost_store_ = lost_store;
    }
    stopping_ = true;
}

bool Station::stop_is_failure() const {
    const std::lock_guard lock(mutex_);
    return stopping_.load() && stop_is_failure_;
}

std::string Station::stop_reason() const {
    const std::lock_guard lock(mutex_);
    return stopping_.load() ? stop_reason_ : std::string();
}

bool Station::resume() {
    RecordsStore* store = this->store();
    if (store && store->lost()) {
        try {
            store->hand_over();
        } catch (const StoreError&) {
            return false;
        }
        if (store->lost())
            return false;
    }
    const std::lock_guard lock(mutex_);
    stopping_ = false;
    stop_reason_.clear();
    stop_announced_ = false;
    return true;
}

StationBoard& Station::board_locked(const std::string& port) {
    const auto found = std::find_if(boards_.begin(), boards_.end(),
                                    [&](const StationBoard& b) { return b.port == port; });
    return found != boards_.end() ? *found : boards_.emplace_back(StationBoard{port});
}

void Station::set_board_factory(BoardFactory factory) {
    factory_ = std::move(factory);
}

BoardLine Station::open_line(const std::string& port) const {
    return factory_(port);
}

int Station::run_boards(const std::vector<std::string>& ports,
                        const std::function<int(StationBoard&, BoardLine&)>& run_board) {
    std::vector<StationBoard*> mine;
    {
        const std::lock_guard lock(mutex_);
        for (const std::string& port : ports)
            mine.push_back(&board_locked(port));
    }
    std::vector<std::thread> threads;
    threads.reserve(mine.size());
    for (StationBoard* board : mine)
        threads.emplace_back([this, &run_board, board] {
            BoardLine line = open_line(board->port);
            board->status = run_board(*board, line);
        });
    for (std::thread& t : threads)
        t.join();
    int worst = 0;
    for (const StationBoard* board : mine)
        worst = std::max(worst, board->status);
    return worst;
}

std::vector<StationBoard> Station::boards() const {
    const std::lock_guard lock(mutex_);
    return {boards_.begin(), boards_.end()};
}

StationBoard Station::board(const std::string& port) const {
    const std::lock_guard lock(mutex_);
    for (const StationBoard& b : boards_)
        if (b.port == port)
            return b;
    return StationBoard{port};
}

} // namespace zz
