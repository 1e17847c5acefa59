#include "cli/auto_command.h"

#include "app/close_request_watch.h"
#include "app/station.h"
#include "cli/cli_commands.h"
#include "cli/stop_signals.h"
#include "ops/program_sequence.h"
#include "sim/socket_operator.h"

#include <cstdio>
#include <optional>

namespace zz::cli {

namespace {

// One line, printed with one call so that the lines of several boards never mix.
void print_chip(CliContext& c, int number, const ChipRecord& r) {
    const std::string result = r.result == ChipResult::passed ? "pass" : "fail";
    if (c.options.json) {
        const std::string line =
            "{\"port\":" + json_quote(r.port) + ",\"chip\":" + std::to_string(number) +
            ",\"result\":" + json_quote(result) + ",\"serial\":" + json_quote(r.serial) +
            ",\"elapsed_ms\":" + std::to_string(r.elapsed_ms) + "}";
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        return;
    }
    const std::string serial = r.serial.empty() ? "" : ", serial number " + r.serial;
    c.out.line("Chip " + std::to_string(number) + ": " + result + serial + ", " +
               std::to_string(r.elapsed_ms) + " ms");
    std::fflush(stdout);
}

// The pass just counted is the target of the statistics.
bool target_reached(const ChipState& s) {
    const std::string& pass = s.lab_pass.get();
    return reaches_target(pass.substr(pass.find(':') + 1), s.Lab_aim.get());
}

void report(CliContext& c, const StationBoard& board, const AutoProgramResult& result) {
    const ChipState& s = c.session.statistics;
    if (c.board)
        c.board->lost = result.board_lost;
    else
        c.out.line("Summary: " + std::to_string(board.passed) + " passed, " +
                   std::to_string(board.failed) + " failed");
    c.out.field("passed", std::to_string(board.passed));
    c.out.field("failed", std::to_string(board.failed));
    c.out.field("board_lost", result.board_lost ? "true" : "false");
    c.out.field("pass", json_quote(s.lab_pass.get()));
    c.out.field("fail", json_quote(s.lab_error.get()));
}

} // namespace

int auto_command(CliContext& c) {
    Session& s = c.session;
    if (c.options.job.job.empty())
        if (const int status = load_file_to_program(c, c.options.args[0]); status != kSuccess)
            return status;
    if (const int status = use_production(c); status != kSuccess)
        return status;
    // The person at the virtual board's socket; gone before the socket and the board.
    std::optional<SocketOperator> person;
    if (c.socket && c.options.boards.person)
        person.emplace(
            *c.line.board, *c.options.boards.person, [&c] { return c.socket->next_chip(); },
            [&c](const VirtualChip& chip) { c.socket->save_removed(chip); });
    const std::string port = s.link().port().name();
    int chips = 0;
    bool last_passed = false;
    s.chip_finished = [&](const ChipRecord& r) {
        last_passed = r.result == ChipResult::passed;
        if (c.socket)
            c.socket->worked();
        print_chip(c, ++chips, r);
    };
    const std::optional<int> count = c.options.production.count;
    AutoProgramHooks hooks;
    hooks.drop_silent_board = true;
    hooks.cycle_ended = [&] {
        const bool enough = count && c.station->board(port).passed >= *count;
        if (enough || (last_passed && target_reached(s.statistics)))
            s.CloseRequested = true;
    };
    CloseRequestWatch stop(*c.line.loop, stop_signal_caught, s.CloseRequested);
    // Armed as the menu item does; its ICSP caution only concerns a run in ICSP mode.
    s.arm_auto_program(s.flags.N_ICSP.checked.get());
    const AutoProgramResult result = s.auto_program_command(hooks);
    s.chip_finished = nullptr;
    if (result.board_lost)
        c.op.show_message("The board on " + port +
                              " stopped answering: no more chips are taken from it",
                          "Error", Icon::Error);
    const StationBoard board = c.station->board(port);
    report(c, board, result);
    return result.started && !result.board_lost && board.failed == 0 ? kSuccess : kFailed;
}

} // namespace zz::cli
