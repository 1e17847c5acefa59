#pragma once

#include "cli/cli_operator.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "device/chip_params.h"
#include "sim/virtual_board.h"

#include <optional>

namespace zz::cli {

// The virtual board's socket as the command line fills it: a chip of the chosen type, blank or
// loaded from --chip-image, and saved to --chip-save after it was worked on ("%n" in the name
// becomes the chip's number, 1 for the first).
class VirtualSocket {
public:
    // `board`: the board's number among several (its saved chips are named apart from the other
    // boards'), 0 for a single board.
    VirtualSocket(VirtualBoard& board, ChipParams params, const CliOptions& options,
                  CliOperator& op, CliOutput& out, int board_number = 0)
        : board_(board), params_(std::move(params)), options_(options), op_(op), out_(out),
          board_number_(board_number) {}

    // Puts the next chip in; false (reported) when its image cannot be loaded.
    bool insert();
    // Saves the chip in the socket, once; false (reported) when it cannot be written.
    bool save();

    // For a person at the socket (SocketOperator): the next chip, counted; it is saved once it
    // has been worked on.
    VirtualChip next_chip();
    // The chip in the socket has been worked on.
    void worked() { saved_ = false; }
    // A chip taken out is saved, once, when it was worked on.
    bool save_removed(const VirtualChip& chip);

private:
    // The next chip, blank or loaded from --chip-image; nullopt (reported) when that fails.
    std::optional<VirtualChip> make_chip();

    VirtualBoard& board_;
    ChipParams params_;
    const CliOptions& options_;
    CliOperator& op_;
    CliOutput& out_;
    int board_number_;
    int number_ = 0;
    bool saved_ = false;
};

// `pattern` with every "%n" replaced by `number`, or with a board's number (from 1) by
// "BOARD-NUMBER", so that the chips of several boards never share a name.
std::string numbered_name(const std::string& pattern, int number, int board_number = 0);

} // namespace zz::cli
