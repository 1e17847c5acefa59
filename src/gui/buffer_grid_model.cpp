#include "gui/buffer_grid_model.h"

#include "files/grid_layout.h"

#include <QColor>
#include <QPointer>

#include <algorithm>

namespace zz {

BufferGridModel::BufferGridModel(Buffer& buffer, QObject* parent)
    : QAbstractTableModel(parent), buffer_(buffer), rows_(buffer.row_count()) {
    serial_.enabled = buffer_.SerialNumberEnabled;
    // The buffer outlives the window; the model is gone before it, so guard the callbacks.
    QPointer<BufferGridModel> self(this);
    buffer_.observe([self](const BufferChange& change) {
        if (self)
            self->buffer_changed(change);
    });
    buffer_.SerialNumberEnabled.observe([self](const bool& on) {
        if (!self)
            return;
        SerialHighlight serial = self->serial_;
        serial.enabled = on;
        self->set_serial_highlight(serial);
    });
}

int BufferGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int BufferGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Buffer::kColumnCount;
}

QVariant BufferGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(buffer_.grid_text(row, column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignTop);
    case Qt::ForegroundRole:
        if (serial_cell(row, column))
            return QColor(0, 0, 255);
        if (is_header_cell(buffer_.shape(), row, column))
            return QColor(255, 0, 0);
        return {};
    case Qt::BackgroundRole:
        if (serial_cell(row, column))
            return QColor(192, 192, 192);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags BufferGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void BufferGridModel::set_serial_highlight(const SerialHighlight& serial) {
    if (serial == serial_)
        return;
    serial_ = serial;
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, Buffer::kColumnCount - 1));
}

bool BufferGridModel::serial_cell(int row, int column) const {
    return is_serial_cell(serial_, buffer_.shape(), row, column);
}

void BufferGridModel::buffer_changed(const BufferChange& change) {
    const int rows = buffer_.row_count();
    if (change.layout || rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
        return;
    }
    const int first = std::max(change.first_row, 0);
    const int last = std::min(change.last_row, rows_ - 1);
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, Buffer::kColumnCount - 1));
}

} // namespace zz
