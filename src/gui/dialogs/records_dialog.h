#pragma once

#include "app/session.h"
#include "dialogs/records/records_view_model.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace zz {

class HourChart;
class RecordsTableModel;

// "Production Records": the last chips on record in the station's store, a filter by serial
// number, and today's chips per hour as a bar chart; all read again as each chip finishes. It
// is modeless (the production loop goes on beside it) and frees itself when closed.
class RecordsDialog : public QDialog {
    Q_OBJECT
public:
    RecordsDialog(Session& session, QWidget* parent);

    RecordsTableModel& table() { return *table_; }
    // Reads the store again and shows it.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();

    RecordsViewModel model_;
    RecordsTableModel* table_ = nullptr;
    QLineEdit* filter_ = nullptr;
    HourChart* chart_ = nullptr;
    QLabel* status_ = nullptr;
};

// "Production Records..." (N_records): opens the view beside `window`, or brings the open one
// forward.
void open_records_dialog(QWidget* window, Session& session);

} // namespace zz
