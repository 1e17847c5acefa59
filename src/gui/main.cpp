#include "app/session.h"
#include "device/chip_database.h"
#include "device/data_folder.h"
#include "gui/main_window.h"
#include "gui/qt_loop.h"
#include "gui/qt_operator.h"
#include "gui/screenshot.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"
#include "sim/chip_image.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include "base/version.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kVirtualModel = 3;
constexpr const char* kVirtualChip = "16F877A";

// The window's options. The virtual board's: the chip image is loaded into the socket's chip at
// start and the chip's memories are saved at exit, so a programmed virtual chip can be inspected.
struct WindowOptions {
    bool virtual_board = false;
    std::string chip = kVirtualChip;
    std::string image;
    std::string save;
    QString screenshot;
};

void add_window_options(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("ZE-ZUZU, the device programmer's window: reads, erases, blank-checks, "
                       "programs and verifies PIC microcontrollers and serial EEPROMs on the "
                       "programmer board, loads and saves Intel HEX and binary images, and "
                       "edits fuses, IDs and calibration values."));
    // Qt's own options are single-dash words (-reverse, -stylesheet): never letters of ours.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): its --help-all would need the window system to list Qt's options.
    parser.addVersionOption();
    parser.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")},
         QStringLiteral("Print these options and exit.")},
        {QStringLiteral("virtual-board"),
         QStringLiteral("Use the virtual board instead of a serial port.")},
        {QStringLiteral("virtual-chip"),
         QStringLiteral("The chip in the virtual board's socket (default %1).")
             .arg(QLatin1String(kVirtualChip)),
         QStringLiteral("NAME")},
        {QStringLiteral("chip-image"),
         QStringLiteral("Load the virtual chip's memories from this Intel HEX file first."),
         QStringLiteral("FILE")},
        {QStringLiteral("chip-save"),
         QStringLiteral("When the window closes, save the virtual chip's memories as Intel HEX."),
         QStringLiteral("FILE")},
        {QStringLiteral("screenshot"),
         QStringLiteral("Save a picture of the window once it is ready, then close it."),
         QStringLiteral("FILE")},
    });
}

// --help and --version are answered before any window system is needed, so they work on a
// terminal without a display. Returns the exit status when the program should end.
std::optional<int> answer_information_options(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    add_window_options(parser);
    // Options of Qt's window system (-platform ...) are not known here; only these two count.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("ze-zuzu %s\n", ZZ_VERSION);
        return 0;
    }
    return std::nullopt;
}

// After QApplication has taken its own options out of the arguments: ours, or a message and
// exit status 2 for anything else.
std::optional<WindowOptions> window_options() {
    QCommandLineParser parser;
    add_window_options(parser);
    if (!parser.parse(QApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.positionalArguments().isEmpty()
                                  ? parser.errorText()
                                  : QStringLiteral("Unexpected argument '%1'.")
                                        .arg(parser.positionalArguments().first());
        std::fprintf(stderr, "ze-zuzu: %s\nTry 'ze-zuzu --help'.\n",
                     error.toLocal8Bit().constData());
        return std::nullopt;
    }
    WindowOptions o;
    o.virtual_board = parser.isSet(QStringLiteral("virtual-board"));
    if (parser.isSet(QStringLiteral("virtual-chip")))
        o.chip = parser.value(QStringLiteral("virtual-chip")).toStdString();
    o.image = parser.value(QStringLiteral("chip-image")).toStdString();
    o.save = parser.value(QStringLiteral("chip-save")).toStdString();
    o.screenshot = parser.value(QStringLiteral("screenshot"));
    return o;
}

// The line the session talks through: a serial port, or the virtual board with a chip in its
// socket when asked for one.
struct BoardLine {
    std::unique_ptr<zz::VirtualBoard> board;
    zz::ChipParams chip;
    std::unique_ptr<zz::Port> port;
    zz::BoardDiscovery::PortLister lister;
};

BoardLine open_line(zz::QtLoop& loop, const WindowOptions& options,
                    const std::filesystem::path& data_dir, zz::Operator& op) {
    BoardLine line;
    if (!options.virtual_board) {
        line.port = std::make_unique<zz::SerialPort>(loop);
        line.lister = zz::system_serial_ports;
        return line;
    }
    line.board = std::make_unique<zz::VirtualBoard>(loop, kVirtualModel);
    line.board->set_wire_timing(true);
    line.chip = zz::ChipDatabase(data_dir).load(kVirtualModel, options.chip, zz::ChipParams{});
    line.board->insert_chip(zz::VirtualChip(line.chip));
    if (!options.image.empty()) {
        const zz::LoadResult result =
            zz::load_chip_image(*line.board->chip(), line.chip, options.image);
        if (!result.ok)
            op.show_message(result.error, "Error", zz::Icon::Error);
    }
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
    if (const std::optional<int> status = answer_information_options(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ze-zuzu"));
    QApplication::setApplicationVersion(QStringLiteral(ZZ_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("ze-zuzu"));
    const std::optional<WindowOptions> options = window_options();
    if (!options)
        return 2;
    const std::filesystem::path data_dir = data_folder();

    zz::QtLoop loop;
    zz::QtOperator desktop;
    BoardLine line = open_line(loop, *options, data_dir, desktop);
    zz::Session session(zz::SessionEnv{loop, desktop, *line.port, data_dir,
                                       zz::settings_path(zz::executable_dir()), line.lister,
                                       options->virtual_board});
    zz::MainWindow window(session, desktop, data_dir);
    desktop.set_parent(&window);
    session.startup();
    window.set_serial_highlight(serial_highlight(session));
    window.show();
    loop.start_idle();
    if (!options->screenshot.isEmpty())
        zz::save_picture_when_ready(window, session, options->screenshot);
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
