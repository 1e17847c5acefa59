#pragma once

#include "dialogs/edit/edit_grid.h"

#include <QAbstractTableModel>

namespace zz {

// One grid of the buffer edit dialog as a table: the address column (not selectable, in the
// colour of a fixed column) and eight cells a row, centred. Keys reach the cell last selected.
class EditGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    EditGridModel(EditGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The operator moved to `index`; false when it cannot be edited.
    bool select(const QModelIndex& index);
    // A key on the selected cell.
    void key(char key);
    // Every cell may have changed (a fill).
    void cells_changed();

private:
    EditGrid& grid_;
};

} // namespace zz
