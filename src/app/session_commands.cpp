// The commands of the window, each handed to the part of the core that carries it out.
#include "app/session.h"
#include "files/checksum.h"
#include "files/file_commands.h"
#include "link/hardware_version.h"
#include "ops/chip_commands.h"

namespace zz {

namespace {
FileCommandContext file_context(Session& s, const ChipParams& chip, const std::string& path,
                                std::string& current, std::function<void()> arm) {
    return FileCommandContext{s.link().Busy,
                              path,
                              chip,
                              s.buffer,
                              current,
                              s.caption,
                              s.link().op(),
                              std::move(arm),
                              [&s](std::string_view warning) {
                                  s.link().status.Label11 = std::string(warning);
                              },
                              [&s] { s.link().loop().process_events(); }};
}
} // namespace

void Session::load_command(const std::string& chosen_path) {
    if (locked_by_job())
        return;
    auto ctx = file_context(*this, chip_, chosen_path, CurrentFileName, [this] { arm_file_watch(); });
    zz::load_command(ctx);
}

void Session::save_command(const std::string& chosen_path) {
    if (locked_by_job())
        return;
    auto ctx = file_context(*this, chip_, chosen_path, CurrentFileName, [this] { arm_file_watch(); });
    zz::save_command(ctx);
}

void Session::calc_checksum_command() {
    calc_checksum(chip_, buffer);
    env_.op.show_message("Current buffer " + buffer.lab_checksum.get(), "Information",
                         Icon::Information);
}

void Session::run_chip_command(void (*command)(ChipContext&)) {
    // A read or a single step would change the job's buffer or chips outside the job.
    if (locked_by_job())
        return;
    ChipContext ctx = chip_context();
    command(ctx);
}

void Session::read_command() { run_chip_command(zz::read_command); }
void Session::erase_command() { run_chip_command(zz::erase_command); }
void Session::blank_check_command() { run_chip_command(zz::blank_check_command); }
void Session::rom_command() { run_chip_command(zz::rom_command); }
void Session::eeprom_command() { run_chip_command(zz::eeprom_command); }
void Session::fuse_id_command() { run_chip_command(zz::fuse_id_command); }
void Session::verify_command() { run_chip_command(zz::verify_command); }

void Session::reset_statistics() {
    zz::reset_statistics(statistics);
}

void Session::hardware_version_command() {
    if (std::string version = zz::hardware_version_command(link_); !version.empty())
        firmware_version = std::move(version);
}

void Session::ask_firmware_when_found() {
    asks_firmware_ = true;
    if (link_.BoardReady)
        learn_firmware_version();
}

void Session::learn_firmware_version() {
    if (link_.Busy)
        return; // the timer asks again on its next tick
    firmware_ask_.stop();
    if (firmware_asked_ || !firmware_version.empty())
        return;
    firmware_asked_ = true;
    firmware_version = zz::hardware_version_command(link_, false);
    // The query ends with "01": the next command finds the board ready once it has answered.
    pump_until(env_.loop, kBoardIdleMs, [this] { return !link_.Timer1.enabled(); });
}

void Session::port_changed() {
    firmware_version.clear(); // another port may have another board
    firmware_asked_ = false;
    discovery_.cmbbxcomnumChange();
}

void Session::turn_serial_off_command() {
    discovery_.N18Click();
}

void Session::reset_programmer_command() {
    discovery_.N16Click();
}

void Session::auto_find_command() {
    discovery_.N29Click();
}

} // namespace zz
