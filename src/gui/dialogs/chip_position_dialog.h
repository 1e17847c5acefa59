#pragma once

#include "dialogs/chip_img/chip_position.h"

#include <QDialog>

namespace zz {

// "Device Position": where the selected chip goes in the socket, or that it is programmed
// in-circuit. Twelve pictures share one place; only the chosen one is visible.
class ChipPositionDialog : public QDialog {
    Q_OBJECT
public:
    ChipPositionDialog(const ChipPosition& position, QWidget* parent = nullptr);
};

} // namespace zz
