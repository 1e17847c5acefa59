// Start-up, shutdown and the watch that reloads the current file when it changes on disk.
#include "app/session.h"
#include "files/checksum.h"
#include "files/hex_import.h"

#include <system_error>

namespace zz {

namespace {
constexpr const char* kNotice =
    "ZE-ZUZU: choose the programmer, the port and the chip; load a file; then Program.";
}

void Session::read_settings() {
    if (!env_.settings_file.empty())
        settings = load_settings(env_.settings_file);
    ComboBox1 = settings.chip_type;
    ComboBox2 = settings.chip_mode;
    link_.status.progress_max = 32;
    link_.status.progress_position = 0;
    CurrentFileName = settings.filename;
    const auto& ports = discovery_.selector.items.get();
    if (!ports.empty())
        discovery_.selector.text = ports.front();
    discovery_.selector.text = env_.virtual_board ? env_.port.name() : settings.COM;
    ProgrammerModel = settings.prog_type;
    flags.N31.checked = settings.mute;
    flags.N33.checked = settings.fast;
    flags.N35.checked = settings.n35;
    ChipInSocketTime = settings.chip_in_time;
    serial_settings = serial_settings_of(settings);
    // Numbering stays on only until the chip selection of start-up blanks the buffer.
    buffer.SerialNumberEnabled = settings.inc_enabled;
    production_log_file = settings.prod_log;
    use_sequence = settings.use_sequence;
    sequence_name = settings.sequence;
}

void Session::startup() {
    link_.Busy = false;
    SuppressChipPositionOnce = true;
    discovery_.test_com();
    read_settings();

    Port& port = env_.port;
    port.set_name(discovery_.selector.text);
    link_.status.Label5 = discovery_.selector.text.get();
    port.set_dtr(DtrControl::Disable);
    link_.BoardReady = false;
    try {
        port.open();
    } catch (const CommError&) {
        // The first operation or the watchdog reports a board that cannot be reached.
    }
    program_type();
    caption = std::string(kCaption) + "  " + CurrentFileName;
    std::string load_warning;
    if (!CurrentFileName.empty()) {
        const LoadResult loaded = load_current_file();
        if (loaded.ok)
            arm_file_watch();
        else
            caption = std::string(kCaption);
        load_warning = loaded.warning;
    }

    link_.CollectReplies = false;
    controls.Button10 = false;
    buffer.SavedOsccal = "00";
    SuppressChipPositionOnce = false;
    link_.AppClosing = false;
    // A board that restarts as its port opens (a pseudo-terminal has no DTR line) may have
    // announced itself and become ready already; its handshake stands.
    link_.StartupSearchPending = !link_.BoardReady;
    pump_delay(env_.loop, 15);
    port.set_dtr(DtrControl::Enable);
    link_.watch_for_announcement();
    // The board's greeting soon overwrites the status line; the notice line keeps the warning.
    Label4 = load_warning.empty() ? std::string(kNotice) : load_warning;
}

// Loads the current file over the buffer as it is (no blanking: the caller decides), lets the
// window show it and recomputes the checksum. A warning (damaged records, dropped data) goes to
// the status line.
LoadResult Session::load_current_file() {
    const LoadResult result = read_image_file(chip_, buffer, CurrentFileName);
    if (!result.warning.empty())
        link_.status.Label11 = result.warning;
    env_.loop.process_events();
    calc_checksum(chip_, buffer);
    return result;
}

void Session::arm_file_watch() {
    std::error_code ec;
    watched_time_ = std::filesystem::last_write_time(CurrentFileName, ec);
    file_watch_.start();
}

void Session::file_watch_tick() {
    if (CurrentFileName.empty() || !flags.N35)
        return;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(CurrentFileName, ec);
    if (ec || time == watched_time_)
        return;
    load_current_file();
    watched_time_ = time;
}

void Session::close_requested() {
    CloseRequested = true;
    link_.AppClosing = true;
}

void Session::write_settings() {
    if (env_.settings_file.empty())
        return;
    AppSettings s = settings;
    // The virtual board is chosen for one run; the stored port stays the real one.
    if (!env_.virtual_board)
        s.COM = discovery_.selector.text;
    s.mute = flags.N31;
    s.fast = flags.N33;
    s.n35 = flags.N35;
    s.chip_in_time = ChipInSocketTime;
    s.prod_log = production_log_file;
    // A job's chip, image and numbering are the job's: the window's own stay as they were.
    if (!job_) {
        s.chip_mode = ComboBox2;
        s.chip_type = ComboBox1;
        s.filename = CurrentFileName;
        s.prog_type = ProgrammerModel;
        store_serial_settings(s, serial_settings);
        s.inc_enabled = buffer.SerialNumberEnabled;
        s.use_sequence = use_sequence;
        s.sequence = sequence_name;
    }
    save_settings(env_.settings_file, s);
}

void Session::shutdown() {
    try {
        write_settings();
    } catch (const std::exception& e) {
        env_.op.show_message(std::string("The settings could not be saved:\n") + e.what(), "Error",
                             Icon::Error);
    }
    file_watch_.stop();
}

} // namespace zz
