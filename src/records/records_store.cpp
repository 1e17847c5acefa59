// Opening the store, its session, numbers reserved and chips recorded, and what happens when the
// database goes away.
#include "records/records_store.h"

#include "records/process_identity.h"
#include "records/record_spool.h"
#include "records/record_time.h"
#include "records/records_schema.h"
#include "records/records_sequences.h"

namespace zz {

std::unique_ptr<RecordsStore> RecordsStore::open(std::string_view text, StoreOptions options) {
    StoreUri uri;
    try {
        uri = parse_store_uri(text);
    } catch (const std::invalid_argument& e) {
        throw StoreError(e.what());
    }
    return std::make_unique<RecordsStore>(open_backend(uri, options.deadline_ms), uri.shown,
                                          std::move(options));
}

RecordsStore::RecordsStore(std::unique_ptr<RecordsBackend> db, std::string shown_uri,
                           StoreOptions options)
    : db_(std::move(db)), uri_(std::move(shown_uri)), options_(std::move(options)) {
    if (options_.station.empty())
        options_.station = host_name();
    if (options_.spool.empty())
        options_.spool = default_spool_path();
    try {
        store_id_ = migrate_records_schema(*db_);
    } catch (const StoreError& e) {
        throw StoreError("Cannot open the records database " + uri_ + ": " + e.what(), e.lost());
    }
    session_id_ = unique_id();
    start_session();
    abandon_dead_sessions();
    hand_over_locked();
}

RecordsStore::~RecordsStore() {
    try {
        end_session(session_id_);
    } catch (const StoreError&) {
        // A store that others can reach sees this session as dead and does the same.
    }
}

bool RecordsStore::lost() const {
    const std::lock_guard lock(mutex_);
    return lost_;
}

std::int64_t RecordsStore::now_ms() const {
    return options_.now ? options_.now() : utc_now_ms();
}

void RecordsStore::stamp(ChipRecord& record) const {
    record.time_ms = now_ms();
    record.utc_offset_min = local_utc_offset_min(record.time_ms);
    record.station = options_.station;
}

// Upsert: after a reconnect the session keeps its id, with its new mark of life.
void RecordsStore::start_session() {
    const std::int64_t key = db_->claim_session_key();
    const ProcessIdentity process = this_process();
    db_->exec("INSERT INTO store_sessions (id, station, host, pid, process, lock_key, started_ms) "
              "VALUES ($1, $2, $3, $4, $5, $6, $7) "
              "ON CONFLICT (id) DO UPDATE SET lock_key = excluded.lock_key",
              {session_id_, options_.station, process.host, std::int64_t{process.pid},
               process.start, key, now_ms()});
}

// The session's reservations will never finish: they are abandoned, and the session is gone.
void RecordsStore::end_session(const std::string& session) {
    WriteTransaction t(*db_);
    db_->exec("UPDATE records SET result = 'abandoned' WHERE session = $1 AND result = 'reserved'",
              {session});
    db_->exec("DELETE FROM store_sessions WHERE id = $1", {session});
    t.commit();
}

// A reservation whose store has gone (its process died, or its connection) will never finish.
void RecordsStore::abandon_dead_sessions() {
    for (const std::string& session : db_->dead_sessions())
        if (session != session_id_)
            end_session(session);
}

void RecordsStore::abandon_dead_reservations() {
    const std::lock_guard lock(mutex_);
    retried([&] { abandon_dead_sessions(); });
}

void RecordsStore::lose() {
    lost_ = true;
    lost_at_ = std::chrono::steady_clock::now();
}

void RecordsStore::recover() {
    try {
        db_->reconnect();
        start_session();
        lost_ = false;
    } catch (const StoreError&) {
        lose();
        throw;
    }
    try {
        hand_over_locked();
    } catch (const StoreError&) {
        // What stays in the spool is handed over next time.
    }
}

// Once the database could not be won back, the calls of the next deadline fail at once instead
// of each waiting it out again: boards that take turns with the store would otherwise stop one
// deadline after another. hand_over() (before the next chips) always tries again.
void RecordsStore::retried(const std::function<void()>& work, bool win_back) {
    const auto fresh = std::chrono::milliseconds(options_.deadline_ms);
    if (lost_ && !win_back && std::chrono::steady_clock::now() - lost_at_ < fresh)
        throw StoreError("The records database " + uri_ + " cannot be reached", true);
    if (lost_)
        recover();
    try {
        work();
        return;
    } catch (const StoreError& e) {
        if (!e.lost())
            throw;
    }
    recover();
    work();
}

Reservation RecordsStore::reserve(const SequenceRequest& request, const ChipRecord& chip) {
    return reserve(ChipClaim{request, std::nullopt}, chip);
}

Reservation RecordsStore::reserve(const ChipClaim& claim, const ChipRecord& chip) {
    const std::lock_guard lock(mutex_);
    ChipRecord record = chip;
    stamp(record);
    record.id = unique_id();
    record.sequence = claim.sequence ? claim.sequence->name : "";
    record.result = ChipResult::reserved;
    std::string value;
    retried([&] {
        // A commit whose answer was lost may have happened: the record's id tells.
        const SqlRows done = db_->exec("SELECT serial FROM records WHERE id = $1", {record.id});
        value = done.empty() ? reserve_once(claim, record) : done[0].text(0);
    });
    return Reservation{record.id, record.sequence, value};
}

std::string RecordsStore::reserve_once(const ChipClaim& claim, const ChipRecord& chip) {
    WriteTransaction t(*db_);
    if (claim.quota)
        claim_quota(*claim.quota);
    std::string value;
    if (const std::optional<SequenceRequest>& request = claim.sequence) {
        std::optional<SequenceRow> sequence = read_sequence(*db_, request->name, true);
        if (!sequence) {
            create_counter(*db_, *request, now_ms());
            sequence = read_sequence(*db_, request->name, true);
        }
        value = take_next_value(*db_, *sequence, *request);
    }
    ChipRecord record = chip;
    record.serial = value;
    std::vector<SqlValue> values = record_values(record);
    values.emplace_back(session_id_);
    db_->exec("INSERT INTO records (" + record_columns() + ", session, entry) VALUES (" +
                  record_placeholders() + ", $" + std::to_string(values.size()) + ", " +
                  std::string(next_record_entry()) + ")",
              values);
    t.commit();
    return value;
}

Saved RecordsStore::finish(const Reservation& reservation, ChipRecord record) {
    if (record.result == ChipResult::reserved)
        throw std::invalid_argument("a finished chip needs its result");
    const std::lock_guard lock(mutex_);
    stamp(record);
    record.id = reservation.record_id;
    record.sequence = reservation.sequence;
    record.serial = reservation.value;
    return save(record);
}

Saved RecordsStore::add(ChipRecord record) {
    const std::lock_guard lock(mutex_);
    stamp(record);
    record.id = unique_id();
    record.sequence.clear();
    return save(record);
}

void RecordsStore::upsert(const ChipRecord& record) {
    db_->exec(record_upsert(), record_values(record));
}

// Tried twice, around one attempt to win the database back; then kept in the spool.
Saved RecordsStore::save(ChipRecord& record) {
    try {
        retried([&] { upsert(record); });
        return Saved::stored;
    } catch (const StoreError& e) {
        if (!e.lost())
            throw;
        lose();
    }
    try {
        RecordSpool(options_.spool, options_.deadline_ms).keep(store_id_, record);
    } catch (const StoreError& e) {
        throw StoreError("The record of the chip could not be written to " + uri_ +
                         " nor kept in " + options_.spool.string() + ": " + e.what());
    }
    return Saved::spooled;
}

std::size_t RecordsStore::hand_over() {
    const std::lock_guard lock(mutex_);
    const std::size_t before = handed_over_;
    retried([&] { hand_over_locked(); }, true);
    return handed_over_ - before;
}

// Each record is written before it leaves the spool: one that was written but not yet
// forgotten when something failed is written again, to the same effect.
std::size_t RecordsStore::hand_over_locked() {
    std::error_code ec;
    if (!std::filesystem::exists(options_.spool, ec))
        return 0;
    RecordSpool spool(options_.spool, options_.deadline_ms);
    std::size_t count = 0;
    for (const ChipRecord& record : spool.waiting(store_id_)) {
        upsert(record);
        spool.forget(store_id_, record.id);
        ++handed_over_;
        ++count;
    }
    return count;
}

} // namespace zz
