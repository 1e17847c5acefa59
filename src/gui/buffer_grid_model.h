#pragma once

#include "device/buffer.h"
#include "files/grid_highlight.h"

#include <QAbstractTableModel>

namespace zz {

// The buffer as the grid shows it: 19 columns (address, eight cells, spacer, eight printable
// views, the hidden selection column), one row per grid row, read only. Header cells are red and
// the serial number's cells blue on silver.
class BufferGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BufferGridModel(Buffer& buffer, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Where the serial number sits; repaints when it moves.
    void set_serial_highlight(const SerialHighlight& serial);

private:
    void buffer_changed(const BufferChange& change);
    bool serial_cell(int row, int column) const;

    Buffer& buffer_;
    SerialHighlight serial_;
    int rows_ = 0; // as last announced to the views
};

} // namespace zz
