#pragma once

#include "dialogs/boards/boards_model.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace zz {

class OffThread;

// One board search: the ports it tried, and those where a board answered.
struct BoardSearch {
    std::vector<std::string> searched;
    std::vector<std::string> found;
};
// Searches every port but those `in_use` (about 1 s); never on the window's thread.
using BoardSearcher = std::function<BoardSearch(const std::vector<std::string>& in_use)>;
// The system's serial ports, searched at once.
BoardSearch search_serial_ports(const std::vector<std::string>& in_use);

// Option, "Boards...": the board search runs as the dialog opens (off the window's thread) and
// again on "Search Again"; the ports where a board answered and those already chosen, each with
// a check box.
class BoardsDialog : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        std::vector<std::string> chosen;  // driven now, ticked
        std::vector<std::string> in_use;  // open now: not searched
        bool applies_at_once = false;     // the station view; else from the next start
        BoardSearcher search;
        OffThread* worker = nullptr; // runs the search; the window's, it outlives the dialog
    };

    BoardsDialog(Setup setup, QWidget* parent);

    const BoardsModel& model() const { return model_; }
    // Starts a search unless one runs.
    void search();

private:
    void build();
    void show_rows();
    void show_found(const BoardSearch& result);

    Setup setup_;
    BoardsModel model_;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* again_ = nullptr;
};

// Runs the dialog: the boards chosen on OK, nullopt when it was cancelled or nothing changed.
std::optional<std::vector<std::string>> choose_boards(BoardsDialog::Setup setup, QWidget* parent);

} // namespace zz
