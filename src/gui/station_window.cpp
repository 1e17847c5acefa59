#include "gui/station_window.h"

#include "app/session.h"
#include "app/settings_file.h"
#include "dialogs/about/about_box.h"
#include "dialogs/boards/boards_model.h"
#include "gui/board_panel_widget.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/records_dialog.h"
#include "gui/main_menu.h"
#include "gui/off_thread.h"
#include "gui/window_face.h"
#include "service/station_service.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>

#include <algorithm>

namespace zz {

namespace {

constexpr const char* kCaption = "ZE-ZUZU: the line";
constexpr const char* kManualFile = "ze-zuzuen.html";
constexpr int kGap = 6; // px between panels

// A board at work: a command, the production loop, or a question waits.
bool at_work(const BoardPanel& p) {
    return p.busy || p.auto_running || !p.question.empty();
}

} // namespace

StationWindow::StationWindow(Setup setup, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), desktop_(desktop) {
    setObjectName(QStringLiteral("StationForm"));
    setWindowTitle(QString::fromLatin1(kCaption));
    use_window_face(this);
    off_thread_ = new OffThread(this);
    // Boards end together: each may finish its chip meanwhile.
    enders_.setMaxThreadCount(64);
    build_menus();
    build_view();
    show_status();
}

StationWindow::~StationWindow() {
    stop_listening();
    for (Slot& slot : slots_)
        if (slot.runner)
            end_runner(std::move(slot.runner));
    enders_.waitForDone();
}

void StationWindow::closeEvent(QCloseEvent* event) {
    // Closing is never refused: every board ends its run after its current chip.
    for_each_runner([](BoardRunner& r) { r.stop(); });
    event->accept();
}

void StationWindow::build_menus() {
    build_station_menu(menuBar());
    const auto on = [this](const char* name, auto command) {
        QAction* a = findChild<QAction*>(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, command);
    };
    on("N5", [this] { load(); });
    on("N8", [this] { close(); });
    on("N9", [this] { for_each_runner([](BoardRunner& r) { r.program(); }); });
    on("N_autoprog", [this] { for_each_runner([](BoardRunner& r) { r.start_auto(); }); });
    on("N_stopall", [this] { for_each_runner([](BoardRunner& r) { r.stop(); }); });
    on("N_boards", [this] { choose_boards_dialog(); });
    on("N_remote", [this] { choose_remote_control(); });
    on("N_records", [this] { open_records(); });
    on("N24", [this] { desktop_.open_help(setup_.data_dir / kManualFile); });
    on("N25", [this] {
        AboutDialog about(AboutBox(Session::kCaption), setup_.data_dir, this);
        about.exec();
    });
}

void StationWindow::build_view() {
    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("boards_area"));
    area->setWidgetResizable(true);
    auto* host = new QWidget(area);
    host->setObjectName(QStringLiteral("boards"));
    grid_ = new QGridLayout(host);
    grid_->setSpacing(kGap);
    grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    area->setWidget(host);
    setCentralWidget(area);
    store_ = new QLabel(this);
    store_->setObjectName(QStringLiteral("lab_store"));
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("lab_totals"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(store_, 1);
    statusBar()->addPermanentWidget(totals_);
}

// --- the boards ---

void StationWindow::set_boards(const std::vector<std::string>& ports) {
    wanted_ = ports;
    apply(roster_.want(ports, [this](const std::string& port) { return busy(port); }));
}

void StationWindow::find_boards() {
    if (!setup_.search)
        return;
    store_->setText(QStringLiteral("Searching the serial ports for boards..."));
    off_thread_->run<BoardSearch>([search = setup_.search] { return search({}); },
                                  [this](BoardSearch result) {
                                      set_boards(result.found);
                                      if (result.found.empty())
                                          store_->setText(
                                              QStringLiteral("The board search found no board "
                                                             "on any port."));
                                      else
                                          show_status();
                                  });
}

void StationWindow::apply(const BoardRoster::Changes& changes) {
    for (const std::string& port : changes.remove)
        remove_board(port);
    for (const std::string& port : changes.add)
        add_board(port);
    if (!changes.add.empty() || !changes.remove.empty())
        place_panels();
    // Panels on their way out say so.
    for (Slot& slot : slots_)
        if (slot.runner)
            slot.widget->show_panel(slot.runner->panel(), roster_.leaving(slot.port));
    if (!changes.add.empty() || !changes.remove.empty())
        listen();
    show_status();
}

void StationWindow::add_board(const std::string& port) {
    Slot& slot = slots_.emplace_back();
    slot.id = next_id_++;
    slot.port = port;
    slot.posted = std::make_shared<std::atomic<bool>>(false);
    const int id = slot.id;
    const auto command = [this, id](auto act) {
        return [this, id, act] {
            if (Slot* s = slot_of(id); s && s->runner)
                act(*s->runner);
        };
    };
    BoardPanelWidget::Commands commands{
        command([](BoardRunner& r) { r.program(); }),
        command([](BoardRunner& r) { r.start_auto(); }),
        command([](BoardRunner& r) { r.stop(); }),
        [this, id](bool yes) {
            if (Slot* s = slot_of(id); s && s->runner)
                s->runner->answer(yes);
        }};
    slot.widget = new BoardPanelWidget(QString::fromStdString(port), std::move(commands));
    start_board(id);
}

void StationWindow::start_board(int id) {
    Slot* slot = slot_of(id);
    if (!slot)
        return;
    BoardStart start = setup_.start;
    start.settings.COM = slot->port;
    BoardLine line = setup_.station.open_line(slot->port);
    start.virtual_board = line.board != nullptr;
    slot->runner = std::make_unique<BoardRunner>(setup_.station, std::move(line), start);
    // From the board's thread: one change on its way to the window at a time.
    slot->runner->on_change([this, id, posted = slot->posted] {
        if (!posted->exchange(true))
            QMetaObject::invokeMethod(this, [this, id] { board_changed(id); },
                                      Qt::QueuedConnection);
    });
    board_changed(id);
}

void StationWindow::remove_board(const std::string& port) {
    const auto at = std::find_if(slots_.begin(), slots_.end(),
                                 [&port](const Slot& s) { return s.port == port; });
    if (at == slots_.end())
        return;
    at->widget->deleteLater();
    stop_listening();
    if (at->runner)
        end_runner(std::move(at->runner));
    slots_.erase(at);
}

void StationWindow::restart_board(Slot& slot) {
    slot.widget->show_restarting();
    // The port is opened again only once the board's old session has closed it.
    stop_listening();
    end_runner(std::move(slot.runner), [this, id = slot.id] {
        start_board(id);
        listen();
    });
}

void StationWindow::end_runner(std::unique_ptr<BoardRunner> runner, std::function<void()> then) {
    auto ending = std::make_shared<std::unique_ptr<BoardRunner>>(std::move(runner));
    enders_.start([this, ending, then = std::move(then)] {
        ending->reset();
        if (then)
            QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
    });
}

void StationWindow::board_changed(int id) {
    Slot* slot = slot_of(id);
    if (!slot || !slot->runner)
        return;
    slot->posted->store(false);
    const BoardPanel panel = slot->runner->panel();
    slot->widget->show_panel(panel, roster_.leaving(slot->port));
    const int chips = panel.passed + panel.failed;
    const bool finished = chips != std::exchange(slot->chips, chips);
    // A board that was left for being busy may go now.
    const BoardRoster::Changes gone =
        roster_.settle([this](const std::string& port) { return busy(port); });
    if (!gone.remove.empty()) {
        for (const std::string& port : gone.remove)
            remove_board(port);
        place_panels();
        listen();
    }
    show_status();
    if (finished)
        count_job_done();
    if (finished)
        if (auto* records = findChild<RecordsDialog*>(QStringLiteral("records_form")))
            records->refresh();
}

void StationWindow::place_panels() {
    const int columns = grid_columns(static_cast<int>(slots_.size()));
    int n = 0;
    for (const std::string& port : roster_.shown())
        if (Slot* slot = slot_of(port)) {
            grid_->addWidget(slot->widget, n / columns, n % columns);
            ++n;
        }
    const int rows = (n + columns - 1) / std::max(1, columns);
    // The window fits its panels, within the screen; a scroll bar takes the rest.
    const QSize fit((BoardPanelWidget::kWidth + kGap) * columns + 3 * kGap + 4,
                    (BoardPanelWidget::kHeight + kGap) * std::max(1, rows) + 3 * kGap + 4 +
                        menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    QSize size = fit;
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableSize() - QSize(16, 48));
    resize(size);
}

// --- what acts on every board ---

void StationWindow::for_each_runner(const std::function<void(BoardRunner&)>& command) {
    for (Slot& slot : slots_)
        if (slot.runner && !roster_.leaving(slot.port))
            command(*slot.runner);
}

bool StationWindow::busy(const std::string& port) const {
    const Slot* slot = slot_of(port);
    return slot && (!slot->runner || at_work(slot->runner->panel()));
}

bool StationWindow::any_busy() const {
    return std::any_of(slots_.begin(), slots_.end(),
                       [this](const Slot& s) { return busy(s.port); });
}

void StationWindow::load() {
    if (any_busy() || job_)
        return;
    const std::string path = desktop_.choose_load_file();
    if (!path.empty())
        load_image(path);
}

bool StationWindow::load_image(const std::string& path) {
    if (any_busy() || job_)
        return false;
    setup_.start.settings.filename = path;
    keep_settings();
    // Each board starts again with the new image (its session reads it as it starts).
    for (Slot& slot : slots_)
        restart_board(slot);
    show_status();
    return true;
}

void StationWindow::choose_boards_dialog() {
    BoardsDialog::Setup setup{boards(), boards(), true, setup_.search, off_thread_};
    const std::optional<std::vector<std::string>> chosen = choose_boards(std::move(setup), this);
    if (!chosen)
        return;
    set_boards(*chosen);
    keep_settings();
}

void StationWindow::open_records() {
    open_records_dialog(this, records_source(&setup_.station, *off_thread_));
}

// The boards (the real ports among them) and the image, for the next start.
void StationWindow::keep_settings() {
    if (setup_.settings_file.empty())
        return;
    try {
        AppSettings kept = load_settings(setup_.settings_file);
        kept.boards = stored_boards(wanted_);
        kept.remote = setup_.start.settings.remote;
        kept.remote_token_file = setup_.start.settings.remote_token_file;
        kept.filename = setup_.start.settings.filename;
        save_settings(setup_.settings_file, kept);
    } catch (const std::exception& e) {
        store_->setText(QStringLiteral("The settings could not be saved: ") +
                        QString::fromStdString(e.what()));
    }
}

// --- the status line ---

void StationWindow::store_changed() {
    show_status();
}

QString StationWindow::status_text() const {
    return store_->text() + QStringLiteral("  |  ") + totals_->text();
}

void StationWindow::show_status() {
    std::string store = setup_.store_text ? setup_.store_text() : std::string();
    if (job_)
        store = job_text() + (store.empty() ? "" : ". " + store);
    if (!remote_text_.empty())
        store = remote_text_ + (store.empty() ? "" : ". " + store);
    if (setup_.station.stop_is_failure())
        store += (store.empty() ? "" : ". ") + setup_.station.stop_reason();
    store_->setText(QString::fromStdString(store));
    store_->setToolTip(store_->text());
    int passed = 0;
    int failed = 0;
    for (const StationBoard& b : setup_.station.boards()) {
        passed += b.passed;
        failed += b.failed;
    }
    totals_->setText(QString::fromStdString(
        station_totals(static_cast<int>(roster_.shown().size()), passed, failed)));
}

// --- look-ups ---

std::vector<std::string> StationWindow::boards() const {
    return roster_.shown();
}

BoardPanelWidget* StationWindow::panel(const std::string& port) const {
    const Slot* slot = slot_of(port);
    return slot ? slot->widget : nullptr;
}

StationWindow::Slot* StationWindow::slot_of(int id) {
    const auto at =
        std::find_if(slots_.begin(), slots_.end(), [id](const Slot& s) { return s.id == id; });
    return at == slots_.end() ? nullptr : &*at;
}

StationWindow::Slot* StationWindow::slot_of(const std::string& port) const {
    const auto at = std::find_if(slots_.begin(), slots_.end(),
                                 [&port](const Slot& s) { return s.port == port; });
    return at == slots_.end() ? nullptr : const_cast<Slot*>(&*at);
}

} // namespace zz
