#include "gui/main_menu.h"

#include "dialogs/job/operator_mode.h"

#include <QAction>
#include <QMenu>

#include <map>

namespace zz {

namespace {

// One row per entry, in menu order: the menu or submenu it belongs to (nullptr: the menu bar),
// its component name, caption (nullptr: a separator), shortcut, and whether it opens a submenu.
struct Entry {
    const char* parent;
    const char* name;
    const char* caption;
    const char* shortcut;
    bool submenu;
};

constexpr Entry kEntries[] = {
    {nullptr, "N1", "&File", "", true},
    {"N1", "N5", "&Load", "Ctrl+I", false},
    {"N1", "N6", "&Save", "Ctrl+E", false},
    {"N1", "N7", nullptr, "", false},
    {"N1", kOpenJobItem, "Open &Job...", "", false},
    {"N1", kLeaveJobItem, "Leave &Operator Mode...", "", false},
    {"N1", "N_jobs", nullptr, "", false},
    {"N1", "N8", "&Exit", "Ctrl+Q", false},
    {nullptr, "N2", "&Program", "", true},
    {"N2", "N9", "&Program", "F1", false},
    {"N2", "N10", "&Erase", "F7", false},
    {"N2", "N11", "&Blank Check", "F8", false},
    {"N2", "N12", "&Read", "Ctrl+R", false},
    {"N2", "EEPROM1", "Program And Verify &EEPROM", "F4", false},
    {"N2", "N13", "Program And Verify &ROM", "F3", false},
    {"N2", "ID1", "Program And Verify &FUSE/ID", "F2", false},
    {"N2", "N14", "&Verify", "F5", false},
    {"N2", "N15", "&CALIB", "F6", false},
    {nullptr, "N3", "&Option", "", true},
    {"N3", "N30", "Select Programmer", "", true},
    {"N30", "N_TYPE_310", "VO310Z2/DI310D2", "", false},
    {"N30", "N_TYPE_320", "RA-320", "", false},
    {"N30", "N_TYPE_330", "RO-ZUZ330", "", false},
    {"N30", "KT3001", "VO300", "", false},
    {"N3", "N16", "&Reset Programmer", "Ctrl+G", false},
    {"N3", "N18", "&Turn Serial Off", "", false},
    {"N3", "N29", "Auto &Find Board/Reconnect hardware", "Ctrl+F", false},
    {"N3", "N17", nullptr, "", false},
    {"N3", "N22", "View Device &Position", "Ctrl+D", false},
    {"N3", "N161", "&Edit Buffer", "", false},
    {"N3", "N19", "&View/Edit Fuses And ID", "", false},
    {"N3", "N27", nullptr, "", false},
    {"N3", "N31", "Mute", "", false},
    {"N3", "UseVPPFirstProgramEntry1", "Use VPP First Program Entry", "", false},
    {"N3", "N33", "Do not show dialog box after finish programmed", "", false},
    {"N3", "N_chip_not", "Do not show chip position in chip selector", "", false},
    {"N3", "N32", "Do not check chip type during program", "", false},
    {"N3", "N_ICSP", "&ICSP Mode", "", false},
    {"N3", "N20", "&Cal Program Options", "", true},
    {"N20", "n_calchip", "&Preserve OSCCAL calibration value", "", false},
    {"N20", "N_calfile", "&Use File", "", false},
    {"N3", "N35", "Auto Update Files", "", false},
    {"N3", "N21", "&Serial Number Options", "", false},
    {"N3", "N_prodlog", "Production Log", "", false},
    {"N3", "N_records", "Production Records...", "", false},
    {"N3", "N_boards", "&Boards...", "", false},
    {"N3", "N_remote", "&Remote Control...", "", false},
    {"N3", "N_autoprog", "&Auto Program", "Ctrl+A", false},
    {"N3", "chipinsockettime1", "Time Setting for Chip In Socket", "", false},
    {"N3", "N28", nullptr, "", false},
    {"N3", "N23", "Download Operating System / Upgrade Firmware", "", false},
    {nullptr, "N4", "&Help", "", true},
    {"N4", "N24", "&Help", "", false},
    {"N4", "N25", "&About", "", false},
    {"N4", "N26", "&Protocol", "", false},
};

// The station view's: every command acts on every board.
constexpr Entry kStationEntries[] = {
    {nullptr, "N1", "&File", "", true},
    {"N1", "N5", "&Load", "Ctrl+I", false},
    {"N1", "N7", nullptr, "", false},
    {"N1", "N8", "&Exit", "Ctrl+Q", false},
    {nullptr, "N2", "&Program", "", true},
    {"N2", "N9", "&Program", "F1", false},
    {"N2", "N_autoprog", "&Auto Program", "Ctrl+A", false},
    {"N2", "N_stopall", "&Stop All", "Esc", false},
    {nullptr, "N3", "&Option", "", true},
    {"N3", "N_boards", "&Boards...", "", false},
    {"N3", "N_remote", "&Remote Control...", "", false},
    {"N3", "N_records", "Production Records...", "", false},
    {nullptr, "N4", "&Help", "", true},
    {"N4", "N24", "&Help", "", false},
    {"N4", "N25", "&About", "", false},
};

QMenu* add_menu(QMenuBar* bar, QMenu* parent, const Entry& entry) {
    const QString caption = QString::fromLatin1(entry.caption);
    QMenu* menu = parent ? new QMenu(caption, parent) : new QMenu(caption, bar);
    menu->setObjectName(QString::fromLatin1(entry.name));
    menu->menuAction()->setObjectName(menu->objectName());
    if (parent)
        parent->addMenu(menu);
    else
        bar->addMenu(menu);
    return menu;
}

void add_item(QMenu* menu, const Entry& entry) {
    QAction* action =
        entry.caption ? menu->addAction(QString::fromLatin1(entry.caption)) : menu->addSeparator();
    action->setObjectName(QString::fromLatin1(entry.name));
    if (*entry.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
}

template <std::size_t N> void build_menu(QMenuBar* bar, const Entry (&entries)[N]) {
    std::map<std::string, QMenu*> menus;
    for (const Entry& entry : entries) {
        QMenu* parent = entry.parent ? menus.at(entry.parent) : nullptr;
        if (entry.submenu)
            menus[entry.name] = add_menu(bar, parent, entry);
        else
            add_item(parent, entry);
    }
}

} // namespace

void build_main_menu(QMenuBar* bar) {
    build_menu(bar, kEntries);
}

void build_station_menu(QMenuBar* bar) {
    build_menu(bar, kStationEntries);
}

} // namespace zz
