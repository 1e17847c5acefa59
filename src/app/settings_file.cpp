#include "app/settings_file.h"

#include "base/ini_profile.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace zz {

namespace {

// "a, b,,c" as {"a", "b", "c"}: blanks around a name and empty names are dropped.
std::vector<std::string> split_boards(const std::string& text) {
    std::vector<std::string> boards;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::size_t first = text.find_first_not_of(" \t", start);
        if (first < end) {
            const std::size_t last = text.find_last_not_of(" \t", end - 1);
            boards.push_back(text.substr(first, last - first + 1));
        }
        start = end + 1;
    }
    return boards;
}

std::string join_boards(const std::vector<std::string>& boards) {
    std::string text;
    for (const std::string& board : boards)
        text += (text.empty() ? "" : ",") + board;
    return text;
}

} // namespace

AppSettings load_settings(const std::filesystem::path& path) {
    const IniProfile ini = IniProfile::load(path);
    AppSettings d; // defaults
    AppSettings s;
    s.chip_type = ini.read_string("START", "chip_type", d.chip_type);
    s.chip_mode = ini.read_string("START", "chip_mode", d.chip_mode);
    s.filename = ini.read_string("START", "filename", d.filename);
    s.COM = ini.read_string("COMSET", "COM", d.COM);
    s.inc_start_add = ini.read_int("INC", "inc_start_add", d.inc_start_add);
    s.inc_end_add = ini.read_int("INC", "inc_end_add", d.inc_end_add);
    s.inc_step = ini.read_int("INC", "inc_step", d.inc_step);
    s.inc_enabled = ini.read_bool("INC", "inc_enabled", d.inc_enabled);
    s.inc_rom = ini.read_bool("INC", "inc_rom", d.inc_rom);
    s.inc_eeprom = ini.read_bool("INC", "inc_eeprom", d.inc_eeprom);
    s.inc_hiadd = ini.read_bool("INC", "inc_hiadd", d.inc_hiadd);
    s.inc_nohigh = ini.read_bool("INC", "inc_nohigh", d.inc_nohigh);
    s.inc_16bit = ini.read_bool("INC", "inc_16bit", d.inc_16bit);
    s.inc_save = ini.read_bool("INC", "inc_save", d.inc_save);
    s.prog_type = ini.read_int("START", "prog_type", d.prog_type);
    s.mute = ini.read_bool("START", "mute", d.mute);
    s.fast = ini.read_bool("START", "fast", d.fast);
    s.n35 = ini.read_bool("START", "n35", d.n35);
    s.chip_in_time = ini.read_int("START", "chip_in_time", d.chip_in_time);
    s.prod_log = ini.read_string("START", "prod_log", d.prod_log);
    s.records_db = ini.read_string("START", "records_db", d.records_db);
    s.station = ini.read_string("START", "station", d.station);
    s.use_sequence = ini.read_bool("START", "use_sequence", d.use_sequence);
    s.sequence = ini.read_string("START", "sequence", d.sequence);
    s.job = ini.read_string("START", "job", d.job);
    s.operator_name = ini.read_string("START", "operator", d.operator_name);
    s.lot = ini.read_string("START", "lot", d.lot);
    s.boards = split_boards(ini.read_string("START", "boards", ""));
    s.remote = ini.read_string("START", "remote", d.remote);
    s.remote_token_file = ini.read_string("START", "remote_token_file", d.remote_token_file);
    return s;
}

void save_settings(const std::filesystem::path& path, const AppSettings& s) {
    IniProfile ini = IniProfile::load(path);
    ini.write_string("COMSET", "COM", s.COM);
    ini.write_string("START", "chip_mode", s.chip_mode);
    ini.write_string("START", "chip_type", s.chip_type);
    ini.write_string("START", "filename", s.filename);
    ini.write_int("START", "prog_type", s.prog_type);
    ini.write_bool("START", "mute", s.mute);
    ini.write_bool("START", "fast", s.fast);
    ini.write_bool("START", "n35", s.n35);
    ini.write_int("START", "chip_in_time", s.chip_in_time);
    ini.write_string("START", "prod_log", s.prod_log);
    ini.write_string("START", "records_db", s.records_db);
    ini.write_string("START", "station", s.station);
    ini.write_bool("START", "use_sequence", s.use_sequence);
    ini.write_string("START", "sequence", s.sequence);
    ini.write_string("START", "job", s.job);
    ini.write_string("START", "operator", s.operator_name);
    ini.write_string("START", "lot", s.lot);
    ini.write_string("START", "boards", join_boards(s.boards));
    ini.write_string("START", "remote", s.remote);
    ini.write_string("START", "remote_token_file", s.remote_token_file);
    ini.write_int("INC", "inc_start_add", s.inc_start_add);
    ini.write_int("INC", "inc_end_add", s.inc_end_add);
    ini.write_int("INC", "inc_step", s.inc_step);
    ini.write_bool("INC", "inc_enabled", s.inc_enabled);
    ini.write_bool("INC", "inc_rom", s.inc_rom);
    ini.write_bool("INC", "inc_eeprom", s.inc_eeprom);
    ini.write_bool("INC", "inc_hiadd", s.inc_hiadd);
    ini.write_bool("INC", "inc_nohigh", s.inc_nohigh);
    ini.write_bool("INC", "inc_16bit", s.inc_16bit);
    ini.write_bool("INC", "inc_save", s.inc_save);
    ini.save(path);
}

namespace {
// Whether a file can be created in `dir`: tried for real, since permission bits do not tell
// about read-only mounts or system folders.
bool can_create_in(const std::filesystem::path& dir) {
    std::string probe = (dir / ".ze-zuzu-probe-XXXXXX").string();
    int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}
} // namespace

std::filesystem::path settings_path(const std::filesystem::path& program_dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path beside = program_dir / kSettingsFileName;
    if (fs::exists(beside, ec) || can_create_in(program_dir))
        return beside;
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = fs::path(home) / ".config";
    else
        return beside;
    const fs::path folder = config / "ze-zuzu";
    fs::create_directories(folder, ec);
    return folder / kSettingsFileName;
}

SerialSettings serial_settings_of(const AppSettings& a) {
    return SerialSettings{a.inc_start_add, a.inc_end_add, a.inc_step,  a.inc_rom, a.inc_eeprom,
                          a.inc_hiadd,     a.inc_nohigh,  a.inc_16bit, a.inc_save};
}

void store_serial_settings(AppSettings& a, const SerialSettings& s) {
    a.inc_start_add = s.inc_start_add;
    a.inc_end_add = s.inc_end_add;
    a.inc_step = s.inc_step;
    a.inc_rom = s.inc_rom;
    a.inc_eeprom = s.inc_eeprom;
    a.inc_hiadd = s.inc_hiadd;
    a.inc_nohigh = s.inc_nohigh;
    a.inc_16bit = s.inc_16bit;
    a.inc_save = s.inc_save;
}

} // namespace zz
