#include "gui/main_window.h"

#include "gui/buffer_grid_model.h"
#include "gui/dialogs/fuse_dialog.h"
#include "gui/dialogs/inc_data_dialog.h"
#include "gui/dialogs/records_dialog.h"
#include "gui/dialogs/remote_control_dialog.h"
#include "gui/main_menu.h"
#include "gui/off_thread.h"
#include "gui/window_face.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>

#include <array>
#include <memory>
#include <utility>

namespace zz {

namespace {

constexpr const char* kManualFile = "ze-zuzuen.html";

} // namespace

MainWindow::MainWindow(Session& session, Desktop& desktop, std::filesystem::path data_dir,
                       QWidget* parent)
    : QMainWindow(parent), session_(session), desktop_(desktop), data_dir_(std::move(data_dir)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    build_main_menu(menuBar());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    use_window_face(client);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    build_panels(client);
    bind_state();
    wire_commands();
    wire_jobs();
    bind_operator_mode();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() {
    session_.show_chip_position = nullptr; // the session outlives the window
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing is never refused: running waits and the auto-program loop end.
    session_.close_requested();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    // The window keeps its size: a maximise request from the window manager is undone.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

QAction* MainWindow::action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

QAbstractButton* MainWindow::button(const char* name) const {
    return findChild<QAbstractButton*>(QString::fromLatin1(name));
}

QLabel* MainWindow::label(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

void MainWindow::on_click(const char* name, std::function<void()> command) {
    if (QAction* a = action(name))
        connect(a, &QAction::triggered, this, [command] { command(); });
    else
        connect(button(name), &QAbstractButton::clicked, this, [command] { command(); });
}

void MainWindow::on_option(const char* name, Flag& flag, std::function<void()> command) {
    const auto resync = [&flag, command](auto* widget) {
        return [&flag, command, widget] {
            command();
            widget->setChecked(flag.checked.get());
        };
    };
    if (QAction* a = action(name))
        connect(a, &QAction::triggered, this, resync(a));
    else
        connect(button(name), &QAbstractButton::clicked, this, resync(button(name)));
}

void MainWindow::wire_commands() {
    Session& s = session_;
    for (const char* name : {"N5", "Button1", "SpeedButton1"})
        on_click(name, [this] { load(); });
    for (const char* name : {"N6", "Button2", "SpeedButton2"})
        on_click(name, [this] { save(); });
    on_click("N8", [this] { close(); });
    on_click("Button6", [&s] { s.calc_checksum_command(); });
    on_click("Button7", [&s] { s.reset_statistics(); });
    on_click("N16", [&s] { s.reset_programmer_command(); });
    on_click("N29", [&s] { s.auto_find_command(); });
    on_click("N24", [this] { desktop_.open_help(data_dir_ / kManualFile); });
    on_click("N26", [&s] { s.hardware_version_command(); });
    auto fuses = std::make_shared<FuseCommand>(s.fuse_target());
    for (const char* name : {"Button3", "N19"})
        on_click(name, [this, fuses] { open_fuse_dialog(*fuses, this); });
    on_click("N21", [this] { open_inc_data_dialog(this, session_, desktop_); });
    on_click("N_boards", [this] { choose_boards(); });
    on_click("N_remote", [this] { choose_remote_control(); });
    on_click("N_records", [this] {
        RecordsSource source = records_source(session_.station(), *off_thread_);
        source.chips_recorded = &session_.chips_recorded;
        open_records_dialog(this, source);
    });
    wire_chip_commands();
    wire_options();
    wire_selectors();
    wire_buffer_editors();
    wire_small_dialogs();
    wire_auto_program();
}

void MainWindow::wire_chip_commands() {
    Session& s = session_;
    for (const char* name : {"N9", "Button5", "Button9", "SpeedButton6"})
        on_click(name, [&s] { s.program_command(); });
    for (const char* name : {"N10", "SpeedButton4"})
        on_click(name, [&s] { s.erase_command(); });
    for (const char* name : {"N11", "SpeedButton5"})
        on_click(name, [&s] { s.blank_check_command(); });
    for (const char* name : {"N12", "SpeedButton8"})
        on_click(name, [&s] { s.read_command(); });
    for (const char* name : {"N14", "SpeedButton7"})
        on_click(name, [&s] { s.verify_command(); });
    on_click("EEPROM1", [&s] { s.eeprom_command(); });
    on_click("N13", [&s] { s.rom_command(); });
    on_click("ID1", [&s] { s.fuse_id_command(); });
}

void MainWindow::wire_options() {
    OptionFlags& f = session_.flags;
    // Plain toggles: the item inverts its own check mark and does nothing else.
    const std::pair<const char*, Flag*> toggles[] = {
        {"N31", &f.N31},
        {"UseVPPFirstProgramEntry1", &f.UseVPPFirstProgramEntry1},
        {"N33", &f.N33},
        {"N_chip_not", &f.N_chip_not},
        {"N32", &f.N32},
        {"N35", &f.N35},
        {"n36", &f.n36},
        {"CheckBox_blank", &f.CheckBox_blank},
        {"CheckBox_erase", &f.CheckBox_erase},
        {"CheckBox_wr_ee", &f.CheckBox_wr_ee},
        {"CheckBox_wr_rom", &f.CheckBox_wr_rom},
        {"CheckBox_wr_id", &f.CheckBox_wr_id},
    };
    for (const auto& [name, flag] : toggles)
        on_option(name, *flag, [flag] { flag->toggle(); });
    Session& s = session_;
    on_option("N_ICSP", f.N_ICSP, [&s] { s.icsp_command(); });
    on_option("N18", f.N18, [&s] { s.turn_serial_off_command(); });
    on_option("n_calchip", f.n_calchip, [&s] { s.calibration_source_command(true); });
    on_option("N_calfile", f.N_calfile, [&s] { s.calibration_source_command(false); });
    on_option("N_prodlog", f.N_prodlog, [this] {
        session_.production_log_command([this] { return desktop_.choose_log_file(); });
    });
    const std::array<const char*, 4> models{"N_TYPE_310", "N_TYPE_320", "N_TYPE_330", "KT3001"};
    for (int m = 1; m <= 4; ++m)
        on_option(models[static_cast<std::size_t>(m - 1)],
                  s.model_items[static_cast<std::size_t>(m - 1)], [&s, m] { s.select_model(m); });
}

void MainWindow::wire_selectors() {
    Session& s = session_;
    auto* family = findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    connect(family, &QComboBox::textActivated, this, [&s](const QString& text) {
        s.ComboBox2 = text.toStdString();
        s.family_changed();
    });
    auto* chip = findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    connect(chip, &QComboBox::textActivated, this, [&s](const QString& text) {
        s.ComboBox1 = text.toStdString();
        s.chip_changed();
    });
    auto* port = findChild<QComboBox*>(QStringLiteral("cmbbxcomnum"));
    const auto choose_port = [&s](const QString& text) {
        s.discovery().selector.text = text.toStdString();
        s.port_changed();
    };
    connect(port, &QComboBox::textActivated, this, choose_port);
    // A typed name that is not in the list (a /dev/serial/by-id link, say) is taken on Return;
    // names in the list arrive through textActivated.
    connect(port->lineEdit(), &QLineEdit::returnPressed, this, [port, choose_port] {
        if (port->findText(port->currentText()) < 0)
            choose_port(port->currentText());
    });
}

void MainWindow::choose_boards() {
    if (session_.link().Busy)
        return;
    BoardsDialog::Setup setup{session_.settings.boards,
                              {session_.discovery().selector.text.get()},
                              false,
                              board_search_,
                              off_thread_};
    // Kept in the settings file as the window closes; the window drives them from its next start.
    if (const std::optional<std::vector<std::string>> chosen = zz::choose_boards(setup, this))
        session_.settings.boards = stored_boards(*chosen);
}

// Only the station view listens: kept in the settings file for the next start.
void MainWindow::choose_remote_control() {
    AppSettings& s = session_.settings;
    if (const std::optional<RemoteControlModel> chosen = zz::choose_remote_control(
            RemoteControlModel(s.remote, s.remote_token_file, false), this)) {
        s.remote = chosen->address();
        s.remote_token_file = chosen->token_file();
    }
}

void MainWindow::show_store_state(const std::string& note) {
    store_note_ = note;
    show_notice();
}

void MainWindow::load() {
    if (session_.link().Busy)
        return;
    const std::string path = desktop_.choose_load_file();
    if (!path.empty())
        session_.load_command(path);
}

void MainWindow::save() {
    if (session_.link().Busy)
        return;
    const std::string path = desktop_.choose_save_file();
    if (!path.empty())
        session_.save_command(path);
}

} // namespace zz
