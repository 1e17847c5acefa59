#include "ops/auto_program.h"

#include "link/link_texts.h"
#include "ops/chip_setup.h"
#include "ops/ops_texts.h"
#include "ops/program_sequence.h"
#include "ops/socket_detect.h"

#include <algorithm>

namespace zz {

namespace {

// Set-up attempts between chips, and board restarts in each.
constexpr int kRecoveryAttempts = 3;
constexpr int kRecoveryResets = 3;

void show_running(AutoProgramControls& c, bool running) {
    c.Button10 = std::string(running ? texts::kStopCaption : texts::kAutoProgramCaption);
    c.ComboBox1 = !running;
    c.ComboBox2 = !running;
    c.cmbbxcomnum = !running;
}

// Between chips: the board restarted and set up again. A closing window stops it.
void recover(AutoProgramContext& a) {
    Link& link = a.chip.link;
    for (int attempt = 0; attempt < kRecoveryAttempts; ++attempt) {
        link.reset_program_tries(kRecoveryResets);
        if (link.AppClosing || link.send03(a.chip.chip))
            return;
    }
}

void count_pass(AutoProgramContext& a) {
    ChipContext& ctx = a.chip;
    ChipState& s = ctx.state;
    const std::string count = next_count(s.lab_pass.get());
    if (reaches_target(count, s.Lab_aim.get())) {
        ctx.link.signal_success();
        ctx.op().show_message("Programming complete" + count + "pcs.", texts::kInformation,
                              Icon::Information);
    }
    s.lab_pass = "Pass:" + count;
    if (ctx.after_pass)
        ctx.after_pass();
}

void count_fail(AutoProgramContext& a) {
    ChipState& s = a.chip.state;
    s.lab_error = "Fail:" + next_count(s.lab_error.get());
    a.chip.progress(0, 32);
    recover(a);
}

// A watch that did not report: the recovery when the loop is being stopped; a board that is
// gone ends the loop when it is to be dropped. Else the loop tries again.
void after_failed_watch(AutoProgramContext& a, SocketWatch watch, AutoProgramResult& result) {
    if (a.CloseRequested) {
        recover(a);
        return;
    }
    if (watch == SocketWatch::silent && a.hooks.drop_silent_board &&
        !a.chip.link.reset_program_tries(kRecoveryResets))
        result.board_lost = true;
}

// Insertion, presence check, program steps and statistics. False when no chip was programmed.
bool take_chip(AutoProgramContext& a, AutoProgramResult& result) {
    ChipContext& ctx = a.chip;
    ctx.status(texts::kWaitingForInsertion);
    const int reports = std::clamp(a.ChipInSocketTime, kMinChipInSocketTime, kMaxChipInSocketTime);
    SocketWatch watch = SocketWatch::reported;
    for (int n = 0; n < reports && watch == SocketWatch::reported; ++n)
        watch = CHIP_IN_SOCKET_DETECT(ctx.link, a.CloseRequested);
    if (watch != SocketWatch::reported) {
        after_failed_watch(a, watch, result);
        return false;
    }
    const std::string info = ctx.link.send0d();
    if (info == "00") {
        recover(a);
        return false;
    }
    ctx.state.device_id_read = masked_device_id(info);
    const ChipStart start = ctx.begin_chip ? ctx.begin_chip() : ChipStart::program;
    if (start == ChipStart::leave) {
        // The run is over: the chip stays in the socket untouched.
        a.CloseRequested = true;
        ctx.link.send_d("05", "76");
        return false;
    }
    const bool passed = start == ChipStart::program && program_chip(ctx);
    if (ctx.programmed)
        ctx.programmed(passed);
    if (passed)
        count_pass(a);
    else
        count_fail(a);
    ctx.link.send_d("05", "76");
    return true;
}

// True once the board has reported the socket empty.
bool release_chip(AutoProgramContext& a, AutoProgramResult& result) {
    ChipContext& ctx = a.chip;
    ctx.status(texts::kWaitingForRemoval);
    ctx.link.signal_success();
    const SocketWatch watch = CHIP_OUT_SOCKET_DETECT(ctx.link, a.CloseRequested);
    if (watch != SocketWatch::reported) {
        after_failed_watch(a, watch, result);
        return false;
    }
    if (a.hooks.cycle_ended)
        a.hooks.cycle_ended();
    return true;
}

void run_cycles(AutoProgramContext& a, AutoProgramResult& result) {
    // A chip whose removal was not reported is still waited for, so it is never programmed
    // twice.
    bool in_socket = false;
    while (!a.CloseRequested && !result.board_lost) {
        if (!in_socket && !take_chip(a, result))
            continue;
        in_socket = !release_chip(a, result);
    }
}

void end_mode(AutoProgramContext& a) {
    Link& link = a.chip.link;
    show_running(a.controls, false);
    link.status.Label11 = std::string(texts::kReady);
    a.chip.progress(0, 32);
    link.finish_operation();
    link.Busy = false;
}

// The loop is not started: no program step ticked, or the board not ready.
bool refused(AutoProgramContext& a) {
    ChipContext& ctx = a.chip;
    Link& link = ctx.link;
    if (any_program_option(ctx.flags) && link.BoardReady)
        return false;
    link.signal_failure();
    if (!any_program_option(ctx.flags))
        ctx.op().show_message(texts::kNoProgramOptions, texts::kInformation, Icon::Information);
    else
        ctx.op().show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
    link.Busy = false;
    return true;
}

} // namespace

AutoProgramResult auto_program_command(AutoProgramContext& a) {
    Link& link = a.chip.link;
    // While the loop runs this is the Stop button: it only asks the loop to end, which clears
    // Busy itself once the board is handed back.
    if (a.controls.Button10.get() == texts::kStopCaption) {
        a.CloseRequested = true;
        return {};
    }
    // The loop would otherwise start inside another operation's wait.
    if (link.Busy)
        return {};
    link.Busy = true;
    link.check_com_open();
    if (refused(a))
        return {};
    show_running(a.controls, true);
    a.CloseRequested = false;
    link.CollectReplies = true;
    a.chip.status(texts::kWaitingForInsertion);
    if (!link.send03(a.chip.chip)) {
        link.reset_program_tries(9);
        a.CloseRequested = true;
        end_mode(a);
        return {};
    }
    AutoProgramResult result{true, false};
    try {
        run_cycles(a, result);
    } catch (...) {
        end_mode(a);
        throw;
    }
    end_mode(a);
    return result;
}

} // namespace zz
