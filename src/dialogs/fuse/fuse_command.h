#pragma once

#include "base/observable.h"
#include "device/buffer.h"
#include "device/chip_params.h"
#include "dialogs/fuse/fuse_editor.h"
#include "link/link.h"

#include <functional>
#include <set>
#include <string>

namespace zz {

// What the fuse editor works on: the selected chip (by its parameters and its name), its buffer,
// and the link whose Busy flag, clock and person it shares.
struct FuseTarget {
    Link& link;
    const ChipParams& chip;
    Buffer& buffer;
    const Value<std::string>& chip_name;
};

// The "Fuses" button and "&View/Edit Fuses And ID": the fuse editor over the selected chip and
// its buffer. Lives as long as the window (or the command line run) that offers it.
class FuseCommand {
public:
    explicit FuseCommand(FuseTarget target) : target_(target) {}

    // Does nothing while an operation runs or for a serial EEPROM. Otherwise builds the editor,
    // warns once per chip about fuse lines it cannot read, and hands the editor to `show`, which
    // ends with its ok() or without (Cancel). Afterwards, either way: the BandGap label from
    // configuration word 1, pending events once, and the checksum.
    void run(const std::function<void(FuseEditor&)>& show);

private:
    void warn_unreadable(const FuseEditor& editor);
    void after_close();

    FuseTarget target_;
    std::set<std::string> warned_; // model and chip name
};

// After the editor closes: the BandGap label of a chip with BandGap bits from word 1.
void show_bandgap_of_word1(const ChipParams& chip, Buffer& buffer);

} // namespace zz
