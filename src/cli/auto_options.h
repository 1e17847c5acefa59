#pragma once

#include "sim/socket_operator.h"

#include <optional>
#include <string>
#include <vector>

namespace zz::cli {

struct CliOptions;
struct CommandInfo;
class OptionArg;

// The production loop and several boards at once: `auto` and `program` on every --port given,
// on every port where the board search finds a board, or on several virtual boards; the person
// at the virtual board's socket.
struct BoardsOptions {
    std::vector<std::string> ports; // every --port, in order
    bool ports_all_found = false;
    int virtual_boards = 1;
    std::optional<OperatorTimes> person; // --virtual-operator INSERT_MS,REMOVE_MS
};

bool parse_boards_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_boards_options(const CliOptions& o, const CommandInfo& command);
extern const char kBoardsHelp[];

} // namespace zz::cli
