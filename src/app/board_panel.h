#pragma once
// What one board of a station shows on its panel, as its runner last saw it, and how the panel
// puts it into words. A plain copy: the window reads it while the board works on.
#include <cstdint>
#include <string>

namespace zz {

enum class BoardPhase {
    no_board, // the board has not answered (yet)
    ready,    // idle, ready for a command
    waiting,  // the production loop waits for a chip to be put in or taken out
    working,  // a chip is being worked on
    question, // a question waits for the person at this panel
    passed,   // the last chip passed
    failed,   // the last chip failed
};

struct BoardPanel {
    std::string port;
    std::string model;    // the programmer model ("RO-ZUZ330")
    std::string firmware; // empty while not known
    BoardPhase phase = BoardPhase::no_board;
    std::string status; // the board's status line ("Writing program memory.....")
    int progress = 0;
    int progress_max = 32;
    std::string serial; // the last chip's number
    int passed = 0;
    int failed = 0;
    std::string message;  // the last message the board showed, on one line
    std::string question; // waiting for Yes or No; empty: none
    bool auto_running = false;
    bool busy = false; // a command runs: Program and Auto Program are not offered
    // The last chip's result while the production loop waits for it to be taken out: 1 passed,
    // 0 failed, -1 none.
    int last_result = -1;
    // Commands taken from the queue and commands finished: a command that ran and ended shows
    // as both grown, whether or not it programmed a chip.
    int commands_begun = 0;
    int commands_ended = 0;
    // Chips finished on this board, and the last one's record: its id in the store (empty when
    // it is not there), its result, its failing step's message and its time (ms).
    int chips = 0;
    bool chip_passed = false;
    std::string chip_record_id;
    std::string chip_message;
    std::int64_t chip_elapsed_ms = 0;

    bool operator==(const BoardPanel&) const = default;
};

// The panel's state line: "No board", "Ready", "Waiting for a chip", "Writing program memory
// 45 %", "Passed 0000002A", "Failed", "Waiting for an answer".
std::string phase_text(const BoardPanel& panel);

} // namespace zz
