#pragma once

#include "base/operator.h"
#include "dialogs/job/engineer_gate.h"
#include "dialogs/job/job_model.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace zz {

class OffThread;

// What the dialog needs of the window.
struct JobDialogHooks {
    RecordsStore* store = nullptr; // null: no records database is open
    std::string where;             // the store's URI, or why there is none
    JobFactsReader read;
    // The engineer's password, asked over `dialog`.
    std::function<PasswordChecks(QWidget* dialog)> password;
    // Opens the request in operator mode; false when it cannot, the reason shown.
    std::function<bool(const JobRequest&)> open;
};

// "Open Job": the released jobs (read off the window's thread once the dialog opens), the
// operator and the lot, and "Job File..." for an engineer's rehearsal. OK opens the job and
// closes the dialog; a job that cannot open leaves it open.
class JobDialog : public QDialog {
    Q_OBJECT
public:
    JobDialog(JobDialogHooks hooks, Operator& op, QWidget* parent);

    const JobModel& model() const { return model_; }

private:
    void build();
    void read_list();
    void show_list();
    void choose_file();
    void ok();

    JobDialogHooks hooks_;
    Operator& op_;
    JobModel model_;
    OffThread* reader_;
    QTreeWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* file_ = nullptr;
    QLineEdit* operator_ = nullptr;
    QLineEdit* lot_ = nullptr;
};

} // namespace zz
