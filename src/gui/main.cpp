#include "app/session.h"
#include "app/store_keeper.h"
#include "app/settings_file.h"
#include "base/version.h"
#include "device/chip_database.h"
#include "device/data_folder.h"
#include "gui/auto_screenshot.h"
#include "gui/dialog_screenshot.h"
#include "gui/main_window.h"
#include "gui/qt_loop.h"
#include "gui/qt_operator.h"
#include "gui/screenshot.h"
#include "gui/station_launch.h"
#include "gui/station_screenshot.h"
#include "gui/window_options.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"
#include "sim/chip_image.h"
#include "sim/socket_operator.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// The line the session talks through: a serial port, or the virtual board with a chip in its
// socket when asked for one.
struct WindowLine {
    std::unique_ptr<zz::VirtualBoard> board;
    zz::ChipParams chip;
    std::unique_ptr<zz::Port> port;
    zz::BoardDiscovery::PortLister lister;
    std::unique_ptr<zz::SocketOperator> person; // declared last: gone before the board
};

WindowLine open_line(zz::QtLoop& loop, const zz::WindowOptions& options,
                    const std::optional<zz::OperatorTimes>& person, int model,
                    const std::filesystem::path& data_dir, zz::Operator& op) {
    WindowLine line;
    if (!options.virtual_board) {
        line.port = std::make_unique<zz::SerialPort>(loop);
        line.lister = zz::system_serial_ports;
        return line;
    }
    line.board = std::make_unique<zz::VirtualBoard>(loop, model);
    line.board->set_wire_timing(true);
    line.chip = zz::ChipDatabase(data_dir).load(model, options.chip, zz::ChipParams{});
    line.board->insert_chip(zz::VirtualChip(line.chip));
    if (!options.image.empty()) {
        const zz::LoadResult result =
            zz::load_chip_image(*line.board->chip(), line.chip, options.image);
        if (!result.ok)
            op.show_message(result.error, "Error", zz::Icon::Error);
        else if (!result.warning.empty()) // before the window and its status line exist
            std::fprintf(stderr, "%s\n", result.warning.c_str());
    }
    if (person)
        line.person = std::make_unique<zz::SocketOperator>(
            *line.board, *person, [chip = line.chip] { return zz::VirtualChip(chip); });
    auto port = std::make_unique<zz::VirtualPort>(loop, *line.board);
    line.lister = [name = port->name()] { return std::vector<std::string>{name}; };
    line.port = std::move(port);
    return line;
}

std::filesystem::path data_folder() {
    auto candidates = zz::standard_data_dirs();
    candidates.emplace_back(ZZ_SOURCE_DIR "/data"); // a build that is not installed
    return zz::find_data_dir(candidates);
}

void take_screenshot(QWidget& window, zz::Session& session, const zz::WindowOptions& options) {
    if (options.screenshot.isEmpty())
        return;
    if (!options.screenshot_dialog.isEmpty())
        zz::save_dialog_picture_when_ready(window, session, options.screenshot_dialog.split(u','),
                                           options.screenshot);
    else if (!options.screenshot_auto_program.isEmpty())
        zz::save_auto_program_pictures(window, session,
                                       options.screenshot_auto_program.split(u','),
                                       options.screenshot);
    else
        zz::save_picture_when_ready(window, session, options.screenshot);
}

// The person at the socket changes the virtual board's chips: no board, nobody to change them.
// False after a message for a wrong --virtual-operator.
bool person_at_socket(const zz::WindowOptions& options, bool virtual_boards,
                      std::optional<zz::OperatorTimes>& person) {
    if (options.virtual_operator.empty())
        return true;
    person = zz::parse_operator_times(options.virtual_operator);
    if (person && (options.virtual_board || virtual_boards))
        return true;
    std::fprintf(stderr, "ze-zuzu: --virtual-operator takes INSERT_MS,REMOVE_MS and "
                         "--virtual-board or --virtual-boards\nTry 'ze-zuzu --help'.\n");
    return false;
}

