#pragma once
// Option, "Boards...": the ports where the board search found a board and the ports already
// chosen, each ticked to drive its board or not. OK keeps the ticked ports in the settings file
// (key "boards" in [START]).
#include <string>
#include <vector>

namespace zz {

// "Virtual board N": a board of the virtual board's, named by its number from 1.
std::string virtual_board_name(int number);
bool is_virtual_board(const std::string& port);
// What the settings file keeps of a list of boards: the real ports (a virtual board is chosen
// for one run, as the one-board window keeps its stored port when it runs on the virtual board).
std::vector<std::string> stored_boards(const std::vector<std::string>& boards);

class BoardsModel {
public:
    struct Row {
        std::string port;
        bool found = false;    // a board answered on it in the last search
        bool searched = false; // the last search tried it (ports in use are not tried)
        bool ticked = false;   // to be driven
    };

    // `chosen`: the boards driven now. `applies_at_once`: the station view (else the one-board
    // window, where the list counts from its next start).
    BoardsModel(std::vector<std::string> chosen, bool applies_at_once);

    // The search runs (off the window's thread) until its ports are in.
    void search_started();
    // Of the ports `searched`, those where a board answered (`found`): ticked rows of their own
    // when new, after the chosen ones.
    void search_done(const std::vector<std::string>& searched,
                     const std::vector<std::string>& found);
    // The search could not run; `why` is shown.
    void search_failed(std::string why);
    bool searching() const { return searching_; }

    const std::vector<Row>& rows() const { return rows_; }
    // "/dev/ttyUSB0: a board answered", ": no board answered", or ": chosen" (not searched).
    std::string row_text(int row) const;
    void tick(int row, bool on);

    // The ticked ports, in the rows' order: what OK applies.
    std::vector<std::string> chosen() const;
    bool changed() const { return chosen() != initial_; }
    // The line under the list: the search's state, and when the choice takes effect.
    std::string status() const;

private:
    std::vector<std::string> initial_;
    std::vector<Row> rows_;
    bool applies_at_once_;
    bool searching_ = false;
    bool searched_ = false;
    std::string search_error_;
};

} // namespace zz
