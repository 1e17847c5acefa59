#pragma once

#include "app/control_states.h"
#include "app/option_flags.h"
#include "app/settings_file.h"
#include "base/loop.h"
#include "base/observable.h"
#include "base/operator.h"
#include "base/timer.h"
#include "base/version.h"
#include "device/buffer.h"
#include "device/chip_database.h"
#include "device/chip_params.h"
#include "files/grid_layout.h"
#include "link/board_discovery.h"
#include "link/link.h"
#include "link/port.h"
#include "ops/chip_context.h"

#include <array>
#include <filesystem>
#include <functional>
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
    std::filesystem::path settings_file;          // empty: settings are neither read nor written
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
    void program_command();
    void reset_statistics();
    void hardware_version_command();
    void port_changed();              // the port selector's text changed
    void turn_serial_off_command();   // "&Turn Serial Off"
    void reset_programmer_command();  // "&Reset Programmer"
    void auto_find_command();         // "Auto &Find Board/Reconnect hardware"

    Link& link() { return link_; }
    BoardDiscovery& discovery() { return discovery_; }
    ChipContext chip_context();

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
    Value<bool> N23{true}; // "Download Operating System / Upgrade Firmware"
    Value<bool> N22{true}; // "View Device &Position"
    Value<std::string> Label4; // the notice line
    ChipState statistics;      // blank-check verdicts and the Pass/Fail/Target texts
    AppSettings settings;      // what the settings file holds, as of start-up
    std::string CurrentFileName;
    bool CloseRequested = false;
    bool SuppressChipPositionOnce = false;
    // Shows the chip position dialog modally.
    std::function<void()> show_chip_position;
    // The serial-number step after each passed chip; filled in by serial numbering.
    std::function<void()> after_pass;

private:
    void apply_memory_kind();
    void apply_options();
    void offer_chip_position();
    void apply_model_menus();
    void check_model_item(int model);
    bool load_current_file();
    void arm_file_watch();
    void read_settings();
    void write_settings();
    void run_chip_command(void (*command)(ChipContext&));

    SessionEnv env_;
    ChipDatabase database_;
    ChipParams chip_;
    Link link_;
    BoardDiscovery discovery_;
    Timer file_watch_;
    std::filesystem::file_time_type watched_time_{};

public:
    Value<int>& ProgrammerModel; // the link's: it selects the identity the board must announce
};

} // namespace zz
