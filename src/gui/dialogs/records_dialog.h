#pragma once

#include "app/station.h"
#include "base/observable.h"
#include "dialogs/records/records_view_model.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;

namespace zz {

class HourChart;
class OffThread;
class RecordsTableModel;

// Where the view reads its records: the station's store, which may come later, and why there is
// none yet; the worker that runs the reads off the window's thread (the window's: it outlives
// the dialog and waits for a read under way before it goes); what it follows.
struct RecordsSource {
    std::function<RecordsStore*()> store;
    std::function<std::string()> why_none;
    OffThread* worker = nullptr;
    // Counts finished chips: the view reads again after each (null: the window says when).
    Value<int>* chips_recorded = nullptr;
};

// The station's store (null station: none) read by `worker`.
RecordsSource records_source(const Station* station, OffThread& worker);

// "Production Records": the last chips on record in the station's store, a filter by serial
// number, and today's chips per hour as a bar chart; all read again as each chip finishes. It
// is modeless (the production loop goes on beside it) and frees itself when closed. Every read
// of the store runs off the window's thread; the dialog shows its answer when it is in.
class RecordsDialog : public QDialog {
    Q_OBJECT
public:
    RecordsDialog(RecordsSource source, QWidget* parent);

    RecordsTableModel& table() { return *table_; }
    const RecordsViewModel& view() const { return model_; }
    // Reads the store again (off the window's thread) and shows it once read.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void run(RecordsQuery query);
    void show_answer(RecordsSnapshot snapshot);
    void show_status();

    RecordsSource source_;
    RecordsViewModel model_;
    RecordsTableModel* table_ = nullptr;
    QLineEdit* filter_ = nullptr;
    HourChart* chart_ = nullptr;
    QLabel* status_ = nullptr;
};

// "Production Records..." (N_records): opens the view beside `window`, or brings the open one
// forward; the view either way.
RecordsDialog* open_records_dialog(QWidget* window, const RecordsSource& source);

} // namespace zz
