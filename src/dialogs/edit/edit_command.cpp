#include "dialogs/edit/edit_command.h"

#include "files/checksum.h"

namespace zz {

void edit_buffer_command(const Value<bool>& Busy, const ChipParams& chip, Buffer& buffer,
                         const std::function<void()>& show_dialog) {
    if (Busy)
        return;
    show_dialog();
    take_edited_images(chip, buffer);
}

void take_edited_images(const ChipParams& chip, Buffer& buffer) {
    buffer.str_rom_to_buffer();
    if (chip.EEPROMsize != 0)
        buffer.str_eeprom_to_buffer();
    calc_checksum(chip, buffer);
}

} // namespace zz
