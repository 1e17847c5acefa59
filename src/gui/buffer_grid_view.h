#pragma once

#include "files/grid_layout.h"

#include <QTableView>

namespace zz {

// The grid's looks: no headers and no grid lines, a monospaced 8 point font, rows of 15 pixels,
// the column widths of the selected chip, a vertical scroll bar only, and no editing.
class BufferGridView : public QTableView {
    Q_OBJECT
public:
    explicit BufferGridView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // Column widths (0 hides the column); kept across model resets.
    void apply_layout(const GridLayout& layout);

private:
    void reapply_layout();

    GridLayout layout_;
};

} // namespace zz
