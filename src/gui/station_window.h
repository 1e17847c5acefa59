#pragma once

#include "app/board_runner.h"
#include "app/running_job.h"
#include "app/station.h"
#include "dialogs/boards/board_roster.h"
#include "gui/desktop.h"
#include "gui/dialogs/boards_dialog.h"

#include <QMainWindow>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;

namespace zz {

class BoardPanelWidget;
class OffThread;
namespace service {
class StationService;
}

// The station view: the window drives several boards side by side, one panel per board, each
// board's session on a thread of its own (a BoardRunner) working for one Station: one sequence,
// one log, one store. Program, Auto Program and Stop act on every board; each panel has its own
// buttons and its own questions. Nothing here waits: a board's commands are sent and its panel
// shown when it changes; the store, the board search and the records are read off the window's
// thread; messages stay on the panels and the store's state is on the status line.
class StationWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Setup {
        Station& station; // its board factory set; it outlives the window
        BoardStart start; // what every board starts from; its port is set per board
        // The boards and the image chosen are kept in this settings file; empty: nowhere.
        std::filesystem::path settings_file;
        std::filesystem::path data_dir; // the manual
        BoardSearcher search;           // Option, "Boards..." and find_boards()
        // The records store's state for the status line (StoreKeeper::text); empty: none.
        std::function<std::string()> store_text;
    };

    StationWindow(Setup setup, Desktop& desktop, QWidget* parent = nullptr);
    // Ends every board's run (each after its current chip) and waits for them.
    ~StationWindow() override;

    // The boards to drive: new ones start at once, ones no longer wanted go once they are idle.
    void set_boards(const std::vector<std::string>& ports);
    // Runs the board search off the window's thread, then drives every board it found.
    void find_boards();
    // The records store's state changed (StoreKeeper); on the window's thread.
    void store_changed();
    // File, "Load": the image every board programs, once no board is busy; false (and nothing
    // changes) while one is.
    bool load_image(const std::string& path);

    // The job every board runs, set before the boards start: its chip, image and numbering. Load
    // is off from then on; the job, its count and who runs it show on the status line and in the
    // caption.
    void use_job(std::shared_ptr<const RunningJob> job);
    const RunningJob* job() const { return job_.get(); }

    // The boards on show, in their order.
    std::vector<std::string> boards() const;
    BoardPanelWidget* panel(const std::string& port) const;
    // The status line: the store's state, the station's stop, and the totals.
    QString status_text() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Slot {
        int id = 0;
        std::string port;
        std::unique_ptr<BoardRunner> runner; // null while it starts again
        BoardPanelWidget* widget = nullptr;
        std::shared_ptr<std::atomic<bool>> posted; // a change is on its way to the window
        int chips = 0;                             // passed and failed, as last shown
    };

    void build_menus();
    void wire_menus();
    void build_view();
    void add_board(const std::string& port);
    void start_board(int id);
    void remove_board(const std::string& port);
    void restart_board(Slot& slot);
    void board_changed(int id);
    void apply(const BoardRoster::Changes& changes);
    void place_panels();
    void show_status();
    void for_each_runner(const std::function<void(BoardRunner&)>& command);
    bool busy(const std::string& port) const;
    bool any_busy() const;
    void load();
    void choose_boards_dialog();
    void open_records();
    void keep_settings();
    // Ends the runner on a thread of the window's (it may wait for its board), then `then` on
    // the window's thread.
    void end_runner(std::unique_ptr<BoardRunner> runner, std::function<void()> then = {});
    // station_job.cpp: the job's passed chips, counted off the window's thread after each chip.
    void count_job_done();
    std::string job_text() const;
    // station_remote.cpp: Option, "Remote Control...", and the service that drives the boards
    // standing now. It goes before any board's runner ends and comes back once all stand again.
    void choose_remote_control();
    void listen();
    void stop_listening();
    Slot* slot_of(int id);
    Slot* slot_of(const std::string& port) const;

    Setup setup_;
    Desktop& desktop_;
    BoardRoster roster_;
    std::list<Slot> slots_;
    int next_id_ = 1;
    std::vector<std::string> wanted_; // what the person chose last
    QGridLayout* grid_ = nullptr;
    QLabel* store_ = nullptr;
    QLabel* totals_ = nullptr;
    OffThread* off_thread_ = nullptr;
    QThreadPool enders_; // runners ending, each on a thread of its own
    std::shared_ptr<const RunningJob> job_;
    std::unique_ptr<service::StationService> service_;
    std::string remote_text_; // the status line's: where it listens, or why it cannot
    std::optional<std::int64_t> job_done_;
    bool counting_ = false;
    bool count_again_ = false; // chips finished while a count was under way
};

} // namespace zz
