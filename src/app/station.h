#pragma once
// The production station: the boards of one program that number and record chips together.
// It holds the records store their chips go to, the serial numbering and the CSV log they share,
// runs each board on a thread of its own, and counts what each board did for the summary.
//
// A front end settles the plan before any board is touched, opens the station (the store), puts
// each board's session to work for it with serve(), and runs the boards with run_boards(); the
// sessions then take their numbers from and put their chips on record through it.
#include "app/running_job.h"
#include "link/board_line.h"
#include "records/production_log.h"
#include "records/records_store.h"
#include "files/serial_number.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zz {

class Session;

// How every board of the station numbers and records its chips.
struct StationPlan {
    bool numbered = false; // serial numbers at all
    SerialSettings serial;
    // The store's sequence each chip's number is reserved in; empty: the buffer's number, or
    // with inc_save the image file's (reserved in the file).
    std::string sequence;
    std::shared_ptr<const ProductionLog> log; // null: no CSV log
    // The job every board runs; null: none. Its settings then give the numbering above.
    std::shared_ptr<const RunningJob> job;
};

struct StationOptions {
    std::string store_uri;       // as parse_store_uri reads it; empty: the default file
    std::string name;            // the station's name on record; empty: the host name
    std::filesystem::path spool; // where records wait while the store is away; empty: default
};

// One board of the station and what it did in this run.
struct StationBoard {
    std::string port;
    int passed = 0;
    int failed = 0;    // abandoned chips count here too: they did not pass
    bool lost = false; // it stopped answering and was dropped
    int status = 0;    // how its run ended (the front end's exit status)
};

// A chip being put on record: described before it is programmed, finished with its result.
struct PendingChip {
    ChipRecord record;
    std::int64_t started_ms = 0;            // on the session's clock
    std::optional<Reservation> reservation; // its number, taken from the store's sequence
};

class Station {
public:
    // Opens the records store, before any board is touched. Throws StoreError naming the URI
    // (without its password) and the reason, within the store's deadline (5 s).
    static std::unique_ptr<Station> open(const StationOptions& options);
    // A station whose store is `store`; null: none (a window whose store could not be opened,
    // `why_none` says why), so chips are counted and logged only.
    explicit Station(std::unique_ptr<RecordsStore> store = nullptr, std::string why_none = {});
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // The store; null while there is none. Once there, it stays for the station's life.
    RecordsStore* store() const { return store_ptr_.load(); }
    // Why there is no store; empty when there is one.
    std::string why_no_store() const;
    // A store opened after the station started (by its StoreKeeper), once; thread-safe.
    void attach_store(std::unique_ptr<RecordsStore> store);
    // Why the store could not be opened yet.
    void set_why_no_store(std::string why);

    // Several boards share one numbering only through a sequence or the image file; else two
    // chips would get one number. The reason when `plan` would; empty when it would not.
    static std::string sharing_refused(const StationPlan& plan, const ChipParams& chip);
    // A list sequence's next value must fit the serial cells of `buffer`: the reason when it
    // does not (asked before any chip is programmed); empty otherwise.
    std::string sequence_refused(const StationPlan& plan, const ChipParams& chip,
                                 const Buffer& buffer);

    // Puts `session` to work for the station, numbering and recording chips as `plan` says, and
    // running its job. False (the reason shown) when the job cannot run on the session.
    bool serve(Session& session, const StationPlan& plan);

    // --- what the sessions ask, each from its own board's thread ---

    // The next number of the sequence, on record as reserved. Throws StoreError (no store, none
    // left, a counting that differs, a store that stays lost); the station then stops.
    // QuotaReached when the job's quantity is taken: once every chip is done, the station stops.
    Reservation reserve(const ChipClaim& claim, const ChipRecord& chip);
    // Counts the finished chip for its port and puts it on record: finished, when its number was
    // reserved, else added. A record that had to go to the spool stops the station. Throws
    // StoreError when it could be neither stored nor spooled.
    void record(const ChipRecord& chip, const std::optional<Reservation>& reservation);
    // The station is stopping: every board finishes its current chip and takes no more.
    bool stopping() const { return stopping_.load(); }
    // Why it is stopping; empty when it is not.
    std::string stop_reason() const;
    // It stops because something went wrong (a store lost or refusing), not because the job's
    // quantity is done.
    bool stop_is_failure() const;
    // True once for a stop that went wrong: the one board that tells the person why.
    bool take_stop_announcement();
    // Before more chips: wins a lost store back (handing its spool over) and ends the stop.
    // False, and still stopping, while the store stays out of reach.
    bool resume();
    // The station stops because its store was lost (not for another reason).
    bool stopped_for_lost_store() const;

    // --- the boards ---

    // How the station's boards are reached: the front end's factory of lines.
    void set_board_factory(BoardFactory factory);
    // The line to the board on `port`, made by the factory.
    BoardLine open_line(const std::string& port) const;
    // Runs `run_board` for each port on a thread of its own, with the board's line made on that
    // thread; a board that fails or stops answering does not stop the others. Returns the worst
    // of their statuses.
    int run_boards(const std::vector<std::string>& ports,
                   const std::function<int(StationBoard&, BoardLine&)>& run_board);
    // Every board so far, in the order they were first seen.
    std::vector<StationBoard> boards() const;
    StationBoard board(const std::string& port) const;

private:
    StationBoard& board_locked(const std::string& port);
    // `failure`: the station stops because something went wrong, not because its work is done.
    void stop(std::string reason, bool failure = true, bool lost_store = false);
    std::string lost_store_reason() const;

    std::unique_ptr<RecordsStore> store_;
    std::atomic<RecordsStore*> store_ptr_{nullptr};
    BoardFactory factory_;
    std::string why_none_;
    mutable std::mutex mutex_;
    std::list<StationBoard> boards_; // stable: each board's thread keeps its own
    std::atomic<bool> stopping_{false};
    std::string stop_reason_;
    bool stop_is_failure_ = true;
    bool stop_for_lost_store_ = false;
    bool stop_announced_ = false;
};

// The ports among `candidates` where the board search finds a board, in their order; each is
// searched on a thread of its own with the window's search and without its messages.
std::vector<std::string> ports_with_a_board(const std::vector<std::string>& candidates);

} // namespace zz
