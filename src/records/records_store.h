#pragma once
// The production records: every finished chip on record, and the serial sequences that a line
// of stations shares, in a SQLite file (one station) or a PostgreSQL database (a line).
//
// Typical use by a station, for each chip:
//
//     auto store = RecordsStore::open(uri, {.station = "line-2"});    // throws StoreError
//     Reservation r = store->reserve({"LINE", first_text, counting}, draft); // before programming
//     ... write r.value into the buffer, program the chip ...
//     record.result = passed ? ChipResult::passed : ChipResult::failed;
//     if (store->finish(r, record) == Saved::spooled || store->lost()) stop after this chip;
//
// A chip numbered without a sequence (or not at all) is recorded with add(). One store may be
// shared by the sessions of several boards on their own threads: its calls take turns.
#include "records/chip_record.h"
#include "records/records_backend.h"
#include "files/serial_number.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// How long opening the store, each statement, and winning the database back after a loss may
// take (ms).
inline constexpr int kStoreDeadlineMs = 5000;

struct StoreOptions {
    std::string station;               // this station's name; empty: the host name
    std::filesystem::path spool;       // where unwritable records wait; empty: the default
    std::function<std::int64_t()> now; // UTC ms since 1970; empty: the system clock
    int deadline_ms = kStoreDeadlineMs;
};

// Which sequence a chip's number comes from. A counter sequence that does not exist yet is
// created from `first_value` (the serial cells' text, as serial_text gives it: the first number
// handed out) and `counting` (serial_counting of the station's serial settings); later
// reservations continue it, from any station, and must count the same way.
struct SequenceRequest {
    std::string name;
    std::string first_value;
    SerialCounting counting;
};

// A job's quantity: chips of `job` (and `lot`; empty: none given) that pass count towards
// `quantity`. A released job counts its released runs; a job file rehearsed before release
// (`released` false) counts its rehearsals only.
struct JobQuota {
    std::string job;
    std::string lot;
    std::int64_t quantity = 0;
    bool released = true;
};

// What a chip takes before it is programmed: a number from a sequence, a place within a job's
// quantity, or both, in one transaction.
struct ChipClaim {
    std::optional<SequenceRequest> sequence;
    std::optional<JobQuota> quota;
};

// The job's quantity is taken: by passed chips (done), or with chips being programmed now that
// may still fail (`in_flight`: passed chips alone are fewer than the quantity).
class QuotaReached : public StoreError {
public:
    QuotaReached(const std::string& message, bool in_flight)
        : StoreError(message), in_flight_(in_flight) {}
    bool in_flight() const { return in_flight_; }

private:
    bool in_flight_;
};

// A job as released into the store: it never changes; a changed job is the next revision.
struct ReleasedJob {
    std::string name;
    std::int64_t revision = 0;
    std::string fingerprint;
    std::string content; // the job file's text
    std::string released_by;
    std::string station;
    std::int64_t released_ms = 0; // UTC
};

// A number taken for one chip; its record is on file as "reserved" until finish().
struct Reservation {
    std::string record_id;
    std::string sequence;
    std::string value; // to be written into the chip's serial cells
};

enum class SequenceKind { counter, list };

struct SequenceState {
    std::string name;
    SequenceKind kind = SequenceKind::counter;
    std::string next_value;  // empty when a list has none left
    SerialCounting counting; // counter sequences
    std::int64_t passed = 0;
    std::int64_t failed = 0;
    std::int64_t abandoned = 0;
    std::int64_t reserved = 0;        // chips being programmed now
    std::optional<std::int64_t> left; // list sequences: values not yet handed out

    std::int64_t used() const { return passed + failed + abandoned + reserved; }
};

// Which records to look at; empty fields take any.
struct RecordFilter {
    std::string serial; // hex, any case
    std::string sequence;
    std::string station;
    std::optional<std::int64_t> since_ms; // UTC ms since 1970
    std::optional<int> last;              // records(): only the newest N
    std::string job;
    std::optional<std::string> lot; // with a job: only this lot ("" for chips without one)
};

struct PortSummary {
    std::string station;
    std::string port;
    std::int64_t passed = 0;
    std::int64_t failed = 0;
    std::int64_t abandoned = 0;
    std::int64_t first_start_ms = 0; // when the first of these chips began
    std::int64_t last_end_ms = 0;    // when the last one finished

    double yield() const;          // passed / (passed + failed); 0 without such chips
    double chips_per_hour() const; // passed and failed chips over first_start_ms..last_end_ms
};

struct HourCount {
    std::int64_t passed = 0;
    std::int64_t failed = 0;
};

enum class Saved {
    stored,  // in the database
    spooled, // the database could not be reached: kept in the spool until it can
};

