#include "gui/window_options.h"

#include "base/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace zz {

namespace {

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
             .arg(QLatin1String(WindowOptions::kVirtualChip)),
         QStringLiteral("NAME")},
        {QStringLiteral("virtual-operator"),
         QStringLiteral("With --virtual-board or --virtual-boards: a person who puts a fresh blank chip into the "
                        "socket INSERT_MS after each removal and takes it out REMOVE_MS after "
                        "the success tone, for Auto Program."),
         QStringLiteral("INSERT_MS,REMOVE_MS")},
        {QStringLiteral("port"),
         QStringLiteral("The board on this serial port; given more than once, the window drives "
                        "every board side by side, one panel each (also boards= in section "
                        "[START] of ze-zuzu.ini, as Option, \"Boards...\" keeps it)."),
         QStringLiteral("PORT")},
        {QStringLiteral("ports-all-found"),
         QStringLiteral("Drive every board the board search finds, side by side.")},
        {QStringLiteral("virtual-boards"),
         QStringLiteral("Drive N virtual boards side by side (\"Virtual board 1\" ... N, up to "
                        "%1), each with a blank chip of the settings' chip type.")
             .arg(WindowOptions::kMostVirtualBoards),
         QStringLiteral("N")},
        {QStringLiteral("chip-image"),
         QStringLiteral("Load the virtual chip's memories from this image file first."),
         QStringLiteral("FILE")},
        {QStringLiteral("chip-save"),
         QStringLiteral("When the window closes, save the virtual chip's memories (Intel HEX, or a "
                        "raw image when FILE does not end in .hex)."),
         QStringLiteral("FILE")},
        {QStringLiteral("job"),
         QStringLiteral("Open the released job NAME (its latest revision, or REV) in operator "
                        "mode: only Program, Auto Program, the statistics and the records stay "
                        "usable until an engineer leaves it. Also job= in section [START] of "
                        "ze-zuzu.ini; these options win over the file."),
         QStringLiteral("NAME[@REV]")},
        {QStringLiteral("operator"),
         QStringLiteral("With --job: who runs it, on every chip's record (needed)."),
         QStringLiteral("NAME")},
        {QStringLiteral("lot"),
         QStringLiteral("With --job: the lot its chips are counted and recorded in."),
         QStringLiteral("TEXT")},
        {QStringLiteral("screenshot"),
         QStringLiteral("Save a picture of the window once it is ready, then close it."),
         QStringLiteral("FILE")},
        {QStringLiteral("screenshot-dialog"),
         QStringLiteral("With --screenshot: click OPENER (a menu item or button by component "
                        "name), then the BUTTONs of the dialog it opens, and picture the dialog."),
         QStringLiteral("OPENER[,BUTTON...]")},
        {QStringLiteral("screenshot-auto-program"),
         QStringLiteral("With --screenshot: run Auto Program, picture the window once CHIPS "
                        "chips have passed, then Stop and picture it again into STOPPED."),
         QStringLiteral("CHIPS[,STOPPED]")},
    });
}

// The options Qt's window system takes for itself (QGuiApplication and QApplication); they are
// known only once a window system is up, so the early check must let them pass.
bool qt_option(const QString& name) {
    static const QStringList kQtOptions{
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("display"),       QStringLiteral("geometry"),
        QStringLiteral("name"),          QStringLiteral("title"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("nograb"),
        QStringLiteral("dograb"),        QStringLiteral("sync")};
    return kQtOptions.contains(name);
}

std::optional<std::string> given(const QCommandLineParser& parser, const char* option) {
    const QString name = QString::fromLatin1(option);
    if (!parser.isSet(name))
        return std::nullopt;
    return parser.value(name).toStdString();
}

int usage_error(const QString& error) {
    std::fprintf(stderr, "ze-zuzu: %s\nTry 'ze-zuzu --help'.\n", error.toLocal8Bit().constData());
    return 2;
}

// --port, --ports-all-found and --virtual-boards; false after a message for a wrong count.
bool board_options(const QCommandLineParser& parser, WindowOptions& o) {
    BoardOptions& b = o.boards;
    for (const QString& port : parser.values(QStringLiteral("port")))
        b.ports.push_back(port.toStdString());
    b.all_found = parser.isSet(QStringLiteral("ports-all-found"));
    if (parser.isSet(QStringLiteral("virtual-boards"))) {
        bool number = false;
        b.virtual_boards = parser.value(QStringLiteral("virtual-boards")).toInt(&number);
        if (!number || b.virtual_boards < 1 || b.virtual_boards > WindowOptions::kMostVirtualBoards) {
            usage_error(QStringLiteral("--virtual-boards takes a number from 1 to %1.")
                            .arg(WindowOptions::kMostVirtualBoards));
            return false;
        }
        // One virtual board is the one-board window's.
        o.virtual_board = o.virtual_board || b.virtual_boards == 1;
    }
    b.virtual_board = o.virtual_board;
    return true;
}

} // namespace

std::optional<int> answer_information_options(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    add_window_options(parser);
    // Options of Qt's window system (-platform ...) are not known here and pass; anything else
    // unknown ends the program before it needs a display.
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return usage_error(parser.errorText());
        for (const QString& name : unknown)
            if (!qt_option(name))
                return usage_error(QStringLiteral("Unknown option '%1'.").arg(name));
    }
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

std::optional<WindowOptions> window_options() {
    QCommandLineParser parser;
    add_window_options(parser);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        usage_error(parser.positionalArguments().isEmpty()
                        ? parser.errorText()
                        : QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser.positionalArguments().first()));
        return std::nullopt;
    }
    WindowOptions o;
    o.virtual_board = parser.isSet(QStringLiteral("virtual-board"));
    if (parser.isSet(QStringLiteral("virtual-chip")))
        o.chip = parser.value(QStringLiteral("virtual-chip")).toStdString();
    o.image = parser.value(QStringLiteral("chip-image")).toStdString();
    o.save = parser.value(QStringLiteral("chip-save")).toStdString();
    o.screenshot = parser.value(QStringLiteral("screenshot"));
    o.screenshot_dialog = parser.value(QStringLiteral("screenshot-dialog"));
    o.screenshot_auto_program = parser.value(QStringLiteral("screenshot-auto-program"));
    o.virtual_operator = parser.value(QStringLiteral("virtual-operator")).toStdString();
    o.job_start.job = given(parser, "job");
    o.job_start.operator_name = given(parser, "operator");
    o.job_start.lot = given(parser, "lot");
    if (!board_options(parser, o))
        return std::nullopt;
    return o;
}

} // namespace zz
