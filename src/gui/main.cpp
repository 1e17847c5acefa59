#include "app/session.h"
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
struct BoardLine {
    std::unique_ptr<zz::VirtualBoard> board;
    zz::ChipParams chip;
    std::unique_ptr<zz::Port> port;
    zz::BoardDiscovery::PortLister lister;
    std::unique_ptr<zz::SocketOperator> person; // declared last: gone before the board
};

// The virtual board is the programmer model the settings select, as the command line's is.
int virtual_model(const zz::AppSettings& settings) {
    const int model = settings.prog_type;
    return model >= 1 && model <= 4 ? model : 3;
}

// The station of the settings file's records database; without one when it cannot be opened
// (the window works on, and says why once it is shown).
std::unique_ptr<zz::Station> open_station(const zz::AppSettings& settings) {
    try {
        return zz::Station::open({settings.records_db, settings.station, {}});
    } catch (const zz::StoreError& e) {
        return std::make_unique<zz::Station>(nullptr, e.what());
    }
}

BoardLine open_line(zz::QtLoop& loop, const zz::WindowOptions& options,
                    const std::optional<zz::OperatorTimes>& person, int model,
                    const std::filesystem::path& data_dir, zz::Operator& op) {
    BoardLine line;
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
    // The person at the socket changes the virtual board's chips: no board, nobody to change them.
    std::optional<zz::OperatorTimes> person;
    if (!options->virtual_operator.empty()) {
        person = zz::parse_operator_times(options->virtual_operator);
        if (!person || !options->virtual_board) {
            std::fprintf(stderr, "ze-zuzu: --virtual-operator takes INSERT_MS,REMOVE_MS and "
                                 "--virtual-board\nTry 'ze-zuzu --help'.\n");
            return 2;
        }
    }
    const std::filesystem::path data_dir = data_folder();

    zz::QtLoop loop;
    zz::QtOperator desktop;
    const std::filesystem::path settings_file = zz::settings_path(zz::executable_dir());
    const zz::AppSettings settings = zz::load_settings(settings_file);
    BoardLine line = open_line(loop, *options, person, virtual_model(settings), data_dir, desktop);
    const std::unique_ptr<zz::Station> station = open_station(settings);
    zz::Session session(zz::SessionEnv{loop, desktop, *line.port, data_dir, settings_file,
                                       line.lister, options->virtual_board});
    session.set_station(station.get());
    zz::MainWindow window(session, desktop, data_dir);
    desktop.set_parent(&window);
    session.startup();
    window.show();
    const zz::JobStart start =
        zz::start_job(options->job_start, {settings.job, settings.operator_name, settings.lot});
    if (!station->store()) {
        // One message, also for a job that cannot be opened without the database.
        std::string why = station->why_no_store() +
                          "\nChips are not put on record until the window is started again "
                          "with a database it can open.";
        if (!start.job.empty())
            why = zz::start_job_refused(start.job, why);
        desktop.show_message(why, "Error", zz::Icon::Error);
    } else {
        window.start_job(start);
    }
    loop.start_idle();
    take_screenshot(window, session, *options);
    const int result = QApplication::exec();
    session.shutdown();
    if (line.board && line.board->chip() && !options->save.empty()) {
        try {
            zz::save_chip_image(*line.board->chip(), line.chip, options->save);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "ze-zuzu: %s\n", e.what());
        }
    }
    return result;
}
