#pragma once

#include "app/close_request_watch.h"
#include "app/control_states.h"
#include "app/failure_tap.h"
#include "app/option_flags.h"
#include "records/production_log.h"
#include "files/serial_number.h"
#include "app/settings_file.h"
#include "app/station.h"
#include "base/loop.h"
#include "base/observable.h"
#include "base/operator.h"
#include "base/timer.h"
#include "base/version.h"
#include "device/buffer.h"
#include "device/chip_database.h"
#include "device/chip_params.h"
#include "dialogs/fuse/fuse_command.h"
#include "files/grid_layout.h"
#include "files/hex_import.h"
#include "link/board_discovery.h"
#include "link/link.h"
#include "link/port.h"
#include "ops/auto_program.h"
#include "ops/chip_context.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// What a session runs on: the clock, the person, the line to the board and the files.
struct SessionEnv {
    Loop& loop;
    Operator& op;
    Port& port;
    std::filesystem::path data_dir;
    std::filesystem::path settings_file;         // empty: settings are neither read nor written
    BoardDiscovery::PortLister port_lister = {}; // the ports a search probes
    // The port is the virtual board: its name replaces the stored port for this run only.
    bool virtual_board = false;
};

// The application's state and commands, independent of any front end: the selected chip and its
// buffer, the option flags and enabled states of the window, the link to the board, the chip
// commands, start-up and shutdown with the settings file, and the file watch.
class Session {
public:
    static constexpr std::string_view kCaption = "ZE-ZUZU V" ZZ_VERSION;
    static constexpr int kFileWatchMs = 1000;
    // How long the board may take to answer the "01" that ends an operation (its watchdog).
    static constexpr int kBoardIdleMs = 2500;

    explicit Session(SessionEnv env);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- chip selection ---
    const ChipDatabase& database() const { return database_; }
    // Written only by chip_changed().
    const ChipParams& chip() const { return chip_; }
    // The chip family selector changed: fill the chip list and select the family's default.
    void family_changed();
    // The chip selector changed: load the chip named by ComboBox1 and arrange the window for it.
    void chip_changed();
    // Blank configuration-word, ID and checksum displays; the caption without a file name.
    void clrwindows();
    // Applies ProgrammerModel: the chip list of the family, the chip selection, the menus.
    void program_type();
    // "Select Programmer": model 1 ... 4.
    void select_model(int model);
    // "&ICSP Mode".
    void icsp_command();
    // "&Cal Program Options": the calibration value comes from the chip ("&Preserve OSCCAL
    // calibration value") or from the buffer ("&Use File"); choosing one unticks the other.
    void calibration_source_command(bool from_chip);

    // --- start-up, shutdown, file watch ---
    void startup();
    // The window is asked to close: waits end, and restarts stop.
    void close_requested();
    // The window goes away: the settings are written and the file watch stops.
    void shutdown();
    void file_watch_tick();

    // --- commands ---
    void load_command(const std::string& chosen_path); // empty: the dialog was cancelled
    void save_command(const std::string& chosen_path);
    void calc_checksum_command(); // "Calc Checksum"
    void read_command();
    void erase_command();
    void blank_check_command();
    void rom_command();
    void eeprom_command();
    void fuse_id_command();
    void verify_command();
    // "&Program", with the statistics, the serial number and the production record.
    void program_command();
    // Program and Auto Program ask first when the buffer holds no data (the chip would be left
    // blank); the command line, which warns instead, turns the question off.
    bool ask_before_blank_image = true;
    void reset_statistics();
    // "&Auto Program" (N_autoprog): arms or disarms the production loop.
    void auto_program_menu_command();
    // Arms the production loop with the menu item's notices: the one for a one-time-programmable
    // chip, and the ICSP caution when `icsp_caution` (the menu always gives it; the command line
    // only in ICSP mode).
    void arm_auto_program(bool icsp_caution);
    // "Auto Program" / "Stop" (Button10): runs the production loop, each chip with its serial
    // number (reserved, when chosen) and production record; a click while it runs stops it.
    AutoProgramResult auto_program_command(const AutoProgramHooks& hooks = {});
    // "&Protocol": the board's hardware version, kept in firmware_version.
    void hardware_version_command();
    void port_changed();             // the port selector's text changed
    void turn_serial_off_command();  // "&Turn Serial Off"
    void reset_programmer_command(); // "&Reset Programmer"
    void auto_find_command();        // "Auto &Find Board/Reconnect hardware"
    // "Download Operating System / Upgrade Firmware" from `image`, by default the model's image
    // in the data folder (firmware_image_file). True when the board runs the new firmware. With a
    // chosen model, only a board of that model is upgraded.
    bool firmware_upgrade_command(const std::filesystem::path& image = {});
    // Where the model's firmware image is looked for; empty for a model without an upgrade.
    std::filesystem::path firmware_image_file() const;
    // The programmer model the person chose in this session ("Select Programmer", --model, or a
    // board search they started). The search at start-up changes ProgrammerModel to follow the
    // board, but not this: a firmware upgrade goes only to a board of the chosen model.
    std::optional<int> chosen_model;

