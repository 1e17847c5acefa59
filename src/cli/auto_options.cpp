#include "cli/auto_options.h"

#include "cli/cli_options.h"

#include <charconv>

namespace zz::cli {

namespace {
constexpr int kMostBoards = 64;

int board_count(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1 || value > kMostBoards)
        throw UsageError("--virtual-boards takes a number from 1 to " +
                         std::to_string(kMostBoards) + ", not \"" + text + "\"");
    return value;
}
} // namespace

bool parse_boards_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    BoardsOptions& b = o.boards;
    if (name == "--ports-all-found")
        b.ports_all_found = true;
    else if (name == "--virtual-boards") {
        b.virtual_boards = board_count(arg.value());
        o.virtual_board = true;
    } else if (name == "--virtual-operator") {
        const std::string text = arg.value();
        b.person = parse_operator_times(text);
        if (!b.person)
            throw UsageError("--virtual-operator takes INSERT_MS,REMOVE_MS, not \"" + text + "\"");
    } else
        return false;
    return true;
}

void check_boards_options(const CliOptions& o, const CommandInfo&) {
    const BoardsOptions& b = o.boards;
    const bool several = b.ports.size() > 1 || b.ports_all_found || b.virtual_boards > 1;
    if (several && o.command != "auto" && o.command != "program" && o.command != "station")
        throw UsageError("several boards (--port more than once, --ports-all-found, "
                         "--virtual-boards) belong to the auto, program and station commands");
    if (b.ports_all_found && (!b.ports.empty() || o.virtual_board))
        throw UsageError("--ports-all-found excludes --port and the virtual board");
    if (o.virtual_board && b.ports.size() > 1)
        throw UsageError("several --port exclude the virtual board (--virtual-boards N)");
    const bool serves = o.command == "serve-board";
    const bool loops = o.command == "auto" || o.command == "station";
    if (b.person && !serves && (!o.virtual_board || !loops))
        throw UsageError("--virtual-operator belongs to the auto and station commands on the "
                         "virtual board and to serve-board");
}

const char kBoardsHelp[] =
    R"(  --port NAME ...      auto, program, station: given more than once, every board at once, each on
                       its own port (serial numbers and the log shared)
  --ports-all-found    auto, program, station: every port where the board search finds a board
  --virtual-boards N   auto, program, station: N virtual boards at once (implies --virtual-board)
  --virtual-operator INSERT_MS,REMOVE_MS
                       auto and station on the virtual board, and serve-board: a person who
                       takes each chip out REMOVE_MS after the board is asked to watch for its
                       removal and puts a fresh blank one in INSERT_MS later
)";

} // namespace zz::cli
