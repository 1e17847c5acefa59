#pragma once
// Option, "Remote Control...": the address the station listens on for handlers and testers, and
// its token file; OK stays off while the address is refused, and the reason shows below.
#include "dialogs/remote/remote_control_model.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zz {

class RemoteControlDialog : public QDialog {
    Q_OBJECT
public:
    RemoteControlDialog(RemoteControlModel model, QWidget* parent);
    const RemoteControlModel& model() const { return model_; }

private:
    void edited();

    RemoteControlModel model_;
    QLineEdit* address_ = nullptr;
    QLineEdit* token_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the dialog: the model as OK left it; nullopt when it was cancelled.
std::optional<RemoteControlModel> choose_remote_control(RemoteControlModel model, QWidget* parent);

} // namespace zz
