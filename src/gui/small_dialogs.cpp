// The openers of the chip position viewer, the statistic dialog and the about box, and the
// firmware upgrade command.
#include "gui/bindings.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/chip_position_dialog.h"
#include "gui/dialogs/statistic_dialog.h"
#include "gui/main_window.h"

namespace zz {

namespace {

// Each dialog frees itself when it closes. None opens inside a running operation: its modal loop
// would hold up the operation's waits for the board.
template <class Dialog, class... Args> void open_modal(Session& s, Args&&... args) {
    if (s.link().Busy)
        return;
    (new Dialog(std::forward<Args>(args)...))->exec();
}

} // namespace

void MainWindow::wire_small_dialogs() {
    Session& s = session_;
    const auto position = [this, &s] {
        open_modal<ChipPositionDialog>(
            s, chip_position(s.ComboBox1.get(), s.chip(), s.flags.N_ICSP), this);
    };
    s.show_chip_position = position;
    on_click("N22", position);
    on_click("Button8",
             [this, &s] { open_modal<StatisticDialog>(s, s.statistics, desktop_, this); });
    on_click("N25", [this, &s] {
        open_modal<AboutDialog>(s, AboutBox(Session::kCaption), data_dir_, this);
    });
    on_click("N23", [&s] { s.firmware_upgrade_command(); });
    bind_enabled(s.N22, action("N22"));
    bind_enabled(s.N23, action("N23"));
}

} // namespace zz