class RecordsStore {
public:
    // Opens the store the URI names (parse_store_uri), creating or migrating its schema, and
    // hands over the spool's records for it. Throws StoreError with the URI (password left out)
    // and the reason, within options.deadline_ms when the database does not answer.
    static std::unique_ptr<RecordsStore> open(std::string_view uri, StoreOptions options = {});
    // The same over an open database; `shown_uri` names it in messages.
    RecordsStore(std::unique_ptr<RecordsBackend> db, std::string shown_uri, StoreOptions options);
    // Marks this store's open reservations abandoned.
    ~RecordsStore();
    RecordsStore(const RecordsStore&) = delete;
    RecordsStore& operator=(const RecordsStore&) = delete;

    const std::string& uri() const { return uri_; } // without password
    const std::string& station() const { return options_.station; }
    // The last write could not reach the database (its record went to the spool): the station
    // should stop after its current chip.
    bool lost() const;

    // Takes the sequence's next value and puts the chip on record as "reserved", in one
    // transaction: no value is handed out twice, whatever process dies. `chip` describes the
    // chip as far as known (its result, time and serial are the store's). Throws StoreError: a
    // list with no values left, a counter that counts otherwise or has come round to a number
    // already handed out, or a database that stays lost (lost()).
    Reservation reserve(const SequenceRequest& sequence, const ChipRecord& chip);
    // The same for a claim, which may also (or only) take a place within a job's quantity:
    // QuotaReached when there is none, with no number taken.
    Reservation reserve(const ChipClaim& claim, const ChipRecord& chip);
    // Sets the reserved chip's outcome (passed, failed or abandoned) and the rest of its record;
    // its id, sequence and serial are the reservation's, its time and station the store's.
    Saved finish(const Reservation& reservation, ChipRecord record);
    // Records a chip that took no number from a sequence.
    Saved add(ChipRecord record);

    // A list sequence of the given hex values (see parse_sequence_values), handed out once
    // each, in order. Throws StoreError when the name is taken.
    void create_list_sequence(const std::string& name, const std::vector<std::string>& values);
    std::optional<SequenceState> sequence_state(const std::string& name);

    // Oldest first.
    std::vector<ChipRecord> records(const RecordFilter& filter);
    // Per station and port, ordered by them; `last` is not used.
    std::vector<PortSummary> summary(const RecordFilter& filter);
    // Passed and failed chips in each hour of the 24 from `day_start_ms` (UTC ms).
    std::array<HourCount, 24> hourly(std::int64_t day_start_ms);

    // Writes the spool's records for this store into it, each once, winning a lost database back
    // first. Returns how many.
    std::size_t hand_over();
    // Reservations of stores whose process or connection is gone are marked abandoned.
    void abandon_dead_reservations();

    // --- released jobs (records_jobs.cpp) ---
    // Stores the job as the next revision of `name`, unless its latest revision has this
    // fingerprint already; returns the revision that holds it and whether it is new.
    std::pair<ReleasedJob, bool> release_job(const std::string& name,
                                             const std::string& fingerprint,
                                             const std::string& content,
                                             const std::string& released_by);
    // The revision of the job (its latest when none is given); nullopt when there is none.
    std::optional<ReleasedJob> released_job(const std::string& name,
                                            std::optional<std::int64_t> revision = {});
    // The latest revision of every job, by name.
    std::vector<ReleasedJob> released_jobs();
    // Chips of the job's released runs (or its rehearsals) that passed, in the lot when given.
    std::int64_t job_passed(const std::string& job, const std::optional<std::string>& lot,
                            bool released = true);
    // A value kept by name (the engineer's password hash); empty when none is set.
    std::string secret(const std::string& name);
    void set_secret(const std::string& name, const std::string& value);

private:
    void start_session();
    void end_session(const std::string& session);
    void abandon_dead_sessions();
    SqlRows listed(const std::string& sql, const std::vector<SqlValue>& params);
    void recover();
    void lose();
    std::size_t hand_over_locked();
    Saved save(ChipRecord& record);
    void upsert(const ChipRecord& record);
    std::string reserve_once(const ChipClaim& claim, const ChipRecord& record);
    void claim_quota(const JobQuota& quota);
    std::int64_t now_ms() const;
    void stamp(ChipRecord& record) const;
    // Runs `work` again once after winning a lost database back. While the database stays lost,
    // fails at once unless `win_back`.
    void retried(const std::function<void()>& work, bool win_back = false);

    mutable std::mutex mutex_;
    std::unique_ptr<RecordsBackend> db_;
    std::string uri_;
    StoreOptions options_;
    std::string store_id_;
    std::string session_id_;
    bool lost_ = false;
    std::chrono::steady_clock::time_point lost_at_; // when it was last found lost
    std::size_t handed_over_ = 0; // records handed over from the spool since opening
};

// Hex values one per line (blank lines and lines starting with "#" are skipped; ":", "-" and
// blanks between digits are dropped, so "00:1A:2B:3C:4D:5E" is a value), in upper case.
// Throws std::invalid_argument naming the line of a value that is not hex or comes twice.
std::vector<std::string> parse_sequence_values(std::string_view text);

// UTC ms of the local midnight that begins the day holding `utc_ms`.
std::int64_t local_day_start_ms(std::int64_t utc_ms);

} // namespace zz
