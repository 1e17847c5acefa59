#pragma once

#include "dialogs/progname/statistic_model.h"

#include <QDialog>

class QLineEdit;

namespace zz {

// "Statistic" ("Pset"): the target and pass counters, set on OK.
class StatisticDialog : public QDialog {
    Q_OBJECT
public:
    StatisticDialog(ChipState& statistics, Operator& op, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field(const char* name, const char* caption, int y);
    void ok();

    StatisticModel model_;
    QLineEdit* edit1_;
    QLineEdit* edit2_;
};

} // namespace zz