// One --port: the one-board window on it, kept as its port as choosing it in the window would.
void use_port(const std::filesystem::path& settings_file, zz::AppSettings& settings,
              const zz::StationStart& start) {
    if (start.ports.size() != 1)
        return;
    settings.COM = start.ports.front();
    try {
        zz::save_settings(settings_file, settings);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ze-zuzu: %s\n", e.what());
    }
}

// Several boards side by side, each on a thread of its own.
int run_station(const zz::WindowOptions& options, const zz::StationLaunchSetup& setup) {
    zz::QtOperator desktop;
    zz::StationLaunch launch(setup, desktop);
    desktop.set_parent(&launch.window());
    launch.window().show();
    if (!options.screenshot.isEmpty())
        zz::save_station_pictures(launch.window(), options.screenshot_auto_program.split(u','),
                                  options.screenshot);
    return QApplication::exec();
}

// The one-board window. Its records store is opened by a keeper thread: the window starts at
// once and shows the store's state on its notice line; the job it starts in, once the store is
// open (or said once to be refused when the first try fails).
int run_window(const zz::WindowOptions& options, const std::optional<zz::OperatorTimes>& person,
               const std::filesystem::path& data_dir, const std::filesystem::path& settings_file,
               const zz::AppSettings& settings) {
    zz::QtLoop loop;
    zz::QtOperator desktop;
    WindowLine line =
        open_line(loop, options, person, zz::virtual_model(settings), data_dir, desktop);
    const auto station =
        std::make_unique<zz::Station>(nullptr, "the records database is being opened");
    zz::Session session(zz::SessionEnv{loop, desktop, *line.port, data_dir, settings_file,
                                       line.lister, options.virtual_board});
    session.set_station(station.get());
    zz::MainWindow window(session, desktop, data_dir);
    desktop.set_parent(&window);
    session.startup();
    window.show();
    const zz::JobStart start =
        zz::start_job(options.job_start, {settings.job, settings.operator_name, settings.lot});
    std::unique_ptr<zz::StoreKeeper> keeper;
    bool settled = false; // the first try is in
    const auto store_changed = [&] {
        const zz::StoreKeeper::State state = keeper->state();
        window.show_store_state(state == zz::StoreKeeper::State::open ? "" : keeper->text());
        if (settled || state == zz::StoreKeeper::State::opening)
            return;
        settled = true;
        if (state == zz::StoreKeeper::State::open)
            window.start_job(start);
        else if (!start.job.empty())
            desktop.show_message(zz::start_job_refused(start.job, station->why_no_store()),
                                 "Error", zz::Icon::Error);
    };
    keeper = std::make_unique<zz::StoreKeeper>(
        *station, zz::StationOptions{settings.records_db, settings.station, {}},
        [&window, &store_changed] {
            QMetaObject::invokeMethod(&window, store_changed, Qt::QueuedConnection);
        });
    loop.start_idle();
    take_screenshot(window, session, options);
    const int result = QApplication::exec();
    keeper.reset();
    session.shutdown();
    if (line.board && line.board->chip() && !options.save.empty()) {
        try {
            zz::save_chip_image(*line.board->chip(), line.chip, options.save);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "ze-zuzu: %s\n", e.what());
        }
    }
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = zz::answer_information_options(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ze-zuzu"));
    QApplication::setApplicationVersion(QStringLiteral(ZZ_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("ze-zuzu"));
    const std::optional<zz::WindowOptions> options = zz::window_options();
    if (!options)
        return 2;
    const std::filesystem::path settings_file = zz::settings_path(zz::executable_dir());
    zz::AppSettings settings = zz::load_settings(settings_file);
    zz::BoardOptions boards = options->boards;
    boards.settings_boards = settings.boards;
    boards.remote = !settings.remote.empty();
    const zz::StationStart start = zz::station_start(boards);
    std::optional<zz::OperatorTimes> person;
    if (!person_at_socket(*options, start.virtual_boards, person))
        return 2;
    const std::filesystem::path data_dir = data_folder();
    if (start.station)
        return run_station(*options, {data_dir, settings_file, settings, start, person,
                                      zz::start_job(options->job_start,
                                                    {settings.job, settings.operator_name,
                                                     settings.lot})});
    use_port(settings_file, settings, start);
    return run_window(*options, person, data_dir, settings_file, settings);
}
