#include "app/session.h"
#include "device/chip_database.h"
#include "device/data_folder.h"
#include "gui/main_window.h"
#include "gui/qt_loop.h"
#include "gui/qt_operator.h"
#include "gui/screenshot.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <QApplication>

#include <memory>

namespace {

constexpr int kVirtualModel = 3;
constexpr const char* kVirtualChip = "16F877A";

// The line the session talks through: a serial port, or the virtual board with a chip in its
// socket when asked for one.
struct BoardLine {
    std::unique_ptr<zz::VirtualBoard> board;
    std::unique_ptr<zz::Port> port;
    zz::BoardDiscovery::PortLister lister;
};

BoardLine open_line(zz::QtLoop& loop, bool virtual_board, const std::filesystem::path& data_dir) {
    BoardLine line;
    if (!virtual_board) {
        line.port = std::make_unique<zz::SerialPort>(loop);
        line.lister = zz::system_serial_ports;
        return line;
    }
    line.board = std::make_unique<zz::VirtualBoard>(loop, kVirtualModel);
    line.board->set_wire_timing(true);
    const zz::ChipParams chip =
        zz::ChipDatabase(data_dir).load(kVirtualModel, kVirtualChip, zz::ChipParams{});
    line.board->insert_chip(zz::VirtualChip(chip));
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

zz::SerialHighlight serial_highlight(const zz::Session& session) {
    const zz::AppSettings& s = session.settings;
    return {session.buffer.SerialNumberEnabled, s.inc_rom, s.inc_eeprom, s.inc_start_add,
            s.inc_end_add};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ze-zuzu"));
    const bool virtual_board =
        QApplication::arguments().contains(QStringLiteral("--virtual-board"));
    const std::filesystem::path data_dir = data_folder();

    zz::QtLoop loop;
    zz::QtOperator desktop;
    BoardLine line = open_line(loop, virtual_board, data_dir);
    zz::Session session(zz::SessionEnv{loop, desktop, *line.port, data_dir,
                                       zz::settings_path(zz::executable_dir()), line.lister,
                                       virtual_board});
    zz::MainWindow window(session, desktop, data_dir);
    desktop.set_parent(&window);
    session.startup();
    window.set_serial_highlight(serial_highlight(session));
    window.show();
    loop.start_idle();
    const auto args = QApplication::arguments();
    if (const auto at = args.indexOf(QStringLiteral("--screenshot"));
        at > 0 && at + 1 < args.size())
        zz::save_picture_when_ready(window, session, args[at + 1]);
    const int result = QApplication::exec();
    session.shutdown();
    return result;
}
