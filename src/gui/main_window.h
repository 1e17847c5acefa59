#pragma once

#include "app/running_job.h"
#include "app/session.h"
#include "dialogs/job/engineer_gate.h"
#include "dialogs/job/job_model.h"
#include "dialogs/job/operator_mode.h"
#include "gui/desktop.h"
#include "gui/dialogs/boards_dialog.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QLabel;

namespace zz {

class BufferGridModel;
class BufferGridView;
class OffThread;
class OperatorLock;

// The main window: renders the session's state and hands every click to the session. Widgets
// carry their component names as object names. The client area is fixed at 670 x 465 pixels and
// the window cannot be maximised.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 670;
    static constexpr int kClientHeight = 465;

    // `data_dir` holds the manual and the picture.
    MainWindow(Session& session, Desktop& desktop, std::filesystem::path data_dir,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    BufferGridModel& grid_model() { return *model_; }

    // window_job.cpp: operator mode.
    // Opens the job in operator mode: a released one, or a job file as an engineer's rehearsal.
    // False when it cannot be opened or run here, the reason shown.
    bool open_job(const JobRequest& request);
    // The job the station starts in (none when `start.job` is empty); when it cannot be opened,
    // one message says why and the window stays in normal mode.
    void start_job(const JobStart& start);
    // The records store's state while it is not open (StoreKeeper::text), on the notice line;
    // empty once it is open.
    void show_store_state(const std::string& note);
    // The board search of Option, "Boards..." (by default every serial port's).
    void set_board_search(BoardSearcher search) { board_search_ = std::move(search); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // window_panels.cpp: the widgets, placed at fixed positions.
    void build_panels(QWidget* client);
    void build_toolbar(QWidget* client);
    void build_selectors(QWidget* client);
    void build_grid_panel(QWidget* client);
    void build_options_panel(QWidget* client);
    void build_values_panel(QWidget* client);
    void build_statistics_panel(QWidget* client);
    void build_button_panels(QWidget* client);
    void build_picture_and_notes(QWidget* client);
    void build_job_panel(QWidget* frame);

    // window_state.cpp: the session's state on the widgets.
    void bind_state();
    void bind_selectors();
    void bind_status();
    void bind_values();
    void bind_options();

    // main_window.cpp: clicks to commands.
    void wire_commands();
    void wire_chip_commands();
    void wire_options();
    void wire_selectors();
    // small_dialogs.cpp: the chip position viewer, statistic, about box, firmware upgrade.
    void wire_small_dialogs();
    // window_auto.cpp: Auto Program, its menu item and the chip-in-socket time.
    void wire_auto_program();
    void on_click(const char* name, std::function<void()> command);
    // A check mark whose command decides its state: shown as the flag says afterwards.
    void on_option(const char* name, Flag& flag, std::function<void()> command);
    void load();
    void save();
    // Option, "Boards...": the list the window drives side by side from its next start.
    void choose_boards();
    // Option, "Remote Control...": the address the station view listens on.
    void choose_remote_control();
    // window_editors.cpp: the calibration and buffer edit dialogs.
    void wire_buffer_editors();

    // window_job.cpp: operator mode's items, its lock on the controls and what it shows.
    void wire_jobs();
    void bind_operator_mode();
    void lock_controls();
    void open_job_dialog();
    void leave_operator_mode();
    PasswordChecks password_checks(QWidget* parent);
    RecordsStore* store() const;
    std::string why_no_store() const;
    // The job as opened, read off the window's thread. Throws JobError or StoreError.
    std::shared_ptr<const RunningJob> read_job(const JobChoice& choice);
    void job_changed();
    void show_job_panel();
    void show_caption();
    void show_notice();
    void count_job_done();

    QAction* action(const char* name) const;
    QAbstractButton* button(const char* name) const;
    QLabel* label(const char* name) const;

    Session& session_;
    Desktop& desktop_;
    std::filesystem::path data_dir_;
    BufferGridModel* model_ = nullptr;
    BufferGridView* grid_ = nullptr;
    OffThread* off_thread_ = nullptr;
    OperatorLock* lock_ = nullptr;
    // The job's chips passed in its lot as last counted; nullopt until the first count is in.
    std::optional<std::int64_t> job_done_;
    int job_generation_ = 0; // a count started for an earlier job is dropped
    bool counting_ = false;
    bool count_again_ = false; // chips finished while a count was under way
    std::string store_note_;   // the store is not open: why, and when it is tried again
    BoardSearcher board_search_ = search_serial_ports;
};

} // namespace zz
