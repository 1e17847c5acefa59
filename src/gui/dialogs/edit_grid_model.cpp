#include "gui/dialogs/edit_grid_model.h"

#include <QGuiApplication>
#include <QPalette>

namespace zz {

namespace {
constexpr int kCellsPerRow = BufferShape::kCellsPerRow;
} // namespace

EditGridModel::EditGridModel(EditGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int EditGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.rows();
}

int EditGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : EditGrid::kColumnCount;
}

QVariant EditGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(grid_.text(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::BackgroundRole:
        if (index.column() == 0)
            return QGuiApplication::palette().button();
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags EditGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    if (index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool EditGridModel::select(const QModelIndex& index) {
    return grid_.select(index.row(), index.column());
}

void EditGridModel::key(char key) {
    if (!grid_.key(key) || !grid_.selected())
        return;
    const auto cell = static_cast<int>(*grid_.selected());
    const QModelIndex changed = this->index(cell / kCellsPerRow, cell % kCellsPerRow + 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void EditGridModel::cells_changed() {
    if (grid_.rows() > 0)
        emit dataChanged(index(0, 1), index(grid_.rows() - 1, kCellsPerRow), {Qt::DisplayRole});
}

} // namespace zz