    Link& link() { return link_; }
    BoardDiscovery& discovery() { return discovery_; }
    ChipContext chip_context();
    // The fuse editor's view of the selected chip and its buffer.
    FuseTarget fuse_target() { return FuseTarget{link_, chip_, buffer, ComboBox1}; }

    Buffer buffer;
    OptionFlags flags;
    ControlStates controls;
    Value<std::string> ComboBox2{"All Chip"}; // chip family
    Value<std::string> ComboBox1{"16F877A"};  // chip name
    Value<std::vector<std::string>> ComboBox1_items;
    Value<std::string> caption{std::string(kCaption)};
    Value<GridLayout> grid{grid_layout(ChipParams{})};
    // The programmer model menu: N_TYPE_310, N_TYPE_320, N_TYPE_330, KT3001.
    std::array<Flag, 4> model_items{Flag{false}, Flag{false}, Flag{false}, Flag{false}};
    Value<bool> N23{true};     // "Download Operating System / Upgrade Firmware"
    Value<bool> N22{true};     // "View Device &Position"
    Value<std::string> Label4; // the notice line
    ChipState statistics;      // blank-check verdicts and the Pass/Fail/Target texts
    AppSettings settings;      // what the settings file holds, as of start-up
    std::string CurrentFileName;
    bool CloseRequested = false;
    // Reports of a chip in the socket the production loop waits for ("chip_in_time").
    int ChipInSocketTime = 1;
    bool SuppressChipPositionOnce = false;
    // Shows the chip position dialog modally.
    std::function<void()> show_chip_position;
    // The serial-number step after each passed chip: serial_after_pass.
    std::function<void()> after_pass;

    // --- serial numbers and the production record (session_serial.cpp) ---
    // The serial-number settings while the program runs; whether numbering is on is
    // buffer.SerialNumberEnabled. Read from the settings file at start-up, written at exit.
    Value<SerialSettings> serial_settings;
    // With numbering on, each chip takes its number from the current file just before it is
    // programmed (reserve_serial_number) instead of the buffer advancing after each pass, so
    // several programs numbering from one file share one sequence.
    bool reserve_serial_numbers = false;
    // Where each finished chip is recorded; null: nowhere. May be shared with other sessions.
    std::shared_ptr<const ProductionLog> production_log;
    // The file "Production Log" writes to, chosen once; kept in the settings file.
    std::string production_log_file;
    // Advances the number once with the current settings (TEST, and after a pass).
    void ser_inc();
    // After a passed chip with numbering on: ser_inc, then with inc_save the buffer goes to the
    // current file (12-, 14- and 16-bit cores) and the file watch is re-armed. Nothing when the
    // numbers are reserved (in the file or the sequence).
    void serial_after_pass();
    // Takes the next number from the current file into the buffer (see reserve_serial_numbers);
    // false, with the reason shown, when the file cannot be locked, read or saved.
    bool reserve_serial_number();

