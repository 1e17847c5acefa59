// Serial numbers in the buffer and the production record of each chip.
#include "app/serial_reservation.h"
#include "app/session.h"
#include "base/hex_text.h"
#include "files/blank_image.h"
#include "files/checksum.h"
#include "files/file_commands.h"
#include "files/image_export.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"
#include "ops/chip_commands.h"

namespace zz {

namespace {
constexpr const char* kBlankImageQuestion =
    "The image holds no data: the chip will be left blank.\r\nProgram it anyway?";

// A failure shown over several lines is kept on one line of the record.
std::string one_line(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        const auto first = line.find_first_not_of(" \r");
        if (first != std::string::npos) {
            const auto last = line.find_last_not_of(" \r");
            out += (out.empty() ? "" : " ") + line.substr(first, last - first + 1);
        }
        start = end + 1;
    }
    return out;
}
} // namespace

void Session::ser_inc() {
    zz::ser_inc(chip_, buffer, serial_settings);
    // The ID is a label: let the window show the new one.
    if (serial_region(serial_settings) == SerialRegion::id)
        pump_delay(env_.loop, 1);
}

void Session::serial_after_pass() {
    if (!buffer.SerialNumberEnabled || reserve_serial_numbers)
        return;
    ser_inc();
    if (serial_settings.get().inc_save && serial_save_possible(chip_))
        save_serial_number();
}

void Session::save_serial_number() {
    try {
        export_image_file(chip_, buffer, CurrentFileName);
    } catch (const std::exception& e) {
        // The next chip would get this number again from the file: say so.
        tap_.show_message(save_error_text(e), "Error", Icon::Error);
    }
    arm_file_watch();
}

bool Session::reserve_serial_number() {
    try {
        zz::reserve_serial_number(chip_, buffer, serial_settings, CurrentFileName);
        return true;
    } catch (const std::exception& e) {
        tap_.show_message("No serial number taken from " + CurrentFileName + ": " + e.what(),
                          "Error", Icon::Error);
        return false;
    }
}

void Session::describe_chip(ProductionRecord& r) {
    const ProgrammerModelInfo* model = programmer_model(ProgrammerModel);
    r.model = model ? std::string(model->menu_caption) : std::to_string(ProgrammerModel.get());
    r.port = link_.port().name();
    r.chip = ComboBox1.get();
    r.image = CurrentFileName;
    r.checksum = "0x" + to_hex(buffer_checksum(chip_, buffer), 4);
    r.serial = buffer.SerialNumberEnabled ? serial_text(chip_, buffer, serial_settings) : "";
}

PendingRecord Session::begin_chip_record() {
    tap_.clear();
    PendingRecord pending;
    pending.started_ms = env_.loop.now_ms();
    describe_chip(pending.record);
    return pending;
}

void Session::finish_chip_record(PendingRecord& pending, bool passed) {
    const std::int64_t ended_ms = env_.loop.now_ms();
    ProductionRecord& r = pending.record;
    r.time = iso_local_time(std::chrono::system_clock::now());
    r.passed = passed;
    r.message = passed ? "" : one_line(tap_.failure());
    r.elapsed_ms = ended_ms - pending.started_ms;
    if (chip_finished)
        chip_finished(r);
    if (!production_log)
        return;
    try {
        production_log->append(r);
    } catch (const std::exception& e) {
        tap_.show_message(std::string("Production log: ") + e.what(), "Error", Icon::Error);
    }
}

bool Session::blank_image_confirmed() {
    if (!ask_before_blank_image || !image_is_blank(chip_, buffer))
        return true;
    return env_.op.ask_yes_no(kBlankImageQuestion, texts::kInformation);
}

void Session::program_command() {
    // A click while an operation runs is ignored, and must not take a number.
    if (link_.Busy || !blank_image_confirmed())
        return;
    PendingRecord pending = begin_chip_record();
    const bool reserve = buffer.SerialNumberEnabled && reserve_serial_numbers;
    if (reserve) {
        if (!reserve_serial_number()) {
            pending.record.serial.clear();
            finish_chip_record(pending, false);
            return;
        }
        describe_chip(pending.record);
    }
    ChipContext ctx = chip_context();
    // Recorded before the result is counted and shown, which may wait for the person.
    bool recorded = false;
    ctx.programmed = [&](bool passed) {
        finish_chip_record(pending, passed);
        recorded = true;
    };
    // Also on record: a chip whose set-up or ID check failed, and a reserved number whose
    // command was refused (the number is used up).
    if ((zz::program_command(ctx) || reserve) && !recorded)
        finish_chip_record(pending, false);
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
