#pragma once

#include "dialogs/chip_in_time/chip_in_time_model.h"

#include <QDialog>

namespace zz {

// "Time Settings for Chip In Socket": a track bar of 1 to 10 reports, stored on OK.
class ChipInTimeDialog : public QDialog {
    Q_OBJECT
public:
    ChipInTimeDialog(int& ChipInSocketTime, QWidget* parent = nullptr);

private:
    ChipInTimeModel model_;
};

} // namespace zz
