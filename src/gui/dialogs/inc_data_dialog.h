#pragma once

#include "app/session.h"
#include "dialogs/inc_data/inc_data_model.h"

#include <QDialog>

class QAbstractButton;
class QLineEdit;

namespace zz {

// The "Serial Number" dialog: the widgets of its model, named by their component names. It is
// modeless, frees itself when closed and cannot be maximised.
class IncDataDialog : public QDialog {
    Q_OBJECT
public:
    IncDataDialog(Session& session, Operator& op, QWidget* parent);

    IncDataModel& model() { return model_; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void wire();
    // Every control as the model has it, after each of its handlers.
    void show_model();
    void on_click(const char* name, void (IncDataModel::*handler)());
    QAbstractButton* button(const char* name) const;
    QLineEdit* edit(const char* name) const;

    SequenceChoice sequence_;
    IncDataModel model_;
};

// "&Serial Number Options" (N21): opens the dialog beside `window`, or brings the open one
// forward.
void open_inc_data_dialog(QWidget* window, Session& session, Operator& op);

} // namespace zz
