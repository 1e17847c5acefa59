// Serial numbers in the buffer, advanced after each pass or reserved in the image file.
#include "app/serial_reservation.h"
#include "app/session.h"
#include "files/file_commands.h"
#include "files/image_export.h"

namespace zz {

void Session::ser_inc() {
    zz::ser_inc(chip_, buffer, serial_settings);
    // The ID is a label: let the window show the new one.
    if (serial_region(serial_settings) == SerialRegion::id)
        pump_delay(env_.loop, 1);
}

void Session::serial_after_pass() {
    if (!buffer.SerialNumberEnabled || reserve_serial_numbers || use_sequence)
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

} // namespace zz
