#pragma once

#include "dialogs/records/records_view_model.h"

#include <QAbstractTableModel>

#include <optional>

namespace zz {

// The last chips on record as a table: one row per chip, the rows and texts of the view's
// model; rows of chips that did not pass in red.
class RecordsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordsTableModel(RecordsViewModel& view, QObject* parent = nullptr);

    // A read's answer into the view's model; views of the table follow. The next read to run,
    // as RecordsViewModel::apply says.
    std::optional<RecordsQuery> apply(RecordsSnapshot snapshot);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    RecordsViewModel& view_;
};

} // namespace zz
