// Each chip the Program command or the production loop finishes: its number from the station's
// sequence (or the image file), and its record in the CSV log and the station's store.
#include "records/record_time.h"
#include "app/session.h"
#include "base/sha256.h"
#include "base/hex_text.h"
#include "base/text_lines.h"
#include "files/blank_image.h"
#include "files/checksum.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"
#include "ops/chip_commands.h"

#include <thread>

namespace zz {

namespace {

constexpr const char* kBlankImageQuestion =
    "The image holds no data: the chip will be left blank.\r\nProgram it anyway?";

// The image as it is on disk now; empty when there is none or it cannot be read.
std::string image_digest(const std::string& path) {
    if (path.empty())
        return {};
    try {
        return sha256_of_file(path);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

void Session::set_station(Station* station) {
    station_watch_.reset();
    station_ = station;
    if (station_)
        station_watch_ = std::make_unique<CloseRequestWatch>(
            env_.loop, [station] { return station->stopping(); }, CloseRequested);
}

void Session::describe_chip(ChipRecord& r) {
    const ProgrammerModelInfo* model = programmer_model(ProgrammerModel);
    r.model = model ? std::string(model->menu_caption) : std::to_string(ProgrammerModel.get());
    r.port = link_.port().name();
    r.firmware = firmware_version;
    r.chip = ComboBox1.get();
    r.image = CurrentFileName;
    r.image_sha256 = image_digest(CurrentFileName);
    if (job_)
        job_->describe(r);
    describe_number(r, false);
}

// A number to be reserved (from the sequence or the image file) is the chip's once `taken`.
void Session::describe_number(ChipRecord& r, bool taken) {
    r.checksum = "0x" + to_hex(buffer_checksum(chip_, buffer), 4);
    const bool numbered =
        buffer.SerialNumberEnabled && (taken || (!use_sequence.get() && !reserve_serial_numbers));
    r.serial = numbered ? serial_text(chip_, buffer, serial_settings) : "";
    r.sequence = numbered && use_sequence ? sequence_name.get() : "";
}

PendingChip Session::begin_chip_record() {
    tap_.clear();
    statistics.device_id_read.clear();
    PendingChip pending;
    pending.started_ms = env_.loop.now_ms();
    describe_chip(pending.record);
    return pending;
}

ChipStart Session::start_chip(PendingChip& pending) {
    const ChipStart start = take_chip_number(pending);
    return start == ChipStart::program ? keep_preserved(pending) : start;
}

ChipStart Session::take_chip_number(PendingChip& pending) {
    const std::optional<JobQuota> quota = job_ ? job_->quota() : std::nullopt;
    const bool numbered = buffer.SerialNumberEnabled.get();
    if (quota || (numbered && use_sequence))
        return claim_in_store(pending, quota);
    if (!numbered || !reserve_serial_numbers)
        return ChipStart::program;
    if (!reserve_serial_number())
        return ChipStart::fail;
    describe_number(pending.record, true);
    return ChipStart::program;
}

// The chip's number from the sequence and its place within the job's quantity, in one
// transaction. While the job's last chips are being programmed elsewhere (and may still fail),
// the chip waits in the socket for them.
ChipStart Session::claim_in_store(PendingChip& pending, const std::optional<JobQuota>& quota) {
    const std::string& name = sequence_name.get();
    ChipClaim claim;
    claim.quota = quota;
    if (buffer.SerialNumberEnabled && use_sequence)
        claim.sequence = SequenceRequest{name, serial_text(chip_, buffer, serial_settings),
                                         serial_counting(chip_, serial_settings)};
    const auto deadline = std::chrono::steady_clock::now() + kQuotaWait;
    for (;;) {
        try {
            if (!station_ || !station_->store())
                throw StoreError("no records database is open");
            pending.reservation = while_processing_events(
                env_.loop, [&] { return station_->reserve(claim, pending.record); });
            break;
        } catch (const QuotaReached& e) {
            if (!e.in_flight())
                return quota_refused(e);
            if (!wait_for_quota(e.what(), deadline))
                return quota_wait_ended(e);
        } catch (const StoreError& e) {
            // The store's reasons name the sequence or the database.
            tap_.show_message(claim.sequence ? "No serial number taken from the sequence \"" +
                                                   name + "\": " + e.what()
                                             : std::string(e.what()),
                              "Error", Icon::Error);
            announce_stop();
            return ChipStart::fail;
        }
    }
    return claim.sequence ? write_sequence_number(pending) : ChipStart::program;
}

ChipStart Session::write_sequence_number(PendingChip& pending) {
    const std::string& value = pending.reservation->value;
    try {
        set_serial_text(chip_, buffer, serial_settings, value);
    } catch (const std::invalid_argument& e) {
        // The value is used up: it stays on record with this failed chip.
        pending.record.serial = value;
        tap_.show_message("The value " + value + " of the sequence \"" + sequence_name.get() +
                              "\" does not fit the serial cells: " + e.what(),
                          "Error", Icon::Error);
        return ChipStart::fail;
    }
    describe_number(pending.record, true);
    return ChipStart::program;
}

// Waits half a second before the next try, processing events all the while and pausing in
// real time too (on a virtual clock the other stations' chips would never finish); false once
// the deadline or a stop comes first.
bool Session::wait_for_quota(const std::string& why,
                             std::chrono::steady_clock::time_point deadline) {
    using Clock = std::chrono::steady_clock;
    link_.status.Label11 = why + ": waiting for them";
    const Clock::time_point retry = Clock::now() + std::chrono::milliseconds(kQuotaRetryMs);
    while (Clock::now() < retry) {
        if (Clock::now() >= deadline)
            return false;
        pump_until(env_.loop, kQuotaPollMs, [this] { return CloseRequested; });
        if (CloseRequested)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kQuotaPauseMs));
    }
    // A station that died holding the last chips gives them up.
    if (RecordsStore* store = station_ ? station_->store() : nullptr)
        while_processing_events(env_.loop, [store] { store->abandon_dead_reservations(); });
    return true;
}

// The job is done: the chip is left untouched, and the production loop ends.
ChipStart Session::quota_refused(const QuotaReached& e) {
    env_.op.show_message(e.what(), "Information", Icon::Information);
    CloseRequested = true;
    return ChipStart::leave;
}

// A stop (the job done on another board, or the person) ends the wait quietly; the deadline
// does not.
ChipStart Session::quota_wait_ended(const QuotaReached& e) {
    if (!CloseRequested)
        tap_.show_message(std::string(e.what()) + ": they did not finish within " +
                              std::to_string(kQuotaWait.count()) + " minutes",
                          "Error", Icon::Error);
    CloseRequested = true;
    return ChipStart::leave;
}

void Session::finish_chip_record(PendingChip& pending, ChipResult result) {
    ChipRecord& r = pending.record;
    r.time_ms = utc_now_ms();
    r.utc_offset_min = local_utc_offset_min(r.time_ms);
    r.result = result;
    r.message = result == ChipResult::passed ? "" : one_line(tap_.failure());
    r.elapsed_ms = env_.loop.now_ms() - pending.started_ms;
    r.device_id = statistics.device_id_read;
    if (production_log) {
        try {
            production_log->append(production_record(r));
        } catch (const std::exception& e) {
            tap_.show_message(std::string("Production log: ") + e.what(), "Error", Icon::Error);
        }
    }
    if (station_)
        put_on_record(pending);
    // Told once the chip is kept: in the store, or in the spool until the store is back.
    if (chip_finished)
        chip_finished(r);
    chips_recorded = chips_recorded.get() + 1;
}

void Session::put_on_record(PendingChip& pending) {
    try {
        while_processing_events(env_.loop,
                                [&] { station_->record(pending.record, pending.reservation); });
    } catch (const StoreError& e) {
        tap_.show_message(std::string("The chip could not be put on record: ") + e.what(), "Error",
                          Icon::Error);
    }
    if (!station_->stopping())
        return;
    // This board takes no more chips; its loop ends once the chip is taken out.
    CloseRequested = true;
    announce_stop();
}

// Why the station stops is told once, by whichever board comes first.
void Session::announce_stop() {
    if (station_ && station_->take_stop_announcement())
        tap_.show_message(station_->stop_reason(), "Error", Icon::Error);
}

bool Session::station_ready() {
    if (!station_ || !station_->stopping())
        return true;
    // A click while the store is being won back waits for that, and takes no chip itself.
    if (winning_store_back_)
        return false;
    winning_store_back_ = true;
    const bool resumed = while_processing_events(env_.loop, [this] { return station_->resume(); });
    winning_store_back_ = false;
    if (resumed)
        return true;
    env_.op.show_message(station_->stop_reason(), "Error", Icon::Error);
    return false;
}

bool Session::blank_image_confirmed() {
    if (!ask_before_blank_image || !image_is_blank(chip_, buffer))
        return true;
    return env_.op.ask_yes_no(kBlankImageQuestion, texts::kInformation);
}

void Session::program_command() {
    // A click while an operation runs is ignored, and must not take a number.
    if (link_.Busy || !station_ready() || !blank_image_confirmed())
        return;
    PendingChip pending = begin_chip_record();
    ChipContext ctx = chip_context();
    bool left = false; // untouched: no record
    ctx.begin_chip = [&] {
        const ChipStart start = start_chip(pending);
        left = start == ChipStart::leave;
        return start;
    };
    // Recorded before the result is counted and shown, which may wait for the person.
    bool recorded = false;
    ctx.programmed = [&](bool passed) {
        finish_chip_record(pending, passed ? ChipResult::passed : ChipResult::failed);
        restore_preserved();
        recorded = true;
    };
    // Also on record: a chip whose set-up or ID check failed.
    if (zz::program_command(ctx) && !recorded && !left)
        finish_chip_record(pending, ChipResult::failed);
}

void Session::production_log_command(const std::function<std::string()>& choose_file) {
    Flag& item = flags.N_prodlog;
    if (item.checked) {
        item.checked = false;
        production_log.reset();
        return;
    }
    const std::string file = production_log_file.empty() ? choose_file() : production_log_file;
    if (file.empty())
        return;
    try {
        production_log = std::make_shared<const ProductionLog>(file);
    } catch (const std::exception& e) {
        env_.op.show_message(std::string("Production log: ") + e.what(), "Error", Icon::Error);
        production_log_file.clear(); // the next tick asks for another file
        return;
    }
    production_log_file = file;
    item.checked = true;
}

} // namespace zz
