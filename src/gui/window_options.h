#pragma once

#include "dialogs/boards/station_start.h"
#include "dialogs/job/operator_mode.h"

#include <QString>

#include <optional>
#include <string>

namespace zz {

// The window program's own options. The virtual board's: the chip image is loaded into the
// socket's chip at start and the chip's memories are saved at exit, so a programmed virtual chip
// can be inspected.
struct WindowOptions {
    static constexpr const char* kVirtualChip = "16F877A";

    bool virtual_board = false;
    std::string chip = kVirtualChip;
    std::string image;
    std::string save;
    QString screenshot;        // a picture of the window (or a dialog) once it is ready
    QString screenshot_dialog; // OPENER[,BUTTON...]: the dialog that opener shows, after clicks
    // CHIPS[,STOPPED]: the window running Auto Program once CHIPS chips have passed; then Stop,
    // and the stopped window into STOPPED.
    QString screenshot_auto_program;
    // INSERT_MS,REMOVE_MS of the person who changes the virtual board's chips; empty: nobody.
    std::string virtual_operator;
    // A station that boots straight into production: --job, --operator and --lot, over the
    // settings file's job, operator and lot.
    JobStartOptions job_start;
    // The boards driven side by side: --port (repeatable), --ports-all-found, --virtual-boards N
    // (the settings file's list is added by the caller).
    BoardOptions boards;
    static constexpr int kMostVirtualBoards = 16;
};

// --help and --version, answered before any window system is needed, so they work on a terminal
// without a display. The exit status when the program should end there.
std::optional<int> answer_information_options(int argc, char* argv[]);

// After QApplication has taken its own options out of the arguments: ours, or nullopt after a
// message on stderr for anything else (the program then ends with status 2).
std::optional<WindowOptions> window_options();

} // namespace zz
