#pragma once

#include "base/operator.h"
#include "cli/cli_options.h"
#include "cli/production_run.h"

#include <functional>
#include <string>
#include <vector>

namespace zz::cli {

// What one board's run reports to the summary of several.
struct BoardTally {
    int passed = 0;
    int failed = 0;
    bool lost = false; // it stopped answering and was dropped
    int status = 0;    // its exit status
};

// One board of several: its port, the prefix of every line printed for it, and what all of them
// share (the serial-number settings and the production log, settled once).
struct BoardShare {
    std::string port;
    std::string prefix;
    ProductionSetup production;
    BoardTally tally;
};

// The boards `auto` and `program` run on when there are several: every --port given, every port
// where the board search finds a board (--ports-all-found), or "Virtual board 1" ... N
// (--virtual-boards N). Empty for a single board.
std::vector<std::string> several_board_ports(const CliOptions& o);

// Several boards number from one sequence only when each number is reserved in the image file;
// else two chips would get one number. False, with the reason shown, when they would.
bool numbers_can_be_shared(const ProductionSetup& setup, const ChipParams& chip, Operator& op);

// Runs `run_board` for each board on a thread of its own (a board that fails, or stops
// answering, does not stop the others), then prints the summary, one line per port and the
// total. Returns the worst exit status.
int run_boards(const CliOptions& o, std::vector<BoardShare>& boards,
               const std::function<int(BoardShare&)>& run_board);

} // namespace zz::cli
