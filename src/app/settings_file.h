#pragma once

#include "files/serial_number.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zz {

// What the settings file "ze-zuzu.ini" keeps between runs, with the first-run defaults.
struct AppSettings {
    std::string chip_type = "16F877A";
    std::string chip_mode = "All Chip";
    std::string filename;
    std::string COM = "COM1";
    std::int32_t inc_start_add = 0;
    std::int32_t inc_end_add = 0;
    std::int32_t inc_step = 1;
    bool inc_enabled = false;
    bool inc_rom = true;
    bool inc_eeprom = false;
    bool inc_hiadd = false;
    bool inc_nohigh = false;
    bool inc_16bit = true;
    bool inc_save = false;
    std::int32_t prog_type = 3;
    bool mute = true;
    bool fast = false;
    bool n35 = false;
    std::int32_t chip_in_time = 1;
    std::string prod_log; // the production log of the window's "Production Log"
    // The production records: the store's URI (empty: the default file), this station's name on
    // record (empty: the host name), and the serial sequence numbers come from when chosen.
    std::string records_db;
    std::string station;
    bool use_sequence = false; // "Take numbers from the shared sequence"
    std::string sequence;
    // A station that boots straight into production: the released job (NAME or NAME@REV) its
    // window opens in operator mode, who runs it, and the lot; empty job: none.
    std::string job;
    std::string operator_name; // key "operator"
    std::string lot;
    // The ports of the boards the window drives side by side (Option, "Boards..."); fewer than
    // two: the one-board window. Key "boards", comma-separated.
    std::vector<std::string> boards;
    // Option, "Remote Control...": where the station view listens for handlers and testers
    // ("unix:PATH" or "tcp:HOST:PORT"; empty: nowhere), and the token file an address beyond
    // this computer needs. Keys "remote" and "remote_token_file".
    std::string remote;
    std::string remote_token_file;

    bool operator==(const AppSettings&) const = default;
};

SerialSettings serial_settings_of(const AppSettings& settings);
// Writes the nine keys into `settings`; inc_enabled is the caller's.
void store_serial_settings(AppSettings& settings, const SerialSettings& serial);

inline constexpr const char* kSettingsFileName = "ze-zuzu.ini";

// Reads every key; a missing file, section or key, or a value that is not a number where one is
// expected, gives that key's default and loses nothing else.
AppSettings load_settings(const std::filesystem::path& path);
// Writes every key in the fixed order, keeping any other content of the file, through a
// temporary file and a rename. Throws std::runtime_error when the file cannot be written.
void save_settings(const std::filesystem::path& path, const AppSettings& settings);

// Where the settings file lives: beside the program when that folder already holds it or can be
// written (portable use), else in the user's configuration folder ($XDG_CONFIG_HOME/ze-zuzu, or
// ~/.config/ze-zuzu), which is created when needed.
std::filesystem::path settings_path(const std::filesystem::path& program_dir);

} // namespace zz
