#pragma once

#include "dialogs/edit/edit_model.h"

#include <QDialog>

class QGroupBox;
class QTableView;

namespace zz {

class EditGridModel;

// The "Edit buffer" dialog over its model: the program memory grid "ROM DATA:", the data EEPROM
// grid "EEPROM DATA:" (when the chip has EEPROM), a fill group for each, "OK" and "Cancel".
class EditDialog : public QDialog {
    Q_OBJECT
public:
    EditDialog(EditModel& model, QWidget* parent = nullptr);

private:
    QTableView* grid(const char* name, EditGridModel* model, QRect geometry);
    QGroupBox* fill_group(const char* name, const char* title, FillField first, QRect geometry);

    EditModel& model_;
    EditGridModel* rom_ = nullptr;
    EditGridModel* eeprom_ = nullptr;
};

} // namespace zz
