#pragma once

#include "app/session.h"
#include "link/board_line.h"
#include "cli/cli_operator.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/production_run.h"
#include "cli/progress_meter.h"
#include "cli/virtual_socket.h"

#include <string>
#include <vector>

namespace zz::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadInput = 2;

// What a command works with.
struct CliContext {
    const CliOptions& options;
    CliOperator& op;
    CliOutput& out;
    BoardLine& line;
    Session& session;
    ProgressMeter& progress;
    // Every text the status line showed, in order.
    std::vector<std::string> statuses;
    // The virtual board's socket; null on a serial port.
    VirtualSocket* socket = nullptr;
    // `program` and `auto`: how chips are numbered and recorded, and the station they work for.
    StationPlan production = {};
    Station* station = nullptr;
    // One of several boards: its part of the station's summary; null for a single board.
    StationBoard* board = nullptr;
};

} // namespace zz::cli
