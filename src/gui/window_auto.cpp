// The production loop in the window: its menu item, its button, the lists it locks and the
// chip-in-socket time dialog.
#include "gui/bindings.h"
#include "gui/dialogs/chip_in_time_dialog.h"
#include "gui/main_window.h"

#include <QComboBox>

namespace zz {

void MainWindow::wire_auto_program() {
    Session& s = session_;
    // The loop runs inside this click, processing the window's events in every wait; a second
    // click (Stop) reaches the session from there.
    on_click("Button10", [&s] { s.auto_program_command(); });
    on_option("N_autoprog", s.flags.N_autoprog, [&s] { s.auto_program_menu_command(); });
    on_click("chipinsockettime1", [this, &s] {
        if (!s.link().Busy)
            (new ChipInTimeDialog(s.ChipInSocketTime, this))->exec();
    });
    QAbstractButton* start = button("Button10");
    bind(s.controls.Button10_caption, start,
         [](QAbstractButton* b, const std::string& caption) { b->setText(qt_text(caption)); });
    bind_enabled(s.controls.Button10, start);
    const std::pair<const char*, Value<bool>*> lists[] = {
        {"ComboBox1", &s.controls.ComboBox1},
        {"ComboBox2", &s.controls.ComboBox2},
        {"cmbbxcomnum", &s.controls.cmbbxcomnum},
    };
    for (const auto& [name, enabled] : lists)
        bind_enabled(*enabled, findChild<QComboBox*>(QString::fromLatin1(name)));
}

} // namespace zz
