#pragma once

#include "app/session.h"
#include "gui/desktop.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>

class QAbstractButton;
class QAction;
class QLabel;

namespace zz {

class BufferGridModel;
class BufferGridView;

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
    // window_editors.cpp: the calibration and buffer edit dialogs.
    void wire_buffer_editors();

    QAction* action(const char* name) const;
    QAbstractButton* button(const char* name) const;
    QLabel* label(const char* name) const;

    Session& session_;
    Desktop& desktop_;
    std::filesystem::path data_dir_;
    BufferGridModel* model_ = nullptr;
    BufferGridView* grid_ = nullptr;
};

} // namespace zz
