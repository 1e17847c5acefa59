#include "dialogs/fuse/fuse_command.h"

#include "device/bandgap.h"
#include "files/checksum.h"

namespace zz {

void FuseCommand::run(const std::function<void(FuseEditor&)>& show) {
    if (target_.link.Busy || target_.chip.is_serial_eeprom())
        return;
    {
        FuseEditor editor(target_.chip, target_.buffer);
        warn_unreadable(editor);
        show(editor);
    }
    after_close();
}

void FuseCommand::warn_unreadable(const FuseEditor& editor) {
    if (editor.unreadable_lines().empty())
        return;
    const std::string chip = target_.chip_name.get();
    if (!warned_.insert(std::to_string(target_.link.ProgrammerModel.get()) + "/" + chip).second)
        return;
    std::string lines;
    for (const int n : editor.unreadable_lines())
        lines += (lines.empty() ? "LIST" : ", LIST") + std::to_string(n);
    target_.link.op().show_message("The fuse lines " + lines + " of the chip " + chip +
                                          " cannot be read.\r\nThe fuse editor leaves them out.",
                                      "Warning", Icon::Warning);
}

void FuseCommand::after_close() {
    show_bandgap_of_word1(target_.chip, target_.buffer);
    pump_delay(target_.link.loop(), 0);
    calc_checksum(target_.chip, target_.buffer);
}

void show_bandgap_of_word1(const ChipParams& chip, Buffer& buffer) {
    if (!chip.BandGap)
        return;
    const std::string& word1 = buffer.lab_fuse(1).get();
    if (const std::string caption = bandgap_caption(word1.size() > 2 ? word1[2] : ' ');
        !caption.empty())
        buffer.lab_band = caption;
}

} // namespace zz
