#include "app/session.h"
#include "app/settings_file.h"
#include "device/chip_database.h"
#include "device/data_folder.h"
#include "gui/auto_screenshot.h"
#include "gui/dialog_screenshot.h"
#include "gui/main_window.h"
#include "gui/qt_loop.h"
#include "gui/qt_operator.h"
#include "gui/screenshot.h"
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

constexpr const char* kVirtualChip = "16F877A";

// The virtual board's options: --virtual-board [--virtual-chip NAME] [--chip-image FILE]
// [--chip-save FILE] [--virtual-operator INSERT_MS,REMOVE_MS]. The chip image is loaded into the
// socket's chip at start and the chip's memories are saved at exit, so a programmed virtual chip
// can be inspected. The operator stand-in changes chips for Auto Program, each a fresh blank one.
struct VirtualBoardOptions {
    bool wanted = false;
    std::string chip = kVirtualChip;
    std::string image;
    std::string save;
    std::optional<zz::OperatorTimes> person;
    bool bad = false; // an option's value is not understood
};

VirtualBoardOptions virtual_board_options(const QStringList& args) {
    VirtualBoardOptions o;
    o.wanted = args.contains(QStringLiteral("--virtual-board"));
    const auto value = [&args](const char* name) {
        const auto at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toStdString() : std::string();
    };
    if (auto chip = value("--virtual-chip"); !chip.empty())
        o.chip = chip;
    o.image = value("--chip-image");
    o.save = value("--chip-save");
    if (args.contains(QStringLiteral("--virtual-operator"))) {
        o.person = zz::parse_operator_times(value("--virtual-operator"));
        o.bad = !o.person || !o.wanted;
    }
    return o;
}

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
int virtual_model(const std::filesystem::path& settings_file) {
    const int model = zz::load_settings(settings_file).prog_type;
    return model >= 1 && model <= 4 ? model : 3;
}

BoardLine open_line(zz::QtLoop& loop, const VirtualBoardOptions& options, int model,
                    const std::filesystem::path& data_dir, zz::Operator& op) {
    BoardLine line;
    if (!options.wanted) {
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
    }
    if (options.person)
        line.person = std::make_unique<zz::SocketOperator>(
            *line.board, *options.person, [chip = line.chip] { return zz::VirtualChip(chip); });
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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ze-zuzu"));
    const VirtualBoardOptions board_options = virtual_board_options(QApplication::arguments());
    if (board_options.bad) {
        std::fprintf(stderr,
                     "ze-zuzu: --virtual-operator takes INSERT_MS,REMOVE_MS and --virtual-board\n");
        return 2;
    }
    const bool virtual_board = board_options.wanted;
    const std::filesystem::path data_dir = data_folder();

    zz::QtLoop loop;
    zz::QtOperator desktop;
    const std::filesystem::path settings_file = zz::settings_path(zz::executable_dir());
    BoardLine line =
        open_line(loop, board_options, virtual_model(settings_file), data_dir, desktop);
    zz::Session session(zz::SessionEnv{loop, desktop, *line.port, data_dir, settings_file,
                                       line.lister, virtual_board});
    zz::MainWindow window(session, desktop, data_dir);
    desktop.set_parent(&window);
    session.startup();
    window.show();
    loop.start_idle();
    const auto args = QApplication::arguments();
    if (const auto at = args.indexOf(QStringLiteral("--screenshot"));
        at > 0 && at + 1 < args.size()) {
        // --screenshot-dialog OPENER[,BUTTON...]: the dialog that opener shows, after those clicks.
        // --screenshot-auto-program CHIPS[,STOPPED]: the window running Auto Program, when CHIPS
        // chips have passed; then Stop, and the stopped window into STOPPED.
        const auto dialog = args.indexOf(QStringLiteral("--screenshot-dialog"));
        const auto autoprog = args.indexOf(QStringLiteral("--screenshot-auto-program"));
        if (dialog > 0 && dialog + 1 < args.size())
            zz::save_dialog_picture_when_ready(window, session, args[dialog + 1].split(u','),
                                               args[at + 1]);
        else if (autoprog > 0 && autoprog + 1 < args.size())
            zz::save_auto_program_pictures(window, session, args[autoprog + 1].split(u','),
                                           args[at + 1]);
        else
            zz::save_picture_when_ready(window, session, args[at + 1]);
    }
    const int result = QApplication::exec();
    session.shutdown();
    if (line.board && line.board->chip() && !board_options.save.empty()) {
        try {
            zz::save_chip_image(*line.board->chip(), line.chip, board_options.save);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "ze-zuzu: %s\n", e.what());
        }
    }
    return result;
}
