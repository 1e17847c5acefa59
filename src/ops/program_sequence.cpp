#include "ops/program_sequence.h"

#include "link/link_texts.h"
#include "ops/erase_blank.h"
#include "ops/fuse_write.h"
#include "ops/ops_texts.h"
#include "ops/rom_eeprom_write.h"

#include <charconv>

namespace zz {

namespace {

std::string verdict_line(const char* area, bool erased) {
    return blank_verdict_line(area, erased) + "\r\n";
}

// A chip that is not blank and will not be erased goes on only when the operator says so.
bool blank_step(ChipContext& ctx) {
    if (!blank_chip(ctx))
        return false;
    const ChipState& s = ctx.state;
    const bool all_erased = s.IdErased && s.ConfigErased && s.RomErased && s.EepromErased;
    const bool will_erase = ctx.chip.FlashChip && ctx.flags.CheckBox_erase;
    if (all_erased || will_erase)
        return true;
    const std::string report =
        verdict_line("ID", s.IdErased) + verdict_line("config", s.ConfigErased) +
        verdict_line("ROM", s.RomErased) + verdict_line("EEPROM", s.EepromErased);
    ctx.link.signal_failure();
    return ctx.op().ask_yes_no(report + texts::kContinueProgram, texts::kInformation);
}

} // namespace

std::string next_count(std::string_view label) {
    const std::string_view last4 = label.size() > 4 ? label.substr(label.size() - 4) : label;
    int value = 0;
    // A counter that is not a number starts again from zero.
    if (std::from_chars(last4.data(), last4.data() + last4.size(), value).ec != std::errc{})
        value = 0;
    std::string text = std::to_string(value + 1);
    if (text.size() < 4)
        text.insert(0, 4 - text.size(), '0');
    return text;
}

bool reaches_target(std::string_view count, std::string_view aim) {
    return aim.size() >= 4 && count == aim.substr(aim.size() - 4);
}

ChipSteps chip_steps(const ChipParams& chip) {
    const bool pic = !chip.is_serial_eeprom();
    return {pic, pic && chip.FlashChip, chip.EEPROMsize != 0, pic};
}

bool any_program_option(const OpsFlags& f) {
    return f.CheckBox_blank || f.CheckBox_erase || f.CheckBox_wr_ee || f.CheckBox_wr_rom ||
           f.CheckBox_wr_id;
}

bool program_chip(ChipContext& ctx) {
    const OpsFlags& f = ctx.flags;
    if (f.CheckBox_blank && !blank_step(ctx))
        return false;
    if (ctx.chip.FlashChip && f.CheckBox_erase && !erase_chip(ctx))
        return false;
    if (f.CheckBox_wr_ee && !write_eeprom_chip(ctx))
        return false;
    if (f.CheckBox_wr_rom && !write_rom_chip(ctx))
        return false;
    ctx.progress(0, 32);
    if (ctx.chip.CHIPbit != 3 && f.CheckBox_wr_id)
        return write_fuse_chip(ctx);
    return true;
}

} // namespace zz
