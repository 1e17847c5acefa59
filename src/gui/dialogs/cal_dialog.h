#pragma once

#include "dialogs/cal/cal_model.h"

#include <QDialog>

namespace zz {

// The "OSCCAL" dialog over its model: the calibration value behind the core's opcode, the
// BandGap bits, the note, and "Read Chip", "OK" and "Cancel".
class CalDialog : public QDialog {
    Q_OBJECT
public:
    CalDialog(CalModel& model, QWidget* parent = nullptr);

private:
    void build();
    void bind_fields();

    CalModel& model_;
};

} // namespace zz
