#include "cli/serve_board_options.h"

#include "sim/hand_over.h"

namespace zz::cli {

bool parse_serve_board_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name == "--link") {
        o.serve.link = arg.value();
    } else if (name == "--deliver") {
        o.serve.deliver = arg.value();
        if (!HandOver::parse(o.serve.deliver))
            throw UsageError(
                "--deliver takes fifo, fifo:N (N 1, 4, 8 or 14), byte or frame:MS (MS 1..1000), "
                "not \"" +
                o.serve.deliver + "\"");
    } else {
        return false;
    }
    return true;
}

void check_serve_board_options(const CliOptions& o, const CommandInfo& command) {
    const bool serves = command.kind == CommandKind::serve;
    if (!serves && (!o.serve.link.empty() || !o.serve.deliver.empty()))
        throw UsageError("--link and --deliver belong to serve-board");
    if (serves && (o.virtual_board || o.port))
        throw UsageError("serve-board is the virtual board itself: no --virtual-board or --port");
}

const char kServeBoardHelp[] =
    R"(  --link PATH          serve-board: also make PATH a symbolic link to the board's port
  --deliver MODE       serve-board: hand over received bytes like a UART FIFO (fifo, the
                       default; fifo:N with its trigger at N bytes), one at a time (byte) or once
                       per USB frame of MS ms (frame:MS)
)";

} // namespace zz::cli
