#include "gui/dialogs/records_table_model.h"

#include <QBrush>
#include <QColor>

namespace zz {

RecordsTableModel::RecordsTableModel(RecordsViewModel& view, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {}

std::optional<RecordsQuery> RecordsTableModel::apply(RecordsSnapshot snapshot) {
    beginResetModel();
    std::optional<RecordsQuery> next = view_.apply(std::move(snapshot));
    endResetModel();
    return next;
}

int RecordsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : view_.row_count();
}

int RecordsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RecordsViewModel::kColumnCount;
}

QVariant RecordsTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(view_.cell(index.row(), index.column()));
    if (role == Qt::ForegroundRole && view_.failed(index.row()))
        return QBrush(QColor(0xB0, 0x10, 0x10));
    return {};
}

QVariant RecordsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(RecordsViewModel::header(section));
}

} // namespace zz
