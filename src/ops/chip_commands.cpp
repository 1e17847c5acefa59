#include "ops/chip_commands.h"

#include "link/link_texts.h"
#include "ops/chip_read.h"
#include "ops/chip_setup.h"
#include "ops/erase_blank.h"
#include "ops/fuse_write.h"
#include "ops/ops_texts.h"
#include "ops/program_sequence.h"
#include "ops/rom_eeprom_write.h"
#include "ops/verify.h"

namespace zz {

namespace {

// Runs `steps` after the device-ID check inside one operation; a refused check or a failed step
// resets the board. False when the operation was refused before the board was used.
bool chip_operation(ChipContext& ctx, const std::function<bool()>& steps,
                    const std::function<bool()>& before_ready_check = {}) {
    return ctx.link.run_operation(
        [&] {
            if (!write_chip_message(ctx) || !steps())
                ctx.link.reset_program_tries(9);
        },
        before_ready_check);
}

// The success signal and message that end a command.
void complete(ChipContext& ctx, const char* status, const char* message) {
    ctx.status(status);
    ctx.link.signal_success();
    ctx.op().show_message(message, texts::kInformation, Icon::Information);
    ctx.link.status.Label11 = std::string(texts::kReady);
}

std::string blank_rom_line(const ChipContext& ctx) {
    if (!ctx.state.RomErased)
        return "   ROM=Not Erased  ";
    if (!ctx.chip.CALword)
        return "   ROM=Erased  ";
    return ctx.buffer.SavedOsccal != ctx.chip.ROMblank
               ? "   ROM=Erased(except calibration ROM)  "
               : "   ROM=Erased(including calibration ROM)  ";
}

void show_blank_result(ChipContext& ctx) {
    const ChipState& s = ctx.state;
    const std::string text = blank_verdict_line("ID", s.IdErased) + "\r\n" +
                             blank_verdict_line("config", s.ConfigErased) + "\r\n" + blank_rom_line(ctx) +
                             "\r\n" + blank_verdict_line("EEPROM", s.EepromErased);
    ctx.status(texts::kBlankResult);
    ctx.op().show_message(text, texts::kInformation, Icon::Information);
    ctx.link.status.Label11 = std::string(texts::kReady);
}

void show_erase_result(ChipContext& ctx) {
    const ChipState& s = ctx.state;
    if (s.IdErased && s.ConfigErased && s.RomErased && s.EepromErased) {
        ctx.status(texts::kEraseResult);
        ctx.link.signal_success();
        ctx.op().show_message(texts::kEraseComplete, texts::kInformation, Icon::Information);
    } else {
        ctx.link.signal_failure();
        ctx.link.status.Label11 = std::string(texts::kEraseFailureStatus);
        ctx.op().show_message(texts::kEraseFailure, texts::kError, Icon::Error);
    }
    ctx.link.status.Label11 = std::string(texts::kReady);
}

void count_pass(ChipContext& ctx) {
    ChipState& s = ctx.state;
    ctx.status(texts::kProgrammingResult);
    ctx.link.signal_success();
    const std::string count = next_count(s.lab_pass.get());
    if (reaches_target(count, s.Lab_aim.get()))
        ctx.op().show_message("Programming complete" + count + "pcs.", texts::kInformation,
                              Icon::Information);
    else if (!ctx.flags.N33)
        ctx.op().show_message(texts::kProgrammingComplete, texts::kInformation, Icon::Information);
    s.lab_pass = "Pass:" + count;
    if (ctx.after_pass)
        ctx.after_pass();
    ctx.link.status.Label11 = std::string(texts::kProgrammingResult);
}

void count_fail(ChipContext& ctx) {
    ctx.state.lab_error = "Fail:" + next_count(ctx.state.lab_error.get());
    ctx.link.reset_program_tries(9);
    ctx.link.status.Label11 = std::string(texts::kProgrammingFail);
}

} // namespace

void read_command(ChipContext& ctx) {
    chip_operation(ctx, [&] { return read_chip(ctx); });
}

void erase_command(ChipContext& ctx) {
    chip_operation(ctx, [&] {
        if (!erase_chip(ctx) || !blank_chip(ctx))
            return false;
        show_erase_result(ctx);
        return true;
    });
}

void blank_check_command(ChipContext& ctx) {
    chip_operation(ctx, [&] {
        if (!blank_chip(ctx))
            return false;
        show_blank_result(ctx);
        return true;
    });
}

void rom_command(ChipContext& ctx) {
    chip_operation(ctx, [&] {
        const bool written = write_rom_chip(ctx);
        if (written) {
            ctx.link.status.progress_position = 0;
            complete(ctx, texts::kWritingRomResult, texts::kWriteRomComplete);
        } else {
            ctx.link.reset_program_tries(9);
            ctx.link.status.progress_position = 0;
        }
        ctx.link.status.progress_max = 32;
        return true;
    });
}

void eeprom_command(ChipContext& ctx) {
    chip_operation(
        ctx,
        [&] {
            if (!write_eeprom_chip(ctx))
                return false;
            complete(ctx, texts::kEepromResult, texts::kEepromComplete);
            return true;
        },
        [&] {
            if (ctx.chip.EEPROMsize != 0)
                return true;
            ctx.op().show_message(texts::kNoEeprom, texts::kInformation, Icon::Information);
            return false;
        });
}

void fuse_id_command(ChipContext& ctx) {
    chip_operation(ctx, [&] {
        const bool written = ctx.chip.CHIPbit == 3 ? blank_read18(ctx) && write18_fuse_chip(ctx)
                                                   : write_fuse_chip(ctx);
        if (!written)
            return false;
        complete(ctx, texts::kIdFusesResult, texts::kIdFusesComplete);
        ctx.progress(0, 32);
        return true;
    });
}

void verify_command(ChipContext& ctx) {
    chip_operation(ctx, [&] {
        if (!verify_chip(ctx))
            return false;
        ctx.link.status.progress_position = 0;
        complete(ctx, texts::kVerifyResult, texts::kVerifyComplete);
        ctx.link.status.progress_max = 32;
        return true;
    });
}

bool program_command(ChipContext& ctx) {
    return chip_operation(
        ctx,
        [&] {
            const ChipStart start = ctx.begin_chip ? ctx.begin_chip() : ChipStart::program;
            if (start == ChipStart::leave)
                return true;
            const bool passed = start == ChipStart::program && program_chip(ctx);
            if (ctx.programmed)
                ctx.programmed(passed);
            if (passed)
                count_pass(ctx);
            else
                count_fail(ctx);
            ctx.progress(0, 32);
            return true;
        },
        [&] {
            if (any_program_option(ctx.flags))
                return true;
            ctx.op().show_message(texts::kNoProgramOptions, texts::kInformation, Icon::Information);
            return false;
        });
}

void reset_statistics(ChipState& state) {
    state.lab_pass = "Pass:0000";
    state.lab_error = "Fail:0000";
}

} // namespace zz
