#pragma once

#include "base/observable.h"
#include "device/buffer.h"
#include "device/chip_params.h"
#include "link/link.h"
#include "ops/ops_texts.h"

#include <functional>
#include <string>

namespace zz {

// The option check marks that the chip operations read; owned by the session.
struct OpsFlags {
    Flag& n_calchip; // "&Preserve OSCCAL calibration value"
    Flag& n36;       // "Write finish again verify once "
    Flag& N32;       // "Do not check chip type during program"
    Flag& N33;       // "Do not show dialog box after finish programmed"
    Flag& CheckBox_blank;
    Flag& CheckBox_erase;
    Flag& CheckBox_wr_ee;
    Flag& CheckBox_wr_rom;
    Flag& CheckBox_wr_id;
};

// Results the operations keep between commands: the blank-check verdicts and the statistics.
struct ChipState {
    bool IdErased = false;
    bool ConfigErased = false;
    bool RomErased = false;
    bool EepromErased = false;
    Value<std::string> lab_pass{"Pass:0000"};
    Value<std::string> lab_error{"Fail:0000"};
    Value<std::string> Lab_aim{"Target:9999"};
    // The device ID of the chip in the socket as last read (masked_device_id); empty until then.
    std::string device_id_read;
};

// What happens to a chip once it is set up and its device ID checked.
enum class ChipStart {
    program, // its program steps run
    fail,    // it must not be programmed (the reason shown): it counts as a failed chip
    leave,   // it is not touched and does not count: the run is over (a job's last chip is done)
};

// Everything a chip operation works with: the link to the board, the selected chip, the buffer,
// the options and the kept results.
struct ChipContext {
    Link& link;
    const ChipParams& chip;
    Buffer& buffer;
    OpsFlags flags;
    ChipState& state;
    // Runs after each passed chip of the Program command: the serial-number step.
    std::function<void()> after_pass;
    // Runs when a chip's program steps have ended, before the result is counted and shown: the
    // end of its production record. May be empty.
    std::function<void(bool passed)> programmed = {};
    // Runs just before a chip's program steps, once the board is set up and the chip's device ID
    // checked: the chip's serial number, what is kept of it. May be empty.
    std::function<ChipStart()> begin_chip = {};

    Loop& loop() { return link.loop(); }
    Operator& op() { return link.op(); }
    // Sets the status line and lets the window show it.
    void status(const std::string& text) {
        link.status.Label11 = text;
        link.loop().process_events();
    }
    void progress(int position, int max) {
        link.status.progress_max = max;
        link.status.progress_position = position;
    }
    // Model 4's messages about a chip that cannot be programmed go on with its checklist of the
    // power switch and jumpers.
    std::string with_checklist(std::string text) const {
        if (link.ProgrammerModel == 4)
            text += texts::kModel4Checklist;
        return text;
    }
    // Chips with two or seven configuration words show the second one.
    bool lab_fuse2_enabled() const { return chip.FuseWordCount >= 2; }
    // The last program word holds the calibration word and the operator wants it kept.
    bool preserve_osccal() const { return chip.CALword && flags.n_calchip; }
};

} // namespace zz
