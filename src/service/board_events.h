#pragma once
// What the changes of one board's panel tell the clients: a chip started, its steps, its
// result, a question, the production loop switched on or off, the board lost.
#include "app/board_panel.h"
#include "service/events.h"

#include <vector>

namespace zz::service {

struct BoardNews {
    std::vector<json> events;
    bool command_ended = false; // the board finished the command it was given (after these)
};

class BoardEvents {
public:
    BoardEvents(int number, BoardPanel first);

    // The news in `panel`, the board's next panel.
    BoardNews next(const BoardPanel& panel);
    const BoardPanel& panel() const { return last_; }

private:
    void step(const BoardPanel& p, std::vector<json>& events);
    void command_end(const BoardPanel& p, std::vector<json>& events) const;
    json result(const BoardPanel& p) const;

    int number_;
    BoardPanel last_;
    int chips_at_begin_ = 0; // when the running command was taken
    bool loop_ran_ = false;  // the running command is the production loop
    bool armed_ = false;     // a chip may start: a command began, or the loop's chip ended
    bool chip_open_ = false; // started told, result not yet
    std::vector<json> held_; // a program's result, told when its command ends
    std::string step_name_;
    int step_percent_ = -1;
};

} // namespace zz::service
