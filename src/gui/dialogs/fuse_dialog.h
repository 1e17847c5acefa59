#pragma once

#include "app/session.h"
#include "dialogs/fuse/fuse_command.h"
#include "dialogs/fuse/fuse_editor.h"

#include <QDialog>

class QScrollArea;

namespace zz {

// "Edit Fuses": one labelled list per fuse setting, in two columns that scroll when the screen is
// too small for them, and the user ID. OK hands the choices to the editor; Cancel drops them.
class FuseDialog : public QDialog {
    Q_OBJECT
public:
    FuseDialog(FuseEditor& editor, QWidget* parent = nullptr);

    void accept() override;

private:
    QScrollArea* build_settings();
    QLayout* build_id_and_buttons();
    void fit_to_screen(QScrollArea* area);

    FuseEditor& editor_;
};

// The "Fuses" button: the dialog, modal over `parent`, as the command's editor.
void open_fuse_dialog(FuseCommand& command, QWidget* parent);

} // namespace zz