    // --- the station and each chip's record (session_records.cpp) ---
    // "Take numbers from the shared sequence": with numbering on, each chip's number is reserved
    // in the station's store from sequence `sequence_name` just before the chip is programmed,
    // and written into the buffer; the buffer does not advance and the image file is left alone.
    Value<bool> use_sequence{false};
    Value<std::string> sequence_name;
    // The board's firmware version as "&Protocol" last read it; empty while not known.
    std::string firmware_version;
    // A station's board: its firmware version is asked once when the board is found (and again
    // when another port is chosen), so that every record names it.
    void ask_firmware_when_found();
    // Asks the board for its firmware version now, without a message, unless an operation runs
    // or it is known.
    void learn_firmware_version();
    // How many chips this session has put on record: a view of the records follows it.
    Value<int> chips_recorded{0};
    // The station this session works for (null: none): its chips go on record in the station's
    // store, and its stop ends the production loop after the current chip.
    void set_station(Station* station);
    Station* station() const { return station_; }
    // The production record of one chip: begun just before the chip is programmed (the clock,
    // the failure remembered so far cleared), given its number, finished as soon as its steps
    // have ended with the result and the failure the person was shown: into the log, when there
    // is one, and the station's store. A log or store that cannot be written is reported.
    PendingChip begin_chip_record();
    // The chip's number (from the station's sequence, or reserved in the image file, when these
    // are chosen) and its place within the job's quantity. Whether the chip may be programmed;
    // a refusal has been shown.
    ChipStart take_chip_number(PendingChip& pending);
    // The chip's number, then its preserved ranges read: what begin_chip runs.
    ChipStart start_chip(PendingChip& pending);
    void finish_chip_record(PendingChip& pending, ChipResult result);
    // Told of each finished record, wherever it goes.
    std::function<void(const ChipRecord&)> chip_finished;
    // --- production jobs (session_job.cpp) ---
    // Runs the job: its model, chip, image, steps and modes, serial numbers and sequence, each
    // chip on record against it, its preserved ranges kept; locks what could change them
    // (job_locked). False, with the reason shown, when the job cannot run here.
    bool use_job(std::shared_ptr<const RunningJob> job);
    // Operator mode ends: the controls are free again, and chips are no longer the job's.
    void leave_job();
    const RunningJob* job() const { return job_.get(); }
    // Operator mode: only Program, Auto Program, the statistics and the records are live; the
    // commands that could change what the job says do nothing.
    Value<bool> job_locked{false};
    // Reads the job's preserved ranges from the chip into the buffer, before it is erased.
    ChipStart keep_preserved(PendingChip& pending);
    // The image's own cells back in the preserved ranges, for the next chip.
    void restore_preserved();

    // "Production Log": ticking it opens the log, asking for the file (`choose_file`, empty when
    // cancelled) the first time; unticking closes it.
    void production_log_command(const std::function<std::string()>& choose_file);

private:
    void apply_memory_kind();
    void apply_options();
    void offer_chip_position();
    void apply_model_menus();
    void check_model_item(int model);
    LoadResult load_current_file();
    void arm_file_watch();
    void read_settings();
    void write_settings();
    void run_chip_command(void (*command)(ChipContext&));
    void describe_chip(ChipRecord& record);
    void describe_number(ChipRecord& record, bool taken);
    ChipStart claim_in_store(PendingChip& pending, const std::optional<JobQuota>& quota);
    ChipStart write_sequence_number(PendingChip& pending);
    bool wait_for_quota(const std::string& why, std::chrono::steady_clock::time_point deadline);
    ChipStart quota_refused(const QuotaReached& refusal);
    ChipStart quota_wait_ended(const QuotaReached& refusal);
    void select_job_chip(const Job& job);
    void apply_job_options(const Job& job);
    bool locked_by_job() const;
    void put_on_record(PendingChip& pending);
    void announce_stop();
    // No chip while the station is stopping, unless its store can be won back.
    bool station_ready();
    void save_serial_number();
    bool blank_image_confirmed();

    SessionEnv env_;
    FailureTap tap_; // between the link and the person
    ChipDatabase database_;
    ChipParams chip_;
    Link link_;
    BoardDiscovery discovery_;
    Timer file_watch_;
    std::filesystem::file_time_type watched_time_{};
    Station* station_ = nullptr;
    std::shared_ptr<const RunningJob> job_;
    std::vector<std::string> preserved_image_; // the image's cells of the preserved ranges
    // How long a chip waits for the job's last chips on other boards (ms), how often it asks.
    static constexpr auto kQuotaWait = std::chrono::minutes(10);
    static constexpr int kQuotaRetryMs = 500;
    static constexpr int kQuotaPollMs = 50;
    static constexpr int kQuotaPauseMs = 5;
    std::unique_ptr<CloseRequestWatch> station_watch_; // the station's stop
    bool winning_store_back_ = false; // station_ready() waits for the store
    Timer firmware_ask_;          // asks as soon as no operation runs
    bool asks_firmware_ = false;  // ask_firmware_when_found()
    bool firmware_asked_ = false; // for this board: asked once, answered or not

public:
    Value<int>& ProgrammerModel; // the link's: it selects the identity the board must announce
};

} // namespace zz
