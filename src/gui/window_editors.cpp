// The window's openers of the calibration dialog and the buffer edit dialog.
#include "dialogs/cal/cal_command.h"
#include "dialogs/cal/cal_texts.h"
#include "dialogs/edit/edit_command.h"
#include "gui/bindings.h"
#include "gui/dialogs/cal_dialog.h"
#include "gui/dialogs/edit_dialog.h"
#include "gui/main_window.h"
#include "link/link_texts.h"

namespace zz {

namespace {

void open_calibration(QWidget* window, Session& s, Operator& op) {
    Link& link = s.link();
    // A calibration word only the database claims: nothing to read or write.
    if (!has_calibration_word(s.chip())) {
        if (!link.Busy)
            op.show_message(texts::kNoCalibrationWord, texts::kError, Icon::Error);
        return;
    }
    calib_command(link, [&] {
        CalModel model(s.chip_context());
        CalDialog dialog(model, window);
        dialog.exec();
    });
}

void open_buffer_edit(QWidget* window, Session& s, Operator& op) {
    edit_buffer_command(s.link().Busy, s.chip(), s.buffer, [&] {
        EditModel model(s.chip(), s.buffer, op);
        EditDialog dialog(model, window);
        dialog.exec();
    });
}

} // namespace

void MainWindow::wire_buffer_editors() {
    Session& s = session_;
    bind_enabled(s.controls.Button4, button("Button4"));
    bind_enabled(s.controls.N15, action("N15"));
    for (const char* name : {"Button4", "N15"})
        on_click(name, [this, &s] { open_calibration(this, s, desktop_); });
    for (const char* name : {"SpeedButton3", "N161"})
        on_click(name, [this, &s] { open_buffer_edit(this, s, desktop_); });
}

} // namespace zz
